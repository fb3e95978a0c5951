#include "Klaenge.h"

#include <charconv>

namespace qmb::noten {

// General MIDI percussion (channel 10) by the names we write in the pieces.
const std::map<std::string, int>& schlagzeug() {
    static const std::map<std::string, int> namen = {
        {"kick2", 35},   {"kick", 36},     {"stick", 37},   {"snare", 38},     {"clap", 39},    {"snare2", 40},
        {"tom6", 41},    {"hat", 42},      {"tom5", 43},    {"pedalhat", 44},  {"tom4", 45},    {"openhat", 46},
        {"tom3", 47},    {"tom2", 48},     {"crash", 49},   {"tom1", 50},      {"ride", 51},    {"china", 52},
        {"bell", 53},    {"tamb", 54},     {"splash", 55},  {"cowbell", 56},   {"crash2", 57},  {"vibraslap", 58},
        {"ride2", 59},   {"bongohi", 60},  {"bongolo", 61}, {"congamute", 62}, {"congahi", 63}, {"congalo", 64},
        {"timbhi", 65},  {"timblo", 66},   {"agogohi", 67}, {"agogolo", 68},   {"cabasa", 69},  {"maracas", 70},
        {"whistle", 71}, {"whistle2", 72}, {"guiro", 73},   {"guiro2", 74},    {"claves", 75},  {"woodhi", 76},
        {"woodlo", 77},  {"cuica", 78},    {"cuica2", 79},  {"triangle2", 80}, {"triangle", 81}};
    return namen;
}

// "c4" is middle C (60); one accidental, '#' or 'b'; octaves -1..9.
std::optional<int> tonhöhe(std::string_view w) {
    if (w.size() < 2) return std::nullopt;
    static const int stufen[] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    const char buchstabe = w[0];
    if (buchstabe < 'a' || buchstabe > 'g') return std::nullopt;
    int ton = stufen[buchstabe - 'a'];
    size_t i = 1;
    if (w[i] == '#')
        ++ton, ++i;
    else if (w[i] == 'b' && i + 1 < w.size())
        --ton, ++i;
    if (i >= w.size()) return std::nullopt;
    int oktave = 0;
    auto [p, ec] = std::from_chars(w.data() + i, w.data() + w.size(), oktave);
    if (ec != std::errc() || p != w.data() + w.size()) return std::nullopt;
    return (oktave + 1) * 12 + ton;
}

} // namespace qmb::noten

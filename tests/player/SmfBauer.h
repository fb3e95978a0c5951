#pragma once
// Builds Standard MIDI Files byte by byte, so every test states exactly what
// the file holds, and a folder of its own to put them in.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include <unistd.h>

namespace qmb::test {

using Bytes = std::vector<std::uint8_t>;

inline void be(Bytes& b, std::uint32_t wert, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) b.push_back(std::uint8_t(wert >> (8 * i)));
}

struct Spur {
    Bytes b;
    // Any bytes after a delta time (a variable-length number).
    Spur& roh(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes) {
        for (int s = 21; s > 0; s -= 7)
            if (delta >> s) b.push_back(std::uint8_t(0x80 | ((delta >> s) & 0x7F)));
        b.push_back(delta & 0x7F);
        b.insert(b.end(), bytes);
        return *this;
    }
    Spur& an(std::uint32_t d, int k, int note, int v = 100) { return roh(d, {std::uint8_t(0x90 | k), std::uint8_t(note), std::uint8_t(v)}); }
    Spur& aus(std::uint32_t d, int k, int note) { return roh(d, {std::uint8_t(0x80 | k), std::uint8_t(note), 0}); }
    Spur& cc(std::uint32_t d, int k, int n, int w) { return roh(d, {std::uint8_t(0xB0 | k), std::uint8_t(n), std::uint8_t(w)}); }
    Spur& programm(std::uint32_t d, int k, int p) { return roh(d, {std::uint8_t(0xC0 | k), std::uint8_t(p)}); }
    Spur& tempo(std::uint32_t d, std::uint32_t us) { return roh(d, {0xFF, 0x51, 0x03, std::uint8_t(us >> 16), std::uint8_t(us >> 8), std::uint8_t(us)}); }
    Spur& ende(std::uint32_t d = 0) { return roh(d, {0xFF, 0x2F, 0x00}); }
};

inline Bytes kopf(int format, int spuren, std::uint16_t teilung) {
    Bytes b{'M', 'T', 'h', 'd', 0, 0, 0, 6}; // six bytes follow
    be(b, format, 2);

    be(b, spuren, 2);
    be(b, teilung, 2);
    return b;
}

inline void anhängen(Bytes& datei, const Spur& s, const char* art = "MTrk") {
    datei.insert(datei.end(), art, art + 4);
    be(datei, static_cast<std::uint32_t>(s.b.size()), 4);
    datei.insert(datei.end(), s.b.begin(), s.b.end());
}

inline Bytes smf(int format, std::uint16_t teilung, const std::vector<Spur>& spuren) {
    auto datei = kopf(format, static_cast<int>(spuren.size()), teilung);
    for (const Spur& s : spuren) anhängen(datei, s);
    return datei;
}

// One per test; tests run as parallel processes, the process number keeps them apart.
struct Ordner {
    const std::filesystem::path pfad = std::filesystem::temp_directory_path() / ("quambel-spieler-" + std::to_string(::getpid()));
    Ordner() { std::filesystem::create_directories(pfad / "mit Leer"); }
    ~Ordner() {
        std::error_code f;
        std::filesystem::remove_all(pfad, f);
    }

    std::string schreiben(const std::string& name, const Bytes& daten) const {
        std::ofstream(pfad / name, std::ios::binary).write(reinterpret_cast<const char*>(daten.data()), std::streamsize(daten.size()));
        return (pfad / name).string();
    }
};

} // namespace qmb::test

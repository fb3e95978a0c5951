#pragma once

// The notes compiler: turns one piece written in our small text notation
// (described in assets/music/README) into a Standard MIDI File of format 1.
// Plain standard C++ so that it builds wherever the game builds, Windows too.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qmb::noten {

// A mistake in a piece. what() reads "file:line: text", the form compilers and
// editors understand, so that a bad note stops the build at the right place.
class Fehler : public std::runtime_error {
public:
    Fehler(std::string_view datei, int zeile, const std::string& text);
    int zeile() const { return zeile_; }
    const std::string& text() const { return text_; }

private:
    int zeile_;
    std::string text_;
};

// Compiles the source text of one piece. `dateiname` only appears in errors.
// Throws Fehler on bad input.
std::vector<unsigned char> Übersetzen(std::string_view quelltext, std::string_view dateiname);

// C++ source of qmb::Musikressource(id) carrying the given files byte for byte.
std::string Einbettung(const std::vector<std::pair<int, std::vector<unsigned char>>>& stücke);

} // namespace qmb::noten

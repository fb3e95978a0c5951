#pragma once
// Lexing: a piece's lines become words. Comments go, quoted texts and
// chords stay one word each.
#include <string>
#include <string_view>
#include <vector>

namespace qmb::noten {

// One word of the source together with the line it came from.
struct Wort {
    std::string text;
    int zeile = 0;
};

bool leer(char c);
std::string ohneKommentar(const std::string& zeile);
std::vector<std::string> zerlegen(std::string_view s);
bool inAnführung(const std::string& w);

} // namespace qmb::noten

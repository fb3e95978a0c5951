#include "Woerter.h"

namespace qmb::noten {

bool leer(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// A '#' starts a comment only at the beginning of a word: "f#4" is a note,
// "# text" and "#text" are comments.
std::string ohneKommentar(const std::string& zeile) {
    bool inText = false;
    for (size_t i = 0; i < zeile.size(); ++i) {
        if (zeile[i] == '"') inText = !inText;
        if (!inText && zeile[i] == '#' && (i == 0 || leer(zeile[i - 1]))) return zeile.substr(0, i);
    }
    return zeile;
}

// Splits at blanks; a "quoted text" stays one word (with its quotes) and a
// chord "[c4 e4 g4]/2" stays one word with its blanks.
std::vector<std::string> zerlegen(std::string_view s) {
    std::vector<std::string> aus;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && leer(s[i])) ++i;
        if (i >= s.size()) break;
        std::string w;
        if (s[i] == '"') {
            size_t ende = s.find('"', i + 1);
            if (ende == std::string_view::npos) ende = s.size() - 1;
            w = std::string(s.substr(i, ende - i + 1));
            i = ende + 1;
        } else {
            int klammern = 0;
            while (i < s.size() && (klammern > 0 || !leer(s[i]))) {
                if (s[i] == '[') ++klammern;
                if (s[i] == ']' && klammern > 0) --klammern;
                w += klammern > 0 && leer(s[i]) ? ' ' : s[i];
                ++i;
            }
        }
        aus.push_back(w);
    }
    return aus;
}

bool inAnführung(const std::string& w) { return w.size() >= 2 && w.front() == '"' && w.back() == '"'; }

} // namespace qmb::noten

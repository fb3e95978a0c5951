// The bytes of a list, worked out by hand without the code under test, the
// list of a write stopped at every step, and a stop of the program that the
// code under test never catches (no std::exception).
#pragma once
#include <string>
#include <vector>

namespace qmb::test {
inline std::string datei(const std::vector<std::string>& klartexte) {
    const std::string k = "KQXhdlmzpq604152\xE9\xA7+\xA4\xBAk";
    std::string s;
    for (std::string z : klartexte) {
        for (size_t i = 0; i < z.size(); ++i) z[i] = static_cast<char>(z[i] == k[i % 22] ? z[i] : z[i] ^ k[i % 22]);
        s += z + "\r\n";
    }
    return s;
}
// A list before and after "rolf" enters with 60 points: for the stop at
// every step of that write. "rolf" at its place in the line is scrambled into
// a Ctrl-Z byte, a trap for text-mode file access.
inline const std::vector<std::string> ALT{"090A", "070B", "050C"}, NEU{"090A", "070B", "060rolf", "050C"};
struct Absturz {};
} // namespace qmb::test

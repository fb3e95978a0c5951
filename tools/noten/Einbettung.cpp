// Embedding: the compiled pieces as C++ arrays, so that the game carries its
// music inside the program.
#include <sstream>

#include "Noten.h"

namespace qmb::noten {

std::string Einbettung(const std::vector<std::pair<int, std::vector<unsigned char>>>& stücke) {
    // Arrays of numbers rather than string literals: MSVC limits the length
    // of a string literal, not that of an initialiser list.
    std::ostringstream aus;
    aus << "// Written by quambel_noten --embed from the pieces in assets/music. Do not edit.\n"
           "#include \"musik/Musikressourcen.h\"\n\nnamespace qmb {\nnamespace {\n";
    for (const auto& [id, bytes] : stücke) {
        aus << "const unsigned char stück" << id << "[] = {";
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i % 20 == 0) aus << "\n   ";
            aus << ' ' << static_cast<int>(bytes[i]) << ',';
        }
        aus << "\n};\n";
    }
    aus << "} // namespace\n\nstd::span<const unsigned char> Musikressource(int id) {\n    switch (id) {\n";
    for (const auto& [id, bytes] : stücke)
        aus << "    case " << id << ": return {stück" << id << ", sizeof stück" << id << "};\n";
    aus << "    default: return {};\n    }\n}\n\n} // namespace qmb\n";
    return aus.str();
}

} // namespace qmb::noten

#pragma once
// The six pieces of music carried inside the program, each a complete
// Standard MIDI File of format 1, built from the texts in assets/music.
#include <span>

namespace qmb {

// The bytes of the piece carried under `id` (the numbers assets/CMakeLists.txt
// gives the pieces, src/sound/Stuecke.h). Empty for any other id.
std::span<const unsigned char> Musikressource(int id);

} // namespace qmb

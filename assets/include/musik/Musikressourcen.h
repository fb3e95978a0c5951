#pragma once
// The six pieces of music carried inside the program, each a complete
// Standard MIDI File of format 1, built from the texts in assets/music.
#include <span>

namespace qmb {

// The bytes of piece `id`: 101 the lost jingle, 102 the won jingle, 103 to
// 106 the background pieces game1 to game4. Empty for any other id.
std::span<const unsigned char> Musikressource(int id);

} // namespace qmb

#pragma once
// Parsing: the header, the tracks, the phrases and the grids of a piece.
#include <string_view>

#include "Stueck.h"

namespace qmb::noten {

// Reads the source text into `st`; throws Fehler at the first mistake.
void lesen(Stück& st, std::string_view text);

} // namespace qmb::noten

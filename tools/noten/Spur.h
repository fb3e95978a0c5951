#pragma once
// Track assembly: one track's bars, with its repeats unfolded, phrases and
// grids inserted, transposition, dynamics, ties and swing applied, become
// timed events.
#include <vector>

#include "Smf.h"
#include "Stueck.h"
#include "Takte.h"

namespace qmb::noten {

struct Spurergebnis {
    std::vector<Ereignis> ereignisse;
    Tick ende = 0;
};

// `saat` seeds the humanising, so that every track varies differently but
// every build of the same piece gives the same bytes.
Spurergebnis spurÜbersetzen(const Stück& st, const Spur& sp, const Taktkarte& karte, unsigned saat);

} // namespace qmb::noten

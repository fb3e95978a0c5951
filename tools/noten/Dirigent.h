#pragma once
// The conductor track: title, time and key signatures, tempi and markers.
#include <vector>

#include "Smf.h"
#include "Stueck.h"
#include "Takte.h"

namespace qmb::noten {

std::vector<Ereignis> dirigent(const Stück& st, const Taktkarte& karte);

} // namespace qmb::noten

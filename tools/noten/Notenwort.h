#pragma once
// One note word of a bar, "[c4 e4 g4]/8.~!" or "snare/16'", read into its
// parts: pitches or drums, length, articulation, tie, accent.
#include <optional>
#include <vector>

#include "Stueck.h"

namespace qmb::noten {

struct Notenwort {
    std::vector<int> töne; // empty for a rest
    bool pause = false;
    bool schlag = false; // drum names: not transposed
    std::optional<Tick> dauer;
    enum { Normal, Staccato, Tenuto } artikulation = Normal;
    bool gebunden = false;
    int zusatz = 0;
    std::optional<int> fest;
};

Notenwort notenwortLesen(const Stück& st, const Spur& sp, const Wort& w);

} // namespace qmb::noten

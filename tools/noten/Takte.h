#pragma once
// The bar map: where each bar starts and how long it is, from the time
// signatures of the piece.
#include <algorithm>
#include <string>
#include <vector>

#include "Stueck.h"

namespace qmb::noten {

class Taktkarte {
public:
    explicit Taktkarte(const Stück& st) : st_(st) {
        arten_ = st.taktarten;
        std::stable_sort(arten_.begin(), arten_.end(),
                         [](const Taktart& a, const Taktart& b) { return a.bar < b.bar; });
        if (arten_.empty() || arten_.front().bar != 1) arten_.insert(arten_.begin(), Taktart{});
    }

    const Taktart& art(int bar) const {
        const Taktart* a = &arten_.front();
        for (const Taktart& t : arten_)
            if (t.bar <= bar) a = &t;
        return *a;
    }

    Tick länge(int bar) const {
        const Taktart& a = art(bar);
        return static_cast<Tick>(st_.teilung * 4 / a.nenner * a.zähler);
    }

    Tick anfang(int bar) const {
        Tick t = 0;
        for (int b = 1; b < bar; ++b) t += länge(b);
        return t;
    }

private:
    const Stück& st_;
    std::vector<Taktart> arten_;
};

// "1/16 zu kurz" for bar errors: the difference as a fraction of a whole note.
std::string bruch(long ticks, int teilung);

} // namespace qmb::noten

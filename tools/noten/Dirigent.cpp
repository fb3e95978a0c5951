#include "Dirigent.h"

#include <cmath>

namespace qmb::noten {

std::vector<Ereignis> dirigent(const Stück& st, const Taktkarte& karte) {
    std::vector<Ereignis> aus;
    if (!st.titel.empty()) aus.push_back(metaText(0, 0x03, st.titel));
    if (!st.rechte.empty()) aus.push_back(metaText(0, 0x02, st.rechte));
    std::vector<Taktart> arten = st.taktarten;
    if (arten.empty()) arten.push_back(Taktart{});
    for (const Taktart& t : arten) {
        int zweierpotenz = 0;
        while ((1 << zweierpotenz) < t.nenner) ++zweierpotenz;
        aus.push_back(
            {karte.anfang(t.bar),
             1,
             {0xFF, 0x58, 0x04, static_cast<unsigned char>(t.zähler), static_cast<unsigned char>(zweierpotenz), 24, 8},
             true});
    }
    for (const Tonart& t : st.tonarten)
        aus.push_back({karte.anfang(t.bar),
                       1,
                       {0xFF, 0x59, 0x02, static_cast<unsigned char>(static_cast<signed char>(t.vorzeichen)),
                        static_cast<unsigned char>(t.moll ? 1 : 0)},
                       true});
    std::vector<Tempo> tempi = st.tempi;
    if (tempi.empty()) tempi.push_back(Tempo{});
    for (const Tempo& t : tempi) {
        const Taktart& a = karte.art(t.bar);
        const double schlag = static_cast<double>(st.teilung) * 4 / a.nenner;
        if (t.schlag > a.zähler + 1e-9 || (t.schlag - 1) * schlag != std::floor((t.schlag - 1) * schlag))
            fehler(st, t.zeile, "die Schlagposition liegt nicht im Takt oder nicht auf einem Tick");
        const Tick tick = karte.anfang(t.bar) + static_cast<Tick>((t.schlag - 1) * schlag);
        const auto mikros = static_cast<std::uint32_t>(std::lround(60'000'000.0 / t.bpm));
        Ereignis e{tick, 1, {0xFF, 0x51, 0x03}, true};
        wortSchreiben(e.bytes, mikros, 3);
        aus.push_back(e);
    }
    for (const Marke& m : st.marken) aus.push_back(metaText(karte.anfang(m.bar), 0x06, m.text));
    return aus;
}

} // namespace qmb::noten

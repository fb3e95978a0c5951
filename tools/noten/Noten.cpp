// The notes compiler's pipeline: read the piece, check it as a whole, turn
// every track into events, add the conductor track, write the file. The jobs
// live in their own files: Woerter (lexing), Leser (parsing), Klaenge (pitch
// and drum names), Notenwort (one note word), Takte (the bar map), Spur
// (track assembly), Dirigent (the conductor track), Smf (writing) and
// Einbettung (the C++ source carrying the files).
#include "Noten.h"

#include <algorithm>

#include "Dirigent.h"
#include "Leser.h"
#include "Smf.h"
#include "Spur.h"
#include "Stueck.h"
#include "Takte.h"

namespace qmb::noten {

Fehler::Fehler(std::string_view datei, int zeile, const std::string& text)
    : std::runtime_error(std::string(datei) + ":" + std::to_string(zeile) + ": " + text), zeile_(zeile), text_(text) {}

std::vector<unsigned char> Übersetzen(std::string_view quelltext, std::string_view dateiname) {
    Stück st;
    st.datei = std::string(dateiname);
    lesen(st, quelltext);
    if (st.spuren.empty()) fehler(st, 1, "das Stück hat keine Spur");
    for (const Spur& s : st.spuren)
        if (s.körper.empty()) fehler(st, s.zeile, "Spur '" + s.name + "' hat keine Takte");
    for (const Taktart& t : st.taktarten)
        if (st.teilung * 4 % t.nenner != 0) fehler(st, st.teilungZeile, "die Teilung passt nicht zur Schlageinheit");

    const Taktkarte karte(st);
    std::vector<std::vector<Ereignis>> spuren(1);
    Tick ende = 0;
    unsigned saat = 1;
    for (const Spur& s : st.spuren) {
        Spurergebnis e = spurÜbersetzen(st, s, karte, saat++);
        spuren.push_back(std::move(e.ereignisse));
        ende = std::max(ende, e.ende);
    }
    spuren[0] = dirigent(st, karte);
    for (const Ereignis& e : spuren[0]) ende = std::max(ende, e.tick);

    // Every track ends at the end of the longest one, so that the file's
    // length is the length of the music and a loop comes round in time.
    return smfDatei(st.teilung, std::move(spuren), ende);
}

} // namespace qmb::noten

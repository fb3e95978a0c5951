// Fuzzing the MIDI file reader, and the sequencer over every file it accepts.
//
// Any bytes as a file: the reader either refuses them and leaves nothing
// behind, or gives a piece whose events are in time order, lie within the
// piece and point only at sysex bytes that exist. The sequencer then plays
// the piece from a point taken from the input, for a while and across its end
// (with and without repeat): every message it sends is a well-formed channel
// message on its own sixteen channels, and the position never leaves the
// piece.
//
//   cmake --preset fuzz && cmake --build build/fuzz --target fuzz_midi
//   build/fuzz/fuzz/midi/fuzz_midi -dict=fuzz/midi/midi.dict -max_total_time=120 fuzz/midi/korpus
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "sound/player/MidiDatei.h"
#include "sound/player/Sequenzer.h"

namespace {

void prüfe(bool bedingung) {
    if (!bedingung) std::abort();
}

// Checks every message instead of making a sound.
class Prüfziel : public qmb::Klangziel {
public:
    explicit Prüfziel(int basis) : basis_(basis) {}
    void nachricht(int kanal, std::uint8_t art, std::uint8_t d1, std::uint8_t d2) override {
        prüfe(kanal >= basis_ && kanal < basis_ + 16);
        prüfe(art >= 0x80 && art <= 0xE0 && (art & 0x0F) == 0);
        prüfe(d1 < 0x80 && d2 < 0x80);
        ++anzahl;
    }
    long anzahl = 0;

private:
    int basis_;
};

void prüfeStück(const qmb::MidiStück& s) {
    prüfe(!s.tempokarte.empty() && s.tempokarte.front().tick == 0 && s.tempokarte.front().ms == 0);
    for (std::size_t i = 1; i < s.tempokarte.size(); ++i) {
        prüfe(s.tempokarte[i].tick > s.tempokarte[i - 1].tick);
        prüfe(s.tempokarte[i].ms >= s.tempokarte[i - 1].ms);
        prüfe(s.tempokarte[i].mikrosProViertel > 0);
    }
    prüfe(std::isfinite(s.längeMs) && s.längeMs >= 0);
    prüfe(s.ereignisse.size() <= qmb::MaxMidiEreignisse);
    double vorher = 0;
    std::uint32_t tickVorher = 0;
    for (const qmb::MidiEreignis& e : s.ereignisse) {
        prüfe(e.tick >= tickVorher && e.ms >= vorher && std::isfinite(e.ms));
        prüfe(e.tick <= s.längeTicks && e.ms <= s.längeMs);
        prüfe(e.spur < s.spuren);
        // The same tick gives the same time, whatever the way there.
        prüfe(std::abs(e.ms - s.msBeiTick(e.tick)) <= 1e-6 * (1 + e.ms));
        if (e.status >= 0xF0) {
            prüfe(e.status == 0xF0 || e.status == 0xF7);
            prüfe(e.sysex < s.sysex.size());
            const qmb::Sysexblock& b = s.sysex[e.sysex];
            prüfe(std::uint64_t(b.anfang) + b.länge <= s.sysexdaten.size());
        } else {
            prüfe(e.status >= 0x80 && e.daten1 < 0x80 && e.daten2 < 0x80);
        }
        vorher = e.ms;
        tickVorher = e.tick;
    }
}

void spiele(std::shared_ptr<const qmb::MidiStück> stück, std::uint32_t wahl) {
    const int basis = (wahl & 1) ? 16 : 0;
    const bool wiederholen = (wahl & 2) != 0;
    qmb::Sequenzer q(stück, basis, 44100);
    Prüfziel ziel(basis);
    const std::int64_t länge = q.längeMs();
    prüfe(länge >= 0);
    // From a point inside the piece, chosen by the input.
    const std::int64_t ab = länge == 0 ? 0 : static_cast<std::int64_t>(wahl >> 2) % (länge + 1);
    prüfe(q.spielen(ab, wiederholen, &ziel));
    prüfe(!q.spielen(länge + 1, wiederholen, &ziel)); // refused, and changes nothing
    prüfe(!q.spielen(-1, wiederholen, &ziel));
    for (int i = 0; i < 300; ++i) {
        q.block(i % 7 == 3 ? nullptr : &ziel);
        prüfe(q.positionMs() >= 0 && q.positionMs() <= länge);
        if (i == 100) q.anhalten(&ziel);
        if (i == 150) q.fortsetzen(&ziel);
    }
    // Near the end, and across it.
    const std::int64_t spät = länge > 5 ? länge - 5 : 0;
    prüfe(q.spielen(spät, wiederholen, &ziel));
    for (int i = 0; i < 400; ++i) q.block(&ziel);
    if (!wiederholen)
        prüfe(q.zuEnde() && !q.spielt() && q.positionMs() == länge);
    else if (länge > 0)
        prüfe(q.spielt() && !q.zuEnde());
    q.zustandSenden(ziel);
    q.verstummen(&ziel);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t größe) {
    auto stück = std::make_shared<qmb::MidiStück>();
    const qmb::MidiFehler f = qmb::leseMidi(std::span(daten, größe), *stück);
    if (f != qmb::MidiFehler::Keiner) {
        prüfe(stück->ereignisse.empty() && stück->sysex.empty() && stück->sysexdaten.empty());
        prüfe(qmb::fehlertext(f) != nullptr);
        return 0;
    }
    prüfeStück(*stück);
    // The last four bytes choose where and how to play (they are part of the
    // file too, so the choice follows what the fuzzer changes).
    std::uint32_t wahl = 0;
    for (std::size_t i = größe >= 4 ? größe - 4 : 0; i < größe; ++i) wahl = (wahl << 8) | daten[i];
    spiele(stück, wahl);
    return 0;
}

#include "sound/player/Sequenzer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace qmb {

namespace {

constexpr std::uint8_t Regler = 0xB0;
constexpr std::uint8_t Programm = 0xC0;
constexpr std::uint8_t Druck = 0xD0;
constexpr std::uint8_t Biegung = 0xE0;

// Controllers of the registered and non-registered parameters: their meaning
// depends on the order they came in, so they are replayed in that order.
bool parameterRegler(int n) { return n == 6 || n == 38 || (n >= 96 && n <= 101); }

// A piece longer than this is treated as this long; it keeps frame counts
// far away from overflow, and no one listens that long.
constexpr double LängsteMs = 1e12;

} // namespace

Sequenzer::Sequenzer(std::shared_ptr<const MidiStück> stück, int ersterKanal, int abtastrate)
    : stück_(std::move(stück)), basis_(ersterKanal), rate_(abtastrate) {
    const double ms = std::clamp(stück_->längeMs, 0.0, LängsteMs);
    längeMs_ = std::llround(ms);
    länge_ = std::llround(ms * rate_ / 1000.0);
}

std::int64_t Sequenzer::frameVon(const MidiEreignis& e) const {
    return std::llround(std::min(e.ms, LängsteMs) * rate_ / 1000.0);
}

std::int64_t Sequenzer::positionMs() const {
    if (zuEnde_) return längeMs_;
    return std::min(position_ * 1000 / rate_, längeMs_);
}

bool Sequenzer::spielen(std::int64_t abMs, bool wiederholen, Klangziel* ziel) {
    if (abMs < 0 || abMs > längeMs_) return false;
    position_ = abMs == längeMs_
                    ? länge_
                    : std::min<std::int64_t>(länge_, std::llround(static_cast<double>(abMs) * rate_ / 1000.0));
    const auto& liste = stück_->ereignisse;
    nächstes_ =
        static_cast<std::size_t>(std::partition_point(liste.begin(), liste.end(),
                                                      [&](const MidiEreignis& e) { return frameVon(e) < position_; }) -
                                 liste.begin());
    if (ziel) zustandSenden(*ziel);
    spielt_ = true;
    zuEnde_ = false;
    wiederholen_ = wiederholen;
    if (position_ >= länge_) amEnde(ziel);
    return true;
}

bool Sequenzer::lässtAus(std::int64_t frame) const {
    const auto& liste = stück_->ereignisse;
    const auto erstes = std::partition_point(
        liste.begin(), liste.end(), [&](const MidiEreignis& e) { return frameVon(e) < frame - Blocklänge / 2; });
    return erstes != liste.end() && frameVon(*erstes) < frame;
}

void Sequenzer::fortsetzen(Klangziel* ziel) {
    if (spielt_ || zuEnde_) return;
    // A plain play command plays to the end once, like every play that does
    // not ask for repetition.
    wiederholen_ = false;
    spielt_ = true;
    if (ziel) zustandSenden(*ziel); // brings back the sustain pedal the pause released
}

void Sequenzer::anhalten(Klangziel* ziel) {
    if (!spielt_) return;
    spielt_ = false;
    if (ziel) notenAus(*ziel, false);
}

void Sequenzer::verstummen(Klangziel* ziel) {
    spielt_ = false;
    if (ziel) notenAus(*ziel, true);
}

void Sequenzer::block(Klangziel* ziel) {
    if (!spielt_) return;
    // The end is handled at the start of the block after it, so that the
    // last events sound in their own block and not one block early.
    if (position_ >= länge_) {
        amEnde(ziel);
        if (!spielt_) return;
    }
    fällige(position_ + Blocklänge / 2, ziel);
    position_ += Blocklänge;
}

void Sequenzer::amEnde(Klangziel* ziel) {
    // Whatever lies in the last half block (the final note-offs) still goes
    // out. Should the cap hold some back, the notes-off below covers them.
    fällige(std::numeric_limits<std::int64_t>::max(), ziel);
    // Notes a damaged piece never releases must not hang past its end.
    if (ziel) notenAus(*ziel, false);
    if (wiederholen_ && länge_ > 0) {
        position_ %= länge_;
        nächstes_ = 0;
        return;
    }
    position_ = länge_;
    spielt_ = false;
    zuEnde_ = true;
}

void Sequenzer::fällige(std::int64_t grenze, Klangziel* ziel) {
    const auto& liste = stück_->ereignisse;
    for (int n = 0; n < EreignisseProBlock && nächstes_ < liste.size() && frameVon(liste[nächstes_]) < grenze; ++n) {
        if (ziel) senden(liste[nächstes_], *ziel);
        ++nächstes_;
    }
}

void Sequenzer::senden(const MidiEreignis& e, Klangziel& ziel) const {
    // System-exclusive messages are not passed on: the synth is shared by two
    // pieces, and a GM or GS reset from one would reset the other's channels
    // too (and undo the drum channel of the second one).
    if (e.status >= 0xF0) return;
    ziel.nachricht(basis_ + (e.status & 0x0F), e.status & 0xF0, e.daten1, e.daten2);
}

void Sequenzer::notenAus(Klangziel& ziel, bool schnitt) const {
    for (int k = 0; k < 16; ++k) {
        ziel.nachricht(basis_ + k, Regler, 64, 0);  // sustain off
        ziel.nachricht(basis_ + k, Regler, 123, 0); // all notes off
        // All sound off comes last: the synth carries both out at its next
        // block, in order, and a release after the cut would let every
        // voice die away after all.
        if (schnitt) ziel.nachricht(basis_ + k, Regler, 120, 0);
    }
}

void Sequenzer::zustandSenden(Klangziel& ziel) const {
    struct Kanal {
        int programm = -1;
        std::array<int, 2> bankBeimProgramm{0, 0};
        std::array<int, 128> regler;
        int biegungLsb = -1, biegungMsb = -1;
        int druck = -1;
        std::vector<std::pair<std::uint8_t, std::uint8_t>> parameter;
        Kanal() { regler.fill(-1); }
    };
    std::array<Kanal, 16> kanäle;
    const auto& liste = stück_->ereignisse;
    for (std::size_t i = 0; i < nächstes_ && i < liste.size(); ++i) {
        const MidiEreignis& e = liste[i];
        if (e.status >= 0xF0) continue;
        Kanal& k = kanäle[e.status & 0x0F];
        switch (e.status & 0xF0) {
        case Regler:
            if (e.daten1 >= 120) break; // channel mode messages are not state
            if (parameterRegler(e.daten1))
                k.parameter.emplace_back(e.daten1, e.daten2);
            else
                k.regler[e.daten1] = e.daten2;
            break;
        case Programm:
            k.programm = e.daten1;
            k.bankBeimProgramm = {std::max(k.regler[0], 0), std::max(k.regler[32], 0)};
            break;
        case Druck: k.druck = e.daten1; break;
        case Biegung:
            k.biegungLsb = e.daten1;
            k.biegungMsb = e.daten2;
            break;
        default: break; // notes and key pressure are not restored
        }
    }

    for (int c = 0; c < 16; ++c) {
        const Kanal& k = kanäle[c];
        const int kanal = basis_ + c;
        auto cc = [&](int n, int wert) { ziel.nachricht(kanal, Regler, std::uint8_t(n), std::uint8_t(wert)); };
        auto oder = [&](int n, int vorgabe) { return k.regler[n] >= 0 ? k.regler[n] : vorgabe; };
        cc(64, 0);
        cc(123, 0);
        cc(121, 0);
        // What "reset all controllers" leaves alone, set to the usual start
        // values, so nothing of an earlier piece on these channels survives.
        cc(7, oder(7, 100));
        cc(10, oder(10, 64));
        cc(91, oder(91, 40));
        cc(93, oder(93, 0));
        cc(101, 0); // pitch-bend range back to two semitones
        cc(100, 0);
        cc(6, 2);
        cc(38, 0);
        cc(101, 127);
        cc(100, 127);
        for (const auto& [n, wert] : k.parameter) cc(n, wert);
        // The bank that was selected when the program was chosen, then the
        // program (always: the drum channel of the second piece needs one to
        // take effect), then the bank as the piece left it for later changes.
        cc(0, k.bankBeimProgramm[0]);
        cc(32, k.bankBeimProgramm[1]);
        ziel.nachricht(kanal, Programm, std::uint8_t(std::max(k.programm, 0)), 0);
        if (k.regler[0] >= 0) cc(0, k.regler[0]);
        if (k.regler[32] >= 0) cc(32, k.regler[32]);
        for (int n = 1; n < 120; ++n) {
            if (n == 7 || n == 10 || n == 32 || n == 91 || n == 93 || parameterRegler(n)) continue;
            if (k.regler[n] >= 0) cc(n, k.regler[n]);
        }
        if (k.biegungMsb >= 0) ziel.nachricht(kanal, Biegung, std::uint8_t(k.biegungLsb), std::uint8_t(k.biegungMsb));
        if (k.druck >= 0) ziel.nachricht(kanal, Druck, std::uint8_t(k.druck), 0);
    }
}

} // namespace qmb

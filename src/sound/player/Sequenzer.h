#pragma once
// Plays one piece on sixteen channels of the synth, starting at `ersterKanal`.
// Time runs in sample frames and advances one 64-frame block at a time, the
// finest step the synth knows: before each block the sequencer sends every
// event whose time lies nearer to this block's start than to the next one.
//
// The sequencer keeps no clock of its own; whoever renders the sound (or the
// steady clock when there is no sound) calls block() for every block. A null
// target means "nothing to send to": time passes, nothing sounds.
#include <cstdint>
#include <memory>

#include "sound/player/Klangziel.h"
#include "sound/player/MidiDatei.h"

namespace qmb {

class Sequenzer {
public:
    static constexpr int Blocklänge = 64;
    // At most this many events go out before one block. Music never comes
    // near it (a MIDI cable carries about one event a millisecond); a damaged
    // or hostile file that piles up more is played late instead of stalling
    // the audio thread, and a very short piece on repeat with a mountain of
    // events cannot make every block replay all of them.
    static constexpr int EreignisseProBlock = 512;

    Sequenzer(std::shared_ptr<const MidiStück> stück, int ersterKanal, int abtastrate);

    // Plays from `abMs` (0 to the length), once or over and over. Before the
    // first note the channels are brought into the state the events before
    // that point leave them in. False, and no change, when `abMs` is outside
    // the piece.
    bool spielen(std::int64_t abMs, bool wiederholen, Klangziel* ziel);
    // Continues from where it was stopped, once to the end. Nothing happens
    // when it is already playing or has reached its end.
    void fortsetzen(Klangziel* ziel);
    // Stops at the current position: the held notes are released, sustain too.
    void anhalten(Klangziel* ziel);
    // Stops for good and cuts every sound on its channels.
    void verstummen(Klangziel* ziel);

    // One block of time: sends what is due, then advances by Blocklänge frames.
    void block(Klangziel* ziel);

    // Whether a play from `frame` leaves out events that a block starting
    // there sends when played into: those in the half block before it.
    bool lässtAus(std::int64_t frame) const;

    // Releases every note on its channels (sustain too), or cuts them.
    void notenAus(Klangziel& ziel, bool schnitt) const;

    // Sends program, controllers and pitch bend as the events already played
    // have set them, without any note.
    void zustandSenden(Klangziel& ziel) const;

    bool spielt() const { return spielt_; }
    bool zuEnde() const { return zuEnde_; }
    bool wiederholt() const { return wiederholen_; }
    std::int64_t positionMs() const;
    std::int64_t längeMs() const { return längeMs_; }
    std::int64_t positionFrames() const { return position_; }
    int ersterKanal() const { return basis_; }
    const MidiStück& stück() const { return *stück_; }
    const std::shared_ptr<const MidiStück>& geteiltesStück() const { return stück_; }

private:
    std::int64_t frameVon(const MidiEreignis& e) const;
    // Sends the events with a frame below `grenze`, at most EreignisseProBlock.
    void fällige(std::int64_t grenze, Klangziel* ziel);
    void senden(const MidiEreignis& e, Klangziel& ziel) const;
    void amEnde(Klangziel* ziel);

    std::shared_ptr<const MidiStück> stück_;
    int basis_;
    int rate_;
    std::int64_t längeMs_;
    std::int64_t länge_; // in frames
    std::int64_t position_ = 0;
    std::size_t nächstes_ = 0; // first event not yet sent
    bool spielt_ = false;
    bool wiederholen_ = false;
    bool zuEnde_ = false;
};

} // namespace qmb

#pragma once
// Where the sequencer sends its channel messages: the FluidSynth synth in the
// program, a recorder in tests. Channels are 0 to 31, so that two pieces can
// sound side by side on one synth.
#include <cstdint>

namespace qmb {

class Klangziel {
public:
    virtual ~Klangziel() = default;
    // `art` is the upper half of the status byte (0x80 note off .. 0xE0 pitch bend).
    virtual void nachricht(int kanal, std::uint8_t art, std::uint8_t daten1, std::uint8_t daten2) = 0;
};

} // namespace qmb

#pragma once
#include <cstdint>

namespace qmb {

// The motion record of a ball or a bonus. The position lives in the drawable;
// the record only holds the speeds and whether the slot is in use.
struct Flugdaten {
    int32_t vx = 0;    // twips per tick, positive to the right
    int32_t vy = 0;    // twips per tick, positive downwards
    int16_t Aktiv = 0; // True is -1; any non-zero value counts as in use
    bool operator==(const Flugdaten&) const = default;
};

// Two 16-bit coordinates, Y first; freed bonus pictures are parked at one.
struct Position {
    int16_t Y = 0;
    int16_t X = 0;
};

} // namespace qmb

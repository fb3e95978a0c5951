#pragma once
// The game's arithmetic in one place. Positions are single-precision twips,
// counters 16-bit, speeds 32-bit; every conversion of a floating value to an
// integer rounds to the nearest integer with halves going to the even
// neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2). Where a value would not fit its
// field we saturate instead of wrapping or failing: a counter stuck at its
// limit is harmless, a wrapped one is not.
#include <cmath>
#include <cstdint>
#include <limits>

namespace qmb {

// Booleans in the game's records store True as -1; any non-zero value counts.
inline constexpr int16_t WAHR = -1;

// Nearest integer, halves to even, independent of the FPU rounding mode.
inline double rundeHalbGerade(double x) {
    if (!std::isfinite(x)) return x;
    double abgerundet = std::floor(x);
    double rest = x - abgerundet;
    if (rest > 0.5) return abgerundet + 1.0;
    if (rest < 0.5) return abgerundet;
    return std::fmod(abgerundet, 2.0) == 0.0 ? abgerundet : abgerundet + 1.0;
}

template <typename Ganz>
inline Ganz sättige(double x) {
    if (std::isnan(x)) return 0;
    constexpr double unten = static_cast<double>(std::numeric_limits<Ganz>::min());
    constexpr double oben = static_cast<double>(std::numeric_limits<Ganz>::max());
    if (x <= unten) return std::numeric_limits<Ganz>::min();
    if (x >= oben) return std::numeric_limits<Ganz>::max();
    return static_cast<Ganz>(x);
}

// Nearest 16-bit integer (halves to even), saturated.
inline int16_t nearest16(double x) { return sättige<int16_t>(rundeHalbGerade(x)); }
// Nearest 32-bit integer (halves to even), saturated.
inline int32_t nearest32(double x) { return sättige<int32_t>(rundeHalbGerade(x)); }
// A sum or difference formed in double precision, rounded to single precision
// before it is compared or stored.
inline float einfach(double x) { return static_cast<float>(x); }

// 16-bit counter arithmetic that saturates at the limits.
inline int16_t plus16(int16_t a, int32_t b) {
    return sättige<int16_t>(static_cast<double>(a) + static_cast<double>(b));
}
// 32-bit speed arithmetic that saturates at the limits.
inline int32_t plus32(int32_t a, int64_t b) {
    int64_t s = static_cast<int64_t>(a) + b;
    if (s < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (s > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(s);
}
inline int32_t minus32(int32_t a) {
    return a == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -a;
}

} // namespace qmb

#pragma once
// Random numbers and the time of day. The game draws uniform single-precision
// values in [0, 1) from one generator that is re-seeded from the time of day;
// both are ports so that tests can choose every draw.
#include <cstdint>

namespace qmb {

class Zufallsquelle {
public:
    virtual ~Zufallsquelle() = default;
    // The next value, uniform in [0, 1), single precision.
    virtual float Rnd() = 0;
    // Seeds the generator from a value (the game passes the time of day).
    virtual void Randomize(double saat) = 0;
};

class Tageszeit {
public:
    virtual ~Tageszeit() = default;
    // Seconds since local midnight, with fractions.
    virtual double Timer() = 0;
};

// The program's generator: a 24-bit linear congruential generator. Every
// value it yields is a multiple of 2^-24, so it is exact in single precision
// and never reaches 1.
class Generator24 : public Zufallsquelle {
public:
    explicit Generator24(uint32_t start = 0x50000) : x_(start & 0xFFFFFF) {}
    float Rnd() override;
    void Randomize(double saat) override;

private:
    uint32_t x_;
};

// The system clock's seconds since local midnight.
class Systemzeit : public Tageszeit {
public:
    double Timer() override;
};

} // namespace qmb

#include "platform/Zufall.h"

#include <chrono>
#include <cstring>
#include <ctime>

namespace qmb {

float Generator24::Rnd() {
    x_ = (x_ * 1140671485u + 12820163u) & 0xFFFFFFu;
    return static_cast<float>(x_) / 16777216.0f;
}

void Generator24::Randomize(double saat) {
    // Mix every bit of the seed into the state, so that seeds a fraction of a
    // second apart still start different sequences.
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof saat);
    std::memcpy(&bits, &saat, sizeof bits);
    bits ^= bits >> 33;
    bits *= 0xff51afd7ed558ccdULL;
    bits ^= bits >> 33;
    x_ = static_cast<uint32_t>((bits ^ (bits >> 24) ^ x_) & 0xFFFFFFu);
}

double Systemzeit::Timer() {
    using namespace std::chrono;
    const auto jetzt = system_clock::now();
    const std::time_t t = system_clock::to_time_t(jetzt);
    std::tm lokal{};
#ifdef _WIN32
    localtime_s(&lokal, &t);
#else
    localtime_r(&t, &lokal);
#endif
    const double bruch = duration<double>(jetzt.time_since_epoch()).count() - static_cast<double>(t);
    return lokal.tm_hour * 3600.0 + lokal.tm_min * 60.0 + lokal.tm_sec + bruch;
}

} // namespace qmb

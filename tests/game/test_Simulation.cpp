// Whole games, headless (the bot and its checks: tests/support/Simulation.h).
#include "Simulation.h"

namespace qmb::test {
namespace {

TEST(Simulation, VieleSpieleOhneRegelbruch) {
    Bilanz summe;
    for (uint32_t saat = 1; saat <= 16 && !HasFailure(); ++saat) {
        SCOPED_TRACE("seed " + std::to_string(saat));
        Simulation(saat, summe).spielen(3 * 60 * 1000);
    }
    // The runs must have gone through every ending, or the checks saw too little.
    EXPECT_TRUE(summe.gewonnen > 0 && summe.verloren > 0 && summe.abgebrochen > 0)
        << summe.gewonnen << " gewonnen, " << summe.verloren << " verloren, " << summe.abgebrochen << " abgebrochen";
}

} // namespace
} // namespace qmb::test

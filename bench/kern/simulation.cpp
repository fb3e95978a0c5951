// The headless simulation of the game tests as a tool: many more games, and
// how their best scores spread.
//   quambel_simulation [SPIELZEIT_MINUTEN_JE_SAAT] [SAATEN]
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Simulation.h"

int main(int argc, char** argv) {
    const int minuten = argc > 1 ? std::atoi(argv[1]) : 10;
    const uint32_t saaten = argc > 2 ? static_cast<uint32_t>(std::atoi(argv[2])) : 64;
    qmb::test::Bilanz summe;
    for (uint32_t saat = 1; saat <= saaten; ++saat)
        qmb::test::Simulation(saat, summe).spielen(static_cast<int64_t>(minuten) * 60 * 1000);
    const std::vector<int>& alle = summe.ergebnisse;
    std::printf("%zu Spiele in %.1f Stunden Spielzeit, %lld Takte\n", alle.size(), minuten * saaten / 60.0,
                static_cast<long long>(summe.takte));
    std::printf("| Rekord | Spiele |\n| --- | --- |\n");
    for (int von = 0; von <= 100; von += 10) {
        const int bis = von == 100 ? 100 : von + 9;
        const auto n = std::count_if(alle.begin(), alle.end(), [&](int r) { return r >= von && r <= bis; });
        std::printf("| %d–%d | %ld |\n", von, bis, static_cast<long>(n));
    }
    return ::testing::Test::HasFailure() ? 1 : 0;
}

// One tick of the ball timer, worked out by hand: gravity, the pad with its
// bounce, steering and division, the ceiling, the walls, and the loss.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "Modell.h"

namespace qmb::test {
namespace {

struct Ballflug : ::testing::Test, Modell {
    Ballflug() { laden(); }
};

TEST_F(Ballflug, EinTakt) {
    // The pad lies at 2640..3840 with its top at 6600; a ball is 240 across.
    // Ball 1 is set up, its twin goes to slot 2 and moves in the same tick.
    const float knapp = std::nextafter(3976.0f, 5000.0f);
    const struct {
        const char* was;
        float pad;
        bool power;
        Flug vor;
        std::deque<float> zug;
        Flug nach, zwilling;
    } fälle[] = {
        {"bounces: mirrored at the top edge, k = -15, steered by (3180 - 3240) / 5", 2640, false,
         {3060, 6300, 0, 300, true}, {0.0f}, {3060, 6103, -12, -332, true}, {3072, 5788, 12, -315, true}},
        {"k = 27 leaves exactly -290: kept", 2640, false, {3060, 6300, 0, 300, true}, {0.6f},
         {3060, 6103, -12, -290, true}, {3072, 5830, 12, -273, true}},
        {"k = 29 leaves -288: drawn afresh", 2640, false, {3060, 6300, 0, 300, true}, {0.625f, 0.5f},
         {3060, 6103, -12, -300, true}, {3072, 5820, 12, -283, true}},
        {"PowerPad doubles k = 55", 2640, true, {3060, 6300, 0, 300, true}, {0.999f},
         {3060, 6103, -12, -427, true}, {3072, 5693, 12, -410, true}},
        {"struck right of the middle", 2640, false, {3660, 6300, 10, 300, true}, {0.0f},
         {3660, 6103, 118, -332, true}, {3542, 5788, -118, -315, true}},
        {"ceiling: 150.5 to the even 150", 2640, false, {3000, 400, 0, -318, true}, {}, {3000, 620, 0, 150, true}, {}},
        {"ceiling: 151.5 to the even 152", 2640, false, {3000, 400, 0, -320, true}, {}, {3000, 624, 0, 152, true}, {}},
        {"falling ball at the ceiling", 2640, false, {3000, 340, 0, 0, true}, {}, {3000, 357, 0, 17, true}, {}},
        {"right wall", 2640, false, {5600, 3000, 100, 0, true}, {}, {5720, 3017, -100, 17, true}, {}},
        {"reaching the right wall", 2640, false, {5560, 3000, 100, 0, true}, {}, {5660, 3017, 100, 17, true}, {}},
        {"reaching the left wall", 2640, false, {480, 3000, -60, 0, true}, {}, {420, 3017, -60, 17, true}, {}},
        {"one wall per tick", 2640, false, {6400, 3000, -6000, 0, true}, {}, {6320, 3017, 6000, 17, true}, {}},
        {"centre on the pad's left edge", 2640, false, {2520, 6300, 0, 300, true}, {}, {2520, 6617, 0, 317, true}, {}},
        {"centre on the pad's right edge", 2640, false, {3720, 6300, 0, 300, true}, {}, {3720, 6617, 0, 317, true}, {}},
        {"bottom reaching the pad's top", 2640, false, {3060, 6300, 0, 43, true}, {}, {3060, 6360, 0, 60, true}, {}},
        {"centre on the edge in single precision", 4096, false, {knapp, 6300, 0, 300, true}, {},
         {knapp, 6617, 0, 317, true}, {}},
        {"beside the pad: a tick of grace", 2640, false, {1000, 6300, 0, 100, true}, {}, {1000, 6417, 0, 117, true}, {}},
        {"caught in the tick of grace", 600, false, {1000, 6417, 0, 117, true}, {0.0f, 0.5f},
         {1000, 6169, -16, -300, true}, {1016, 5886, 16, -283, true}},
        {"beside the pad, below its top: lost", 2640, false, {1000, 6400, 0, 0, true}, {}, {}, {}},
    };
    starten();
    for (const auto& f : fälle) {
        SCOPED_TRACE(f.was);
        ball(1, f.vor);
        ball(2, {});
        ball(3, {5000, 1000, 0, 0, true}); // keeps the game going when ball 1 is lost
        m.Pad.Left = f.pad;
        m.PowerPad = f.power;
        m.PunkteStandAktualisieren();
        m.lblPunkte.Hinten = false;
        zufall.werte = f.zug;
        zufall.gezogen = 0;
        m.tmrBälle_Timer();
        EXPECT_EQ(ball(1), f.nach);
        EXPECT_EQ(ball(2), f.zwilling);
        EXPECT_EQ(zufall.gezogen, static_cast<int>(f.zug.size()));
        EXPECT_EQ(m.Punkte, imSpiel());
        EXPECT_GE(m.Rekord, m.Punkte);
        EXPECT_EQ(m.lblPunkte.Caption, label(m.Punkte, m.Rekord, 100));
        EXPECT_EQ(m.lblPunkte.Hinten, f.zwilling.aktiv) << "the label goes behind a new ball";
        EXPECT_TRUE(m.SpielLäuft);
    }
}

} // namespace
} // namespace qmb::test

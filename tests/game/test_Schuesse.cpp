// The guns and the shots: the cadence and the alternating guns, the flight,
// hits edge to edge, and the division of the ball that was hit.
#include <gtest/gtest.h>

#include "Modell.h"

namespace qmb::test {
namespace {

using Gefeuert = std::vector<std::pair<int, float>>;

struct Schüsse : ::testing::Test, Modell {
    Schüsse() { laden(), starten(); } // the first ball stays clear of both guns' lines
    // Runs shot ticks and notes, for every shot fired, the tick and its gun
    // (a new shot stands at 6290: made at 6530 and moved once).
    Gefeuert feuern(int takte) {
        Gefeuert gefeuert;
        for (int t = 1; t <= takte; ++t) {
            const int16_t vorher = m.Munition;
            m.tmrSchüsse_Timer();
            for (int s : schüsse())
                if (m.Munition != vorher && m.Schuss(s).Top == 6290.0f) gefeuert.emplace_back(t, m.Schuss(s).Left);
        }
        return gefeuert;
    }
    void schuss(int n, float left, float top) {
        m.Schuss.Load(n), m.Schuss(n).Left = left, m.Schuss(n).Top = top, m.Schuss(n).Visible = true;
    }
};

TEST_F(Schüsse, TaktUndGewehre) {
    m.Munition = 3;
    m.Form_KeyDown(vbKeyControl, 0);
    EXPECT_EQ(feuern(30), (Gefeuert{{1, 2640}, {8, 3770}, {15, 2640}}));
    EXPECT_EQ(m.lblPunkte.Caption, label(1, 1, 0));
    // Refilled with fire still held, the cadence goes on from where it stood.
    bonus(1, 2, {3000, 6300, 0, 0});
    m.tmrBonusse_Timer();
    EXPECT_EQ(feuern(8), (Gefeuert{{7, 3770}}));
    m.Form_KeyDown(vbKeyControl, 0); // auto-repeat: the cadence runs on
    EXPECT_EQ(feuern(6), (Gefeuert{{6, 2640}}));
    m.Form_KeyUp(vbKeyC, 0);
    m.Form_KeyDown(vbKeyUp, 0); // a fresh press fires at once
    EXPECT_EQ(feuern(3), (Gefeuert{{1, 3770}}));
    m.Form_MouseDown(vbLeftButton, 0, 0, 0); // the left button always starts anew
    EXPECT_EQ(feuern(1), (Gefeuert{{1, 2640}}));
    m.Form_MouseUp(vbLeftButton, 0, 0, 0);
    EXPECT_EQ(feuern(10), Gefeuert{});
    EXPECT_EQ(m.Munition, 46);
}

TEST_F(Schüsse, TreffenNurMitEchterÜberlappung) {
    const struct {
        float left, top, schuss;
        bool trifft;
    } fälle[] = {
        // The shot is 70 across and stands at 3000, 6290 after its move.
        {2900, 6050, 6530, false}, // the ball's bottom meets the shot's top
        {2900, 6051, 6530, true},  {2760, 6200, 6530, false}, // the ball's right edge meets the shot's left
        {2761, 6200, 6530, true},  {3070, 6200, 6530, false}, // the shot's right edge meets the ball's left
        {2900, 6360, 6530, false}, // the shot's bottom meets the ball's top
        {2900, 6359, 6530, true},
        {2950, 300, 530, true}, // moved to 290, beyond the top wall, it still hits
    };
    for (const auto& f : fälle) {
        SCOPED_TRACE(std::to_string(f.left) + " " + std::to_string(f.top));
        m.lblPunkte.Caption.clear();
        ball(2, {f.left, f.top, 30, -100, true});
        schuss(1, 3000, f.schuss);
        m.tmrSchüsse_Timer();
        EXPECT_EQ(ball(3), (f.trifft ? Flug{f.left, f.top, -30, -100, true} : Flug{}));
        EXPECT_EQ(schüsse().empty(), f.trifft);
        EXPECT_EQ(m.lblPunkte.Caption, f.trifft ? label(3, 3, 100) : "");
        m.Schuss.Unload(1);
        ball(3, {});
    }
}

TEST_F(Schüsse, TeiltNurDenBallImNiedrigerenSlot) {
    ball(3, {2950, 6100, 40, -200, true});
    ball(2, {2980, 6150, -25, 90, true});
    schuss(1, 3000, 6530);
    m.tmrSchüsse_Timer();
    EXPECT_EQ((std::vector<Flug>{ball(2), ball(4), ball(5)}),
              (std::vector<Flug>{{2980, 6150, -25, 90, true}, {2980, 6150, 25, 90, true}, {}}));
    EXPECT_TRUE(m.Ball(4).Visible);
    EXPECT_EQ(m.lblPunkte.Caption, label(4, 4, 100));
}

TEST_F(Schüsse, OhneFreienSlotWartetDerSchussUndDieAnderenStehen) {
    bälle(100);
    m.Punkte = 99;
    m.PunkteStandAktualisieren(); // 99 balls do not win yet
    ball(50, {2950, 3000, 0, 0, true});
    schuss(1, 3000, 3240);
    schuss(2, 1000, 5000);
    m.tmrSchüsse_Timer();
    EXPECT_EQ((std::vector<float>{m.Schuss(1).Top, m.Schuss(2).Top}), (std::vector<float>{3000, 5000}));
    EXPECT_EQ(m.Punkte, 99);
    EXPECT_TRUE(m.SpielLäuft);
}

} // namespace
} // namespace qmb::test

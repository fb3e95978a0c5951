// One tick of the ball, bonus and shot timers, worked out by hand. Balls:
// gravity, the pad with its bounce, steering and division, the ceiling, the
// walls, and the loss. Bonuses: when one turns up and of which kind, its
// flight (catching, loss, walls) and the three effects. Shots: the cadence
// and the alternating guns, the flight, hits edge to edge, and the division
// of the ball that was hit.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "Modell.h"
#include "game/Vorhersage.h"

namespace qmb::test {
namespace {

using Gefeuert = std::vector<std::pair<int, float>>;

// A game just started; its first ball stays clear of both guns' lines.
struct Feld : ::testing::Test, Modell {
    Feld() {
        laden();
        starten();
    }
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
};
using Ballflug = Feld;
using Bonusse = Feld;
using Schüsse = Feld;

TEST_F(Ballflug, EinTakt) {
    // The pad lies at 2640..3840 with its top at 6600; a ball is 240 across.
    // Ball 1 is set up, its twin goes to slot 2 and moves in the same tick.
    const float knapp = std::nextafter(3976.0f, 5000.0f);
    // What, the pad's left, PowerPad, ball 1 before, the draws, ball 1 after, its twin.
    const std::tuple<const char*, float, bool, Flug, std::deque<float>, Flug, Flug> fälle[] = {
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
    for (const auto& [was, pad, power, vor, zug, nach, zwilling] : fälle) {
        SCOPED_TRACE(was);
        ball(1, vor);
        ball(2, {});
        ball(3, {5000, 1000, 0, 0, true}); // keeps the game going when ball 1 is lost
        m.Rekord = 2;
        m.Pad.Left = pad;
        m.PowerPad = power;
        m.PunkteStandAktualisieren();
        m.lblPunkte.Hinten = false;
        zufall.werte = zug;
        zufall.gezogen = 0;
        const auto [flug, raum] = ballFlug(m, 1);
        const Ort voraus = vorhersagen(flug, raum, 1.0);
        m.tmrBälle_Timer();
        // Drawn just before the tick where the tick puts it, but at the pad,
        // where the tick decides by the pad's place then.
        if (zug.empty() && nach.aktiv && nach.top + 240 <= 6600) {
            EXPECT_EQ(std::pair(voraus.Left, voraus.Top), std::pair(nach.left, nach.top));
        }
        EXPECT_EQ(ball(1), nach);
        EXPECT_EQ(ball(2), zwilling);
        EXPECT_EQ(zufall.gezogen, static_cast<int>(zug.size()));
        // The label shows the new score and best, and goes behind a new ball.
        const int punkte = 1 + nach.aktiv + zwilling.aktiv;
        EXPECT_EQ(m.lblPunkte.Caption, label(punkte, std::max(2, punkte), 100));
        EXPECT_EQ(m.lblPunkte.Hinten, zwilling.aktiv);
        EXPECT_TRUE(m.SpielLäuft);
    }
}

TEST_F(Bonusse, ErscheintAnDerOberenWand) {
    // The draws: the spawn, left, vx, vy and kind, then the new bonus's own in its first tick.
    const std::tuple<int16_t, float, float, Motiv> fälle[] = { // score, spawn draw, kind draw, kind made
        {6, 369.0f / 370.0f, 0.25f, Motiv::BonusseBonus}, {7, 369.0f / 450.0f, 0.2501f, Motiv::BonusMitBall},
        {6, 369.0f / 370.0f, 0.75f, Motiv::BonusMuni}, {7, 369.0f / 370.0f, 0, Motiv::Keins},
        {6, 369.0f / 450.0f, 0, Motiv::Keins}, {6, 0.0f, 0, Motiv::Keins},
        // r x N is taken in single precision: a hair inside the window in
        // double precision, exactly on its excluded ends in single.
        {6, 0x1.ff4eep-1f, 0, Motiv::Keins},  // 369.4999981 -> 369.5 -> 370
        {7, 0x1.a34568p-1f, 0, Motiv::Keins}, // 368.5000062 -> 368.5 -> 368
    };
    for (const auto& [punkte, zug, art, motiv] : fälle) {
        SCOPED_TRACE(std::to_string(punkte) + " " + std::to_string(zug));
        m.Punkte = punkte;
        m.Bonus(1) = m.Bonus(0);
        m.BonusDaten[1] = m.LeerDaten;
        m.lblPunkte.Hinten = false;
        zufall.werte = {zug, 0.25f, 0.75f, 0.5f, art, 0.1f};
        zufall.gezogen = 0;
        m.tmrBonusse_Timer();
        const bool neu = motiv != Motiv::Keins;
        const Bild bild{1740, 400, 360, 360, true, motiv, std::to_string(static_cast<int>(motiv))};
        // 360 + 0.25 * 5280 + 60; 360 + 20 + 20
        EXPECT_TRUE(m.Bonus(1) == (neu ? bild : m.Bonus(0))) << "the new bonus's picture, or the empty slot's";
        EXPECT_EQ(m.lblPunkte.Hinten, neu);
        EXPECT_EQ(bonus(1), (neu ? Flug{1740, 400, 60, 40, true} : Flug{}));
        EXPECT_EQ(zufall.gezogen, neu ? 6 : 1);
    }
}

TEST_F(Bonusse, EinTakt) {
    // The pad lies at 2640..3840 between 6600 and 6720; a bonus is 360 across.
    // What, the pad's left, ammunition, the bonus before and after, ammunition after.
    const std::tuple<const char*, float, int16_t, Flug, Flug, int16_t> fälle[] = {
        {"falls", 2640, 100, {2000, 1000, 10, 10, true}, {2010, 1030, 10, 30, true}, 100},
        {"level with the pad's top", 2640, 100, {3000, 6200, 0, 20, true}, {3000, 6240, 0, 40, true}, 100},
        {"edge to edge with the pad", 2640, 100, {2300, 6300, -20, 0, true}, {2280, 6320, -20, 20, true}, 100},
        {"over the pad's right end by 20", 2640, 100, {3820, 6300, 0, 0, true}, {}, 150},
        {"over the pad, below its bottom edge", 600, 100, {1000, 6310, 0, 40, true}, {}, 150},
        {"beside the pad, on its bottom edge", 2640, 100, {1000, 6300, 0, 40, true}, {1000, 6360, 0, 60, true}, 100},
        {"beside the pad, below its bottom edge: lost", 2640, 100, {1000, 6310, 0, 40, true}, {}, 100},
        {"left wall", 2640, 100, {400, 1000, -30, 0, true}, {380, 1020, 30, 20, true}, 100},
        {"reaching the left wall", 2640, 100, {420, 1000, -30, 0, true}, {390, 1020, -30, 20, true}, 100},
        {"right wall", 2640, 100, {5540, 1000, 60, 0, true}, {5620, 1020, -60, 20, true}, 100},
        {"reaching the right wall", 2640, 100, {5520, 1000, 60, 0, true}, {5580, 1020, 60, 20, true}, 100},
        {"ammunition stops at 32767", 2640, 32750, {3000, 6300, 0, 0, true}, {}, 32767},
    };
    for (const auto& [was, pad, munition, vor, nach, munitionNach] : fälle) {
        SCOPED_TRACE(was);
        bonus(1, 2, vor);
        m.Pad.Left = pad;
        m.Munition = munition;
        m.PunkteStandAktualisieren();
        zufall.gezogen = 0;
        const auto [flug, raum] = bonusFlug(m, 1);
        const Ort voraus = vorhersagen(flug, raum, 1.0);
        m.tmrBonusse_Timer();
        if (nach.aktiv && nach.top + 360 <= 6600) {
            EXPECT_EQ(std::pair(voraus.Left, voraus.Top), std::pair(nach.left, nach.top));
        }
        EXPECT_EQ(bonus(1), nach);
        EXPECT_EQ(m.Bonus(1).Visible, nach.aktiv);
        EXPECT_EQ(m.lblPunkte.Caption, label(1, 1, munitionNach));
        EXPECT_EQ(zufall.gezogen, 2) << "the spawn draw and the bonus's own";
    }
}

TEST_F(Bonusse, FünfBälleVomPad) {
    bälle(40);
    bonus(4, 1, {2900, 6300, 0, 0});
    zufall.werte = {0.5f, 0.5f, 0.0f, 0.0f, 0.999f, 0.999f}; // then 0.5 for the rest
    m.tmrBonusse_Timer();
    const Flug a{2900, 6240, 0, -540, true}; // 120 above the pad, 0.5 * 360 - 720, 0.5 * 240 - 120
    EXPECT_EQ((std::vector<Flug>{ball(41), ball(42), ball(43), ball(44), ball(45), ball(46), bonus(4)}),
              (std::vector<Flug>{{2900, 6240, -120, -720, true}, {2900, 6240, 120, -360, true}, a, a, a, {}, {}}));
    EXPECT_EQ(m.lblPunkte.Caption, label(45, 45, 100));
}

TEST_F(Bonusse, ZweiWeitereWerdenHochgeworfen) {
    bonus(1, 0, {3000, 6300, 0, 0}); // caught at 6320
    // Spawn, own draw; then per new bonus: its speed up, vx, kind; each then falls once.
    zufall.werte = {0.0f, 0.0f, 0.0f, 0.5f, 0.2f, 1.0f - 0x1p-24f, 0.0f, 0.9f};
    m.tmrBonusse_Timer();
    EXPECT_EQ((std::vector<Flug>{bonus(1), bonus(2), bonus(3)}),
              (std::vector<Flug>{{}, {3000, 6080 - 230, 0, -250 + 20, true}, {2880, 6080 - 480, -120, -500 + 20, true}}));
    EXPECT_EQ(m.Bonus(2).Tag + m.Bonus(3).Tag, "12");
}

TEST_F(Bonusse, HöchstensZehnUndNurImSpiel) {
    for (int belegt : {9, 10}) {
        bonus(1, 0, {3000, 6300, 0, 0});
        for (int i = 2; i <= 10; ++i) m.BonusDaten[static_cast<size_t>(i)] = m.LeerDaten;
        for (int i = 2; i <= belegt; ++i) bonus(i, 2, {400.0f * i, 1000, 0, 0});
        m.tmrBonusse_Timer();
        // Nine: one further bonus takes slot 10. Ten: none is free while the caught one holds its own.
        EXPECT_EQ(imSpiel(10), 9) << belegt;
        EXPECT_EQ(bonus(10).left, belegt == 9 ? 3000.0f : 4000.0f) << belegt;
    }
    bonus(1, 2, {2000, 1000, 0, 0});
    zufall.gezogen = 0;
    m.BonusErstellen(-1, 0, 0, 0, 0);
    EXPECT_EQ(zufall.gezogen, 0) << "no free slot: nothing is drawn";
    m.SpielEnde();
    m.BonusErstellen(2, 1000, 2000, 5, 5);
    EXPECT_EQ(imSpiel(10), 0);
}

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
    // The ball's left and top, the shot's top before its move, whether it hits.
    // The shot is 70 across and stands at 3000, 6290 after its move.
    const std::tuple<float, float, float, bool> fälle[] = {
        {2900, 6050, 6530, false}, // the ball's bottom meets the shot's top
        {2900, 6051, 6530, true},  {2760, 6200, 6530, false}, // the ball's right edge meets the shot's left
        {2761, 6200, 6530, true},  {3070, 6200, 6530, false}, // the shot's right edge meets the ball's left
        {2900, 6360, 6530, false}, // the shot's bottom meets the ball's top
        {2900, 6359, 6530, true},
        {2950, 300, 530, true}, // moved to 290, beyond the top wall, it still hits
    };
    for (const auto& [left, top, schussTop, trifft] : fälle) {
        SCOPED_TRACE(std::to_string(left) + " " + std::to_string(top));
        m.lblPunkte.Caption.clear();
        ball(2, {left, top, 30, -100, true});
        schuss(1, 3000, schussTop);
        m.tmrSchüsse_Timer();
        const Flug zwilling{left, top, -30, -100, true};
        EXPECT_EQ(ball(3), trifft ? zwilling : Flug{});
        EXPECT_EQ(schüsse().empty(), trifft);
        EXPECT_EQ(m.lblPunkte.Caption, trifft ? label(3, 3, 100) : "");
        m.Schuss.Unload(1);
        ball(3, {});
    }
}

TEST_F(Schüsse, TeiltNurDenBallImNiedrigerenSlot) {
    ball(3, {2950, 6100, 40, -200, true});
    ball(2, {2980, 6150, -25, 90, true});
    schuss(1, 3000, 6530);
    m.tmrSchüsse_Timer();
    EXPECT_EQ(ball(2), (Flug{2980, 6150, -25, 90, true}));
    EXPECT_EQ(ball(4), (Flug{2980, 6150, 25, 90, true}));
    EXPECT_EQ(ball(5), Flug{});
    EXPECT_TRUE(m.Ball(4).Visible);
    EXPECT_EQ(m.lblPunkte.Caption, label(4, 4, 100));
}

TEST_F(Schüsse, OhneFreienSlotWartetDerSchussUndDieAnderenStehen) {
    bälle(100);
    punkte(99); // 99 balls do not win yet
    ball(50, {2950, 3000, 0, 0, true});
    schuss(1, 3000, 3240);
    schuss(2, 1000, 5000);
    m.tmrSchüsse_Timer();
    EXPECT_EQ(m.Schuss(1).Top, 3000.0f) << "the shot waits";
    EXPECT_EQ(m.Schuss(2).Top, 5000.0f) << "and so does the other";
    EXPECT_EQ(m.Punkte, 99);
    EXPECT_TRUE(m.SpielLäuft);
}

} // namespace
} // namespace qmb::test

// Bonuses: when one turns up and of which kind, one tick of its flight
// (catching, loss, walls) worked out by hand, and the three effects.
#include <gtest/gtest.h>

#include "Modell.h"

namespace qmb::test {
namespace {

struct Bonusse : ::testing::Test, Modell {
    Bonusse() { laden(), starten(); }
};

TEST_F(Bonusse, ErscheintBeiDreihundertneunundsechzig) {
    const std::tuple<int16_t, float, int> fälle[] = { // score, draw, bonuses then
        {6, 369.0f / 370.0f, 1}, {7, 369.0f / 370.0f, 0}, {7, 369.0f / 450.0f, 1}, {6, 369.0f / 450.0f, 0}, {6, 0.0f, 0},
        // r x N is taken in single precision: a hair inside the window in
        // double precision, exactly on its excluded ends in single.
        {6, 0x1.ff4eep-1f, 0},  // 369.4999981 -> 369.5 -> 370
        {7, 0x1.a34568p-1f, 0}, // 368.5000062 -> 368.5 -> 368
    };
    for (const auto& [punkte, r, neu] : fälle) {
        m.Punkte = punkte;
        zufall.werte = {r};
        m.tmrBonusse_Timer();
        EXPECT_EQ(imSpiel(10), neu) << punkte << " " << r;
        m.BonusDaten[1] = m.LeerDaten;
    }
}

TEST_F(Bonusse, NeuerBonusAnDerOberenWandFälltSchonImErstenTakt) {
    // Spawn, then left, vx, vy and kind, then the bonus's own draw in the tick.
    zufall.werte = {369.0f / 370.0f, 0.25f, 0.75f, 0.5f, 0.5f, 0.1f};
    m.lblPunkte.Hinten = false;
    m.tmrBonusse_Timer();
    EXPECT_EQ(zufall.gezogen, 6);
    EXPECT_EQ(bonus(1), (Flug{1740, 400, 60, 40, true})); // 360 + 0.25 * 5280 + 60; 360 + 20 + 20
    EXPECT_EQ(m.Bonus(1).Tag, "1");
    EXPECT_TRUE(m.Bonus(1).Picture == Motiv::BonusMitBall && m.Bonus(1).Visible && m.lblPunkte.Hinten);
}

TEST_F(Bonusse, ArtAusDemZufall) {
    const std::tuple<int16_t, float, Motiv> fälle[] = { // kind asked for, draw, kind made
        {-1, 0.25f, Motiv::BonusseBonus}, {-1, 0.2501f, Motiv::BonusMitBall}, {-1, 0.75f, Motiv::BonusMuni},
        {-2, 0.5f, Motiv::BonusMuni},     {-2, 0.4999f, Motiv::BonusMitBall}, {2, 0.9f, Motiv::BonusMuni},
    };
    for (const auto& [typ, r, art] : fälle) {
        zufall.werte = {r};
        zufall.gezogen = 0;
        m.BonusErstellen(typ, 1000, 2000, 10, 10);
        EXPECT_EQ(m.Bonus(1).Tag + "/" + std::to_string(zufall.gezogen),
                  std::to_string(static_cast<int>(art)) + (typ < 0 ? "/1" : "/0"));
        EXPECT_TRUE(m.Bonus(1).Picture == art && bonus(1) == (Flug{2000, 1000, 10, 10, true})) << typ << " " << r;
        m.BonusDaten[1] = m.LeerDaten;
    }
}

TEST_F(Bonusse, EinTakt) {
    // The pad lies at 2640..3840 between 6600 and 6720; a bonus is 360 across.
    const struct {
        const char* was;
        float pad;
        int16_t munition;
        Flug vor, nach;
        int16_t munitionNach;
    } fälle[] = {
        {"falls", 2640, 100, {2000, 1000, 10, 10, true}, {2010, 1030, 10, 30, true}, 100},
        {"level with the pad's top", 2640, 100, {3000, 6200, 0, 20, true}, {3000, 6240, 0, 40, true}, 100},
        {"edge to edge with the pad", 2640, 100, {2300, 6300, -20, 0, true}, {2280, 6320, -20, 20, true}, 100},
        {"over the pad's right end by 20", 2640, 100, {3820, 6300, 0, 0, true}, {}, 150},
        {"over the pad, below its bottom edge", 600, 100, {1000, 6310, 0, 40, true}, {}, 150},
        {"beside the pad, on its bottom edge", 2640, 100, {1000, 6300, 0, 40, true}, {1000, 6360, 0, 60, true}, 100},
        {"beside the pad, below its bottom edge: lost", 2640, 100, {1000, 6310, 0, 40, true}, {}, 100},
        {"left wall", 2640, 100, {400, 1000, -30, 0, true}, {380, 1020, 30, 20, true}, 100},
        {"right wall", 2640, 100, {5540, 1000, 60, 0, true}, {5620, 1020, -60, 20, true}, 100},
        {"ammunition stops at 32767", 2640, 32750, {3000, 6300, 0, 0, true}, {}, 32767},
    };
    for (const auto& f : fälle) {
        SCOPED_TRACE(f.was);
        bonus(1, 2, f.vor);
        m.Pad.Left = f.pad;
        m.Munition = f.munition;
        m.PunkteStandAktualisieren();
        zufall.gezogen = 0;
        m.tmrBonusse_Timer();
        EXPECT_EQ(bonus(1), f.nach);
        EXPECT_EQ(m.Bonus(1).Visible, f.nach.aktiv);
        EXPECT_EQ(m.lblPunkte.Caption, label(1, 1, f.munitionNach));
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

} // namespace
} // namespace qmb::test

// Bonuses: when one turns up and of which kind, one tick of its flight
// (catching, loss, walls) worked out by hand, and the three effects.
#include <gtest/gtest.h>

#include "Modell.h"

namespace qmb::test {
namespace {

struct Bonusse : ::testing::Test, Modell {
    Bonusse() { laden(), starten(); }
};

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
        EXPECT_TRUE(m.Bonus(1) == (neu ? bild : m.Bonus(0)) && m.lblPunkte.Hinten == neu);
        EXPECT_EQ(bonus(1), (neu ? Flug{1740, 400, 60, 40, true} : Flug{})); // 360 + 0.25 * 5280 + 60; 360 + 20 + 20
        EXPECT_EQ(zufall.gezogen, neu ? 6 : 1);
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
        {"reaching the left wall", 2640, 100, {420, 1000, -30, 0, true}, {390, 1020, -30, 20, true}, 100},
        {"right wall", 2640, 100, {5540, 1000, 60, 0, true}, {5620, 1020, -60, 20, true}, 100},
        {"reaching the right wall", 2640, 100, {5520, 1000, 60, 0, true}, {5580, 1020, 60, 20, true}, 100},
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

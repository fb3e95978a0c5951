// Bonuses: the random spawn, the kinds, falling, catching, loss, the side
// walls and the three effects.
#include "Spielaufbau.h"

namespace qmb::test {
namespace {

class Bonusse : public Spielfeld {
protected:
    void SetUp() override { starten(); }
    // Punkte set without putting balls anywhere near the pad.
    void punkte(int16_t p) { form.Punkte = p; }
};

TEST_F(Bonusse, ErscheintBeiDreihundertneunundsechzig) {
    struct Fall {
        int16_t punkte;
        float r;
        bool neu;
    };
    const Fall fälle[] = {
        {6, 369.0f / 370.0f, true},
        {7, 369.0f / 370.0f, false},
        {7, 369.0f / 450.0f, true},
        {6, 369.0f / 450.0f, false},
        // r x N is taken in single precision: these lie a hair inside the
        // window in double precision and exactly on its excluded ends in single.
        {6, 0x1.ff4eep-1f, false},   // 369.4999981 -> 369.5 -> 370
        {7, 0x1.a34568p-1f, false},  // 368.5000062 -> 368.5 -> 368
        {6, 0.0f, false},
    };
    for (const Fall& f : fälle) {
        SCOPED_TRACE(std::to_string(f.punkte) + " " + std::to_string(f.r));
        punkte(f.punkte);
        zufall.werte = {f.r};
        form.tmrBonusse_Timer();
        EXPECT_EQ(bonusseImSpiel(), f.neu ? 1 : 0);
        form.BonusDaten[1] = form.LeerDaten;
        form.Bonus(1).Visible = false;
    }
}

TEST_F(Bonusse, NeuerBonusAnDerOberenWandFälltSchonImErstenTakt) {
    // Spawn, then left, vx, vy and kind, then the bonus's own draw in the tick.
    zufall.werte = {369.0f / 370.0f, 0.25f, 0.75f, 0.5f, 0.5f, 0.1f};
    form.lblPunkte.Hinten = false;
    form.tmrBonusse_Timer();
    EXPECT_EQ(zufall.gezogen, 6);
    ASSERT_NE(form.BonusDaten[1].Aktiv, 0);
    const Bild& b = form.Bonus(1);
    EXPECT_TRUE(b.Visible);
    EXPECT_EQ(form.BonusDaten[1].vx, 60);      // 0.75 * 240 - 120
    EXPECT_EQ(form.BonusDaten[1].vy, 20 + 20); // 0.5 * 40, then gravity
    EXPECT_EQ(b.Top, 400.0f);                  // 360 + 20 + 20
    EXPECT_EQ(b.Left, 1680.0f + 60.0f);        // 360 + 0.25 * 5280, then the move
    EXPECT_EQ(b.Tag, "1");
    EXPECT_EQ(b.Picture, Motiv::BonusMitBall);
    EXPECT_TRUE(form.lblPunkte.Hinten);
}

TEST_F(Bonusse, ArtAusDemZufall) {
    const struct {
        int16_t typ;
        float r;
        const char* art;
        Motiv bild;
    } fälle[] = {
        {-1, 0.25f, "0", Motiv::BonusseBonus}, {-1, 0.2499f, "0", Motiv::BonusseBonus},
        {-1, 0.2501f, "1", Motiv::BonusMitBall}, {-1, 0.75f, "2", Motiv::BonusMuni},
        {-2, 0.5f, "2", Motiv::BonusMuni},     {-2, 0.4999f, "1", Motiv::BonusMitBall},
        {-2, 0.0f, "1", Motiv::BonusMitBall},  {2, 0.9f, "2", Motiv::BonusMuni},
    };
    for (const auto& f : fälle) {
        SCOPED_TRACE(std::to_string(f.typ) + " " + std::to_string(f.r));
        zufall.werte = {f.r};
        zufall.gezogen = 0;
        form.BonusErstellen(f.typ, 1000, 2000, 10, 10);
        EXPECT_EQ(zufall.gezogen, f.typ < 0 ? 1 : 0);
        EXPECT_EQ(form.Bonus(1).Tag, f.art);
        EXPECT_EQ(form.Bonus(1).Picture, f.bild);
        EXPECT_EQ(form.Bonus(1).Top, 1000.0f);
        EXPECT_EQ(form.Bonus(1).Left, 2000.0f);
        EXPECT_EQ(form.BonusDaten[1], (Flugdaten{10, 10, WAHR}));
        form.BonusDaten[1] = form.LeerDaten;
    }
}

TEST_F(Bonusse, KeinBonusOhneSpielUndHöchstensZehn) {
    for (int i = 1; i <= 10; ++i) form.BonusErstellen(2, 1000, 400 * i, 5, 5);
    EXPECT_EQ(bonusseImSpiel(), 10);
    zufall.gezogen = 0;
    form.BonusErstellen(-1, 0, 0, 0, 0);
    EXPECT_EQ(zufall.gezogen, 0) << "no free slot: nothing is drawn";

    form.SpielEnde();
    form.BonusErstellen(2, 1000, 2000, 5, 5);
    form.BonusErstellen(-1, 0, 0, 0, 0);
    EXPECT_EQ(bonusseImSpiel(), 0);
    for (int i = 1; i <= 10; ++i) EXPECT_FALSE(form.Bonus(i).Visible);
}

TEST_F(Bonusse, GenauAufPadhöheOderKanteAnKanteWirdNichtGefangen) {
    bonus(1, 2, 3000, 6200, 0, 20);    // falls 40 to 6240: bottom edge level with the pad's top
    bonus(2, 2, 2300, 6300, -20, 0);   // moves to 2280: its right edge touches the pad's left edge
    bonus(3, 2, 3820, 6300, 0, 0);     // 3820 + 360 > 3840 > 3820: overlaps by 20 at the right end
    form.tmrBonusse_Timer();
    EXPECT_NE(form.BonusDaten[1].Aktiv, 0);
    EXPECT_EQ(form.Bonus(1).Top, 6240.0f);
    EXPECT_NE(form.BonusDaten[2].Aktiv, 0);
    EXPECT_EQ(form.Bonus(2).Left, 2280.0f);
    EXPECT_EQ(form.BonusDaten[3].Aktiv, 0);
    EXPECT_EQ(form.Munition, 150);
}

TEST_F(Bonusse, SinkenderBonusWirdSpätNochGefangen) {
    bonus(1, 2, 1000, 6250, 0, 0);
    form.tmrBonusse_Timer(); // bottom 6630: below the pad's top, beside the pad
    form.tmrBonusse_Timer(); // bottom 6670
    ASSERT_NE(form.BonusDaten[1].Aktiv, 0);
    form.Pad.Left = 600;
    form.tmrBonusse_Timer(); // bottom 6730, below the pad's bottom edge, but now over it
    EXPECT_EQ(form.BonusDaten[1], form.LeerDaten);
    EXPECT_EQ(form.Munition, 150);
    EXPECT_EQ(form.lblPunkte.Caption, label(1, 1, 150));
    EXPECT_FALSE(form.Bonus(1).Visible);
    EXPECT_EQ(form.Bonus(1).Left, 0.0f);
    EXPECT_EQ(form.Bonus(1).Top, 0.0f);
}

TEST_F(Bonusse, UnterDerPadunterkanteVerloren) {
    bonus(1, 2, 1000, 6250, 0, 0);
    for (int t = 0; t < 2; ++t) form.tmrBonusse_Timer();
    ASSERT_NE(form.BonusDaten[1].Aktiv, 0);
    form.tmrBonusse_Timer();
    EXPECT_EQ(form.BonusDaten[1], form.LeerDaten);
    EXPECT_FALSE(form.Bonus(1).Visible);
    EXPECT_EQ(form.Bonus(1).Left, 0.0f);
    EXPECT_EQ(form.Munition, 100);
}

TEST_F(Bonusse, SeitenwändeSchauenEinenSchrittVoraus) {
    bonus(1, 2, 400, 1000, -30, 0); // moves to 370; 340 would cross the left wall
    bonus(2, 2, 5540, 1000, 60, 0); // moves to 5600; 5600 + 360 + 60 > 6000
    form.tmrBonusse_Timer();
    EXPECT_EQ(form.Bonus(1).Left, 380.0f);
    EXPECT_EQ(form.BonusDaten[1].vx, 30);
    EXPECT_EQ(form.Bonus(2).Left, 5620.0f); // 2 * 5640 - 5600 - 60
    EXPECT_EQ(form.BonusDaten[2].vx, -60);
}

TEST_F(Bonusse, MunitionPlusFünfzigBleibtImSechzehnBitBereich) {
    form.Munition = 32750;
    bonus(1, 2, 3000, 6300, 0, 0);
    form.tmrBonusse_Timer();
    EXPECT_EQ(form.Munition, 32767);
    bonus(1, 2, 3000, 6300, 0, 0);
    form.tmrBonusse_Timer();
    EXPECT_EQ(form.Munition, 32767) << "saturated, not wrapped to a negative count";
    EXPECT_EQ(form.lblPunkte.Caption, label(1, 1, 32767));
}

TEST_F(Bonusse, FünfBälleVomPadAus) {
    bälle(40);
    bonus(4, 1, 2900, 6300, 0, 0);
    zufall.werte = {0.5f, 0.5f, 0.0f, 0.0f, 0.999f, 0.999f};
    form.lblPunkte.Hinten = false;
    form.tmrBonusse_Timer();
    EXPECT_EQ(form.Punkte, 45);
    EXPECT_EQ(form.Rekord, 45);
    EXPECT_EQ(form.lblPunkte.Caption, label(45, 45, 100));
    EXPECT_TRUE(form.lblPunkte.Hinten);
    for (int i = 41; i <= 45; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(form.BallDaten[static_cast<size_t>(i)].Aktiv, 0);
        EXPECT_TRUE(form.Ball(i).Visible);
        EXPECT_EQ(form.Ball(i).Top, 6240.0f);
        EXPECT_EQ(form.Ball(i).Left, 2900.0f);
    }
    EXPECT_EQ(form.BallDaten[41].vy, -720); // 0 * 360 - 720
    EXPECT_EQ(form.BallDaten[41].vx, -120);
    EXPECT_EQ(form.BallDaten[42].vy, -360); // 0.999 * 360 - 720 = -360.36
    EXPECT_EQ(form.BallDaten[42].vx, 120);
    EXPECT_EQ(form.BallDaten[43].vy, -540);
    EXPECT_EQ(form.BallDaten[43].vx, 0);
    EXPECT_EQ(form.BonusDaten[4], form.LeerDaten);
}

TEST_F(Bonusse, FünfBälleBeiFünfundneunzigGewinnenÜberDenPunktestand) {
    bälle(95);
    bonus(1, 1, 2900, 6300, 0, 0);
    bonus(2, 2, 1000, 1000, 10, 0);
    form.tmrBonusse_Timer();
    EXPECT_EQ(zufall.gezogen, 2 + 10);
    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0].second, 100);
    EXPECT_FALSE(form.SpielLäuft);
    // The tick ended with the game: the second bonus was not moved any more.
    EXPECT_EQ(form.Bonus(2).Left, 0.0f);
    EXPECT_EQ(form.Bonus(2).Top, 0.0f);
    EXPECT_EQ(bonusseImSpiel(), 0);
}

TEST_F(Bonusse, FünfBälleBeiSechsundneunzigGewinnenBeimFünftenBall) {
    bälle(96);
    bonus(1, 1, 2900, 6300, 0, 0);
    int16_t punkteBeimSieg = -1;
    fenster.beiDialog = [&](const Dialog&) {
        if (punkteBeimSieg < 0) punkteBeimSieg = static_cast<int16_t>(bälleImSpiel());
    };
    form.tmrBonusse_Timer();
    EXPECT_EQ(zufall.gezogen, 2 + 8) << "four balls were made";
    ASSERT_EQ(fenster.nur(Dialog::InputBox).size(), 1u);
    EXPECT_EQ(fenster.nur(Dialog::InputBox)[0].titel, "MAXIMALANZAHL");
    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0].second, 100);
    EXPECT_EQ(punkteBeimSieg, 0) << "the field was cleared before the first dialogue";
    EXPECT_FALSE(form.SpielLäuft);
}

TEST_F(Bonusse, ZweiWeitereBonusseWerdenHochgeworfen) {
    bonus(1, 0, 3000, 6300, 0, 0); // caught at 6320
    // Spawn, own draw; then per new bonus: speed u, vx, kind.
    zufall.werte = {0.0f, 0.0f, 0.0f, 0.5f, 0.2f, 1.0f - 0x1p-24f, 0.0f, 0.9f};
    form.tmrBonusse_Timer();
    EXPECT_EQ(form.BonusDaten[1], form.LeerDaten) << "the caught bonus is freed";
    ASSERT_NE(form.BonusDaten[2].Aktiv, 0);
    ASSERT_NE(form.BonusDaten[3].Aktiv, 0);
    // Slot 2: u = 250, vx = 0, kind 1; then its own gravity and move in this tick.
    EXPECT_EQ(form.Bonus(2).Tag, "1");
    EXPECT_EQ(form.BonusDaten[2].vy, -250 + 20);
    EXPECT_EQ(form.BonusDaten[2].vx, 0);
    EXPECT_EQ(form.Bonus(2).Top, 6080.0f - 230.0f);
    EXPECT_EQ(form.Bonus(2).Left, 3000.0f);
    // Slot 3: u = 500, vx = -120, kind 2.
    EXPECT_EQ(form.Bonus(3).Tag, "2");
    EXPECT_EQ(form.BonusDaten[3].vy, -500 + 20);
    EXPECT_EQ(form.BonusDaten[3].vx, -120);
    EXPECT_EQ(form.Bonus(3).Top, 6080.0f - 480.0f);
    EXPECT_EQ(form.Bonus(3).Left, 2880.0f);
}

TEST_F(Bonusse, WeitereBonusseNurSoVieleWieSlotsFreiSind) {
    for (int belegt : {9, 10}) {
        SCOPED_TRACE(belegt);
        for (int i = 2; i <= 10; ++i) form.BonusDaten[static_cast<size_t>(i)] = form.LeerDaten;
        bonus(1, 0, 3000, 6300, 0, 0);
        for (int i = 2; i <= belegt; ++i) bonus(i, 2, 400 * i, 1000, 0, 0);
        form.tmrBonusse_Timer();
        EXPECT_EQ(form.BonusDaten[1], form.LeerDaten);
        // Nine: the caught one leaves and one further bonus takes slot 10.
        // Ten: no slot is free while the caught one still holds its own.
        EXPECT_EQ(bonusseImSpiel(), 9);
        if (belegt == 9) {
            EXPECT_NE(form.BonusDaten[10].Aktiv, 0);
            EXPECT_EQ(form.Bonus(10).Left, 3000.0f);
        }
    }
}

} // namespace
} // namespace qmb::test

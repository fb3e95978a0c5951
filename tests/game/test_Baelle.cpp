// The ball timer: gravity, the pad, the ceiling, the side walls, division and loss.
#include <cmath>

#include "Spielaufbau.h"

namespace qmb::test {
namespace {

using Ballflug = Spielfeld;

TEST_F(Ballflug, FälltUnterDerSchwerkraft) {
    starten(0.5f); // r 0.5 gives 0.5 * 241 - 120 = 0.5, which rounds to the even 0
    ASSERT_EQ(form.BallDaten[1].vx, 0);
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, 17);
    EXPECT_EQ(form.Ball(1).Top, 737.0f);
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, 34);
    EXPECT_EQ(form.Ball(1).Top, 771.0f);
    EXPECT_EQ(form.Ball(1).Left, 3060.0f);
}

TEST_F(Ballflug, PadFängtTeiltUndDerZwillingInHöheremPlatzFliegtSchonMit) {
    starten();
    ASSERT_EQ(form.Pad.Left, 2640.0f);
    ball(1, 3060, 6300, 0, 300);
    zufall.werte = {0.0f}; // k = -15: -317 - 15 = -332 is fast enough, no second draw
    form.tmrBälle_Timer();

    EXPECT_EQ(form.Ball(1).Top, 6103.0f); // 6360 - (317 - 60)
    EXPECT_EQ(form.Ball(1).Left, 3060.0f);
    EXPECT_EQ(form.BallDaten[1].vy, -332);
    EXPECT_EQ(form.BallDaten[1].vx, -12); // (3180 - 3240) / 5
    EXPECT_EQ(zufall.gezogen, 1);

    // The twin took slot 2 and, lying above slot 1, moved in the same tick.
    EXPECT_NE(form.BallDaten[2].Aktiv, 0);
    EXPECT_TRUE(form.Ball(2).Visible);
    EXPECT_EQ(form.BallDaten[2].vy, -332 + 17);
    EXPECT_EQ(form.BallDaten[2].vx, 12);
    EXPECT_EQ(form.Ball(2).Top, 6103.0f - 315.0f);
    EXPECT_EQ(form.Ball(2).Left, 3072.0f);

    EXPECT_EQ(form.Punkte, 2);
    EXPECT_EQ(form.Rekord, 2);
    EXPECT_EQ(form.lblPunkte.Caption, label(2, 2, 100));
    EXPECT_TRUE(form.lblPunkte.Hinten);
}

TEST_F(Ballflug, ZwillingInNiedrigeremPlatzWartetAufDenNächstenTakt) {
    starten();
    ballWeg(1);
    ball(3, 3060, 6300, 0, 300);
    ball(2, 1000, 1000, 0, 0);
    zufall.werte = {0.0f};
    form.tmrBälle_Timer();
    ASSERT_NE(form.BallDaten[1].Aktiv, 0); // the lowest free slot
    EXPECT_EQ(form.Ball(1).Top, 6103.0f);
    EXPECT_EQ(form.Ball(1).Left, 3060.0f);
    EXPECT_EQ(form.BallDaten[1].vy, -332);
    EXPECT_EQ(form.BallDaten[1].vx, 12);
    EXPECT_EQ(form.Punkte, 3);
}

TEST_F(Ballflug, ZuLangsamerRückprallWirdNeuGezogen) {
    starten();
    // k = round(0.6 * 70 - 15) = 27: -317 + 27 = -290 is not above -290 and stays.
    ball(1, 3060, 6300, 0, 300);
    zufall.werte = {0.6f};
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, -290);
    EXPECT_EQ(zufall.gezogen, 1);

    // k = round(28.75) = 29 gives -288, too slow: a fresh -(250 + 0.5 * 100).
    ballWeg(2);
    ball(1, 3060, 6300, 0, 300);
    zufall.gezogen = 0;
    zufall.werte = {0.625f, 0.5f};
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, -300);
    EXPECT_EQ(zufall.gezogen, 2);
}

TEST_F(Ballflug, PowerPadWirftHöher) {
    starten();
    form.Form_KeyDown(vbKeySpace, 0);
    ASSERT_TRUE(form.PowerPad);
    ball(1, 3060, 6300, 0, 300);
    zufall.werte = {0.999f}; // k = 55, doubled and reversed: -317 - 110
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, -427);

    // k = -15 now adds 30 and leaves -287, too slow: drawn afresh.
    ballWeg(2);
    ball(1, 3060, 6300, 0, 300);
    zufall.werte = {0.0f, 0.0f};
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, -250);
}

TEST_F(Ballflug, RechtsVonDerMitteGetroffenLenktNachRechts) {
    starten();
    ball(1, 3660, 6300, 10, 300); // centre 3780, pad centre 3240: +108
    zufall.werte = {0.0f};
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vx, 118);
    EXPECT_EQ(form.Ball(1).Left, 3660.0f); // no horizontal move in the tick of the bounce
}

TEST_F(Ballflug, MitteGenauÜberDerPadkanteWirdNichtGefangen) {
    starten();
    ball(2, 1000, 1000, 0, 0);
    for (float left : {2520.0f, 3720.0f}) { // centre on the left edge 2640, on the right edge 3840
        SCOPED_TRACE(left);
        ball(1, left, 6300, 0, 300);
        zufall.gezogen = 0;
        form.tmrBälle_Timer();
        EXPECT_EQ(zufall.gezogen, 0);
        EXPECT_EQ(form.Ball(1).Top, 6617.0f); // fell past the pad's top edge
        EXPECT_EQ(form.Punkte, 2);
        form.tmrBälle_Timer();
        EXPECT_EQ(form.BallDaten[1].Aktiv, 0) << "lost on the next tick";
        EXPECT_FALSE(form.Ball(1).Visible);
        EXPECT_EQ(form.Ball(1).Left, 0.0f);
        EXPECT_EQ(form.Ball(1).Top, 0.0f);
        EXPECT_EQ(form.Punkte, 1);
        EXPECT_EQ(form.lblPunkte.Caption, label(1, 2, 100));
    }
}

TEST_F(Ballflug, EinTaktGnadeFürDenBallNebenDemPad) {
    starten();
    ball(2, 5000, 1000, 0, 0);
    ball(1, 1000, 6300, 0, 100); // beside the pad: 6300 + 240 + 117 > 6600, centre 1120
    form.tmrBälle_Timer();
    ASSERT_NE(form.BallDaten[1].Aktiv, 0);
    ASSERT_EQ(form.Ball(1).Top, 6417.0f); // its bottom edge is now below the pad's top edge

    // The pad arrives under its centre in time: caught after all.
    form.Pad.Left = 600;
    zufall.werte = {0.0f};
    form.tmrBälle_Timer();
    EXPECT_EQ(form.Ball(1).Top, 6169.0f); // 6360 - (134 - (6600 - 6657))
    EXPECT_EQ(form.Punkte, 3);
}

TEST_F(Ballflug, OhnePadImNächstenTaktVerloren) {
    starten();
    ball(2, 5000, 1000, 0, 0);
    ball(1, 1000, 6300, 0, 100);
    form.tmrBälle_Timer();
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1], form.LeerDaten);
    EXPECT_FALSE(form.Ball(1).Visible);
    EXPECT_EQ(form.Punkte, 1);
    EXPECT_TRUE(form.SpielLäuft);
}

TEST_F(Ballflug, DeckeHalbiertUndDrehtMitRundungZurGeradenZahl) {
    starten();
    ball(1, 3000, 400, 0, -318); // -301 after gravity
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, 150); // 150.5 goes to the even 150
    EXPECT_EQ(form.Ball(1).Top, 620.0f);  // 150 - 40 + 360 = 470, then the move

    ball(1, 3000, 400, 0, -320); // -303 after gravity
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, 152); // 151.5 goes to the even 152
    EXPECT_EQ(form.Ball(1).Top, 624.0f);

    // A ball on its way down is not turned, however high it is.
    ball(1, 3000, 340, 0, 0);
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vy, 17);
    EXPECT_EQ(form.Ball(1).Top, 357.0f);
}

TEST_F(Ballflug, SeitenwändeSpiegelnVorausschauend) {
    starten();
    ball(1, 500, 3000, -100, 0); // reaches 400; the next step to 300 would cross 360
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vx, 100);
    EXPECT_EQ(form.Ball(1).Left, 420.0f);

    ball(1, 5600, 3000, 100, 0); // reaches 5700; 5700 + 240 + 100 > 6000
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vx, -100);
    EXPECT_EQ(form.Ball(1).Left, 5720.0f);

    // Exactly reaching the wall line is not crossing it.
    ball(1, 5560, 3000, 100, 0); // reaches 5660; 5660 + 240 + 100 = 6000
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vx, 100);
    EXPECT_EQ(form.Ball(1).Left, 5660.0f);
}

TEST_F(Ballflug, NurEineWandJeTakt) {
    starten();
    // So fast that the mirror at the left wall lands beyond the right one:
    // the right wall is not looked at in the same tick.
    ball(1, 6400, 3000, -6000, 0);
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vx, 6000);
    EXPECT_EQ(form.Ball(1).Left, 6320.0f); // 6000 - (400 - 360) + 360
    form.tmrBälle_Timer();
    EXPECT_EQ(form.BallDaten[1].vx, -6000);
}

TEST_F(Ballflug, VergleichtInEinfacherGenauigkeit) {
    starten();
    ball(2, 5000, 1000, 0, 0);
    // With the pad's left edge at 4096, a ball at 3976 + 2^-12 has its centre
    // 2^-12 right of the edge in double precision; in single precision, where
    // the spacing above 4096 is 2^-11, the centre rounds to exactly 4096.
    form.Pad.Left = 4096;
    const float left = std::nextafter(3976.0f, 5000.0f);
    ASSERT_GT(static_cast<double>(left) + 120.0, 4096.0);
    ball(1, left, 6300, 0, 300);
    form.tmrBälle_Timer();
    EXPECT_EQ(form.Punkte, 2) << "the centre on the pad's edge is not inside the pad";
    EXPECT_EQ(form.Ball(1).Top, 6617.0f);
}

TEST_F(Ballflug, DerLetzteVerloreneBallBeendetDasSpielImSelbenTakt) {
    starten();
    liste.füllen(50); // a best of 1 does not enter
    ball(1, 500, 6400, 0, 0); // beside the pad, already below its top edge
    form.tmrBälle_Timer();
    EXPECT_FALSE(form.SpielLäuft);
    EXPECT_FALSE(einSpielTimerLäuft());
    EXPECT_EQ(form.Punkte, 0);
    EXPECT_EQ(form.Rekord, 0);
    ASSERT_EQ(fenster.nur(Dialog::MsgBox).size(), 1u);
    EXPECT_EQ(fenster.nur(Dialog::Fenster).size(), 1u);
}

TEST_F(Ballflug, DerHundertsteBallGewinntUndNichtsBewegtSichDanach) {
    starten();
    bälle(99);
    ball(1, 3060, 6300, 0, 300);
    zufall.werte = {0.0f};
    form.tmrBälle_Timer();

    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0], std::make_pair(std::string("Velmora"), int16_t{100}));
    EXPECT_FALSE(form.SpielLäuft);
    EXPECT_EQ(bälleImSpiel(), 0);
    // The tick ended with the game: no ball was moved after the field was cleared.
    for (int i = 1; i <= 100; ++i) {
        EXPECT_EQ(form.Ball(i).Left, 0.0f) << i;
        EXPECT_EQ(form.Ball(i).Top, 0.0f) << i;
        EXPECT_FALSE(form.Ball(i).Visible) << i;
    }
}

TEST_F(Ballflug, VolleSlotsBeimTeilenGewinnenDasSpiel) {
    starten();
    bälle(100);
    form.Punkte = 99; // the count lags behind the full slot array
    ball(1, 3060, 6300, 0, 300);
    zufall.werte = {0.0f};
    form.tmrBälle_Timer();
    const auto fragen = fenster.nur(Dialog::InputBox);
    ASSERT_EQ(fragen.size(), 1u);
    EXPECT_EQ(fragen[0].titel, "MAXIMALANZAHL");
    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0].second, 100);
    EXPECT_FALSE(form.SpielLäuft);
}

} // namespace
} // namespace qmb::test

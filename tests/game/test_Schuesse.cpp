// The guns and the shots: cadence, alternation, flight, hits and division.
#include "Spielaufbau.h"

namespace qmb::test {
namespace {

class Schüsse : public Spielfeld {
protected:
    // The first ball stays where it started, clear of both guns' lines.
    void SetUp() override { starten(); }
    // Runs shot ticks and notes, for every shot fired, the tick and its gun
    // (the new shot is the one at 6290: created at 6530 and moved once).
    std::vector<std::pair<int, float>> feuern(int takte, int ab = 1) {
        std::vector<std::pair<int, float>> gefeuert;
        for (int t = ab; t < ab + takte; ++t) {
            const int16_t vorher = form.Munition;
            form.tmrSchüsse_Timer();
            if (form.Munition == vorher) continue;
            for (int s : schüsse())
                if (form.Schuss(s).Top == 6290.0f) gefeuert.emplace_back(t, form.Schuss(s).Left);
        }
        return gefeuert;
    }
    // Loads a shot by hand at the given place.
    void schuss(int n, float left, float top) {
        ASSERT_TRUE(form.Schuss.Load(n));
        form.Schuss(n).Left = left;
        form.Schuss(n).Top = top;
        form.Schuss(n).Visible = true;
    }
};

TEST_F(Schüsse, DreiSchussAmErstenAchtenUndFünfzehntenTaktAbwechselnd) {
    form.Munition = 3;
    form.Form_KeyDown(vbKeyControl, 0);
    const auto schüsse = feuern(30);
    EXPECT_EQ(schüsse, (std::vector<std::pair<int, float>>{{1, 2640.0f}, {8, 3770.0f}, {15, 2640.0f}}));
    EXPECT_EQ(form.Munition, 0);
    EXPECT_EQ(form.lblPunkte.Caption, label(1, 1, 0));
    EXPECT_TRUE(form.RechtesGewehr) << "the next shot would leave from the right";
}

TEST_F(Schüsse, NachDemNachfüllenGehtDerTaktWeiter) {
    form.Munition = 3;
    form.Form_KeyDown(vbKeyUp, 0);
    feuern(20);
    ASSERT_EQ(form.Munition, 0);
    EXPECT_EQ(form.SchussTakt, 1) << "the counter stands still without ammunition";

    // An ammunition bonus caught on the pad, fire still held.
    bonus(1, 2, 3000, 6300, 0, 0);
    form.tmrBonusse_Timer();
    ASSERT_EQ(form.Munition, 50);
    const auto schüsse = feuern(10, 1);
    ASSERT_FALSE(schüsse.empty());
    EXPECT_EQ(schüsse[0].first, 7);
    EXPECT_EQ(schüsse[0].second, 3770.0f);
}

TEST_F(Schüsse, NeuerDruckFeuertSofortAutoWiederholungNicht) {
    form.Munition = 10;
    form.Form_KeyDown(vbKeyC, 0);
    feuern(3);
    form.Form_KeyDown(vbKeyC, 0); // auto-repeat: the cadence runs on
    EXPECT_EQ(feuern(4, 4), (std::vector<std::pair<int, float>>{}));
    EXPECT_EQ(feuern(1, 8).size(), 1u);

    form.Form_KeyUp(vbKeyC, 0);
    form.Form_KeyDown(vbKeyC, 0); // a fresh press
    EXPECT_EQ(feuern(1).size(), 1u);

    // The left mouse button always starts anew, even with fire held.
    feuern(2);
    form.Form_MouseDown(vbLeftButton, 0, 100, 100);
    EXPECT_EQ(feuern(1).size(), 1u);
    form.Form_MouseUp(vbLeftButton, 0, 100, 100);
    EXPECT_FALSE(form.Schießen) << "releasing any fire input stops firing";
    EXPECT_TRUE(feuern(10).empty());
}

TEST_F(Schüsse, FlugbahnBisHinterDieObereWand) {
    form.Munition = 1;
    form.Form_MouseDown(vbLeftButton, 0, 0, 0);
    form.tmrSchüsse_Timer();
    ASSERT_EQ(schüsse(), std::vector<int>{1});
    EXPECT_EQ(form.Schuss(1).Top, 6290.0f);
    EXPECT_EQ(form.Schuss(1).Left, 2640.0f);
    EXPECT_TRUE(form.Schuss(1).Visible);
    EXPECT_EQ(form.Schuss(1).Width, 70.0f);
    for (int t = 2; t <= 25; ++t) form.tmrSchüsse_Timer();
    ASSERT_EQ(schüsse(), std::vector<int>{1});
    EXPECT_EQ(form.Schuss(1).Top, 530.0f);
    form.tmrSchüsse_Timer(); // the 26th tick: 290 is above the top wall
    EXPECT_TRUE(schüsse().empty());
    EXPECT_EQ(form.Munition, 0);
}

TEST_F(Schüsse, TreffenNurMitEchterÜberlappung) {
    struct Fall {
        float left, top;
        bool trifft;
    };
    // The shot stands at left 3000, top 6290 after its move (70 x 70).
    const Fall fälle[] = {
        {2900, 6050, false}, // ball bottom 6290 meets the shot's top edge
        {2900, 6051, true},  // one twip of overlap
        {2760, 6200, false}, // ball right edge 3000 meets the shot's left edge
        {2761, 6200, true},
        {3070, 6200, false}, // shot right edge 3070 meets the ball's left edge
        {2900, 6360, false}, // shot bottom 6360 meets the ball's top edge
        {2900, 6359, true},
    };
    for (const Fall& f : fälle) {
        SCOPED_TRACE(std::to_string(f.left) + "," + std::to_string(f.top));
        ball(2, f.left, f.top, 30, -100);
        schuss(1, 3000, 6530);
        const int16_t punkte = form.Punkte;
        form.tmrSchüsse_Timer();
        EXPECT_EQ(form.Punkte, punkte + (f.trifft ? 1 : 0));
        EXPECT_EQ(schüsse().empty(), f.trifft);
        form.Schuss.Unload(1);
        if (f.trifft) ballWeg(3);
    }
}

TEST_F(Schüsse, TeiltNurDenBallImNiedrigerenSlot) {
    ball(3, 2950, 6100, 40, -200);
    ball(2, 2980, 6150, -25, 90);
    schuss(1, 3000, 6530);
    form.tmrSchüsse_Timer();
    ASSERT_NE(form.BallDaten[4].Aktiv, 0);
    EXPECT_TRUE(form.Ball(4).Visible);
    EXPECT_EQ(form.Ball(4).Left, 2980.0f);
    EXPECT_EQ(form.Ball(4).Top, 6150.0f);
    EXPECT_EQ(form.BallDaten[4].vx, 25);
    EXPECT_EQ(form.BallDaten[4].vy, 90);
    EXPECT_EQ(form.BallDaten[2], (Flugdaten{-25, 90, WAHR})) << "the hit ball flies on unchanged";
    EXPECT_EQ(form.BallDaten[5].Aktiv, 0) << "ball 3 was not divided";
    EXPECT_EQ(form.Punkte, 4);
    EXPECT_EQ(form.Rekord, 4);
    EXPECT_EQ(form.lblPunkte.Caption, label(4, 4, 100));
    EXPECT_TRUE(schüsse().empty());
}

TEST_F(Schüsse, FreieNummernWerdenWiederverwendet) {
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(form.GetFreeSchussNumber(), n);
        form.Schuss.Load(n);
    }
    form.Schuss.Unload(2);
    EXPECT_EQ(form.GetFreeSchussNumber(), 2);

    // In play: the right gun's shot hits a ball early; the next shot takes its number.
    form.Schuss.Unload(1);
    for (int n = 3; n <= 5; ++n) form.Schuss.Unload(n);
    ball(2, 3700, 5800, 0, 0);
    form.Munition = 10;
    form.Form_KeyDown(vbKeyControl, 0);
    for (int t = 1; t <= 14; ++t) form.tmrSchüsse_Timer();
    ASSERT_EQ(schüsse(), std::vector<int>{1});
    EXPECT_EQ(form.Punkte, 3);
    form.tmrSchüsse_Timer();
    EXPECT_EQ(schüsse(), (std::vector<int>{1, 2}));
    EXPECT_EQ(form.Schuss(2).Top, 6290.0f);
}

TEST_F(Schüsse, JenseitsDerOberenWandTrifftDerSchussNoch) {
    ball(2, 2950, 300, 0, 0);
    schuss(1, 3000, 530); // moves to 290, above the wall line 360
    form.tmrSchüsse_Timer();
    EXPECT_EQ(form.Punkte, 3);
    EXPECT_TRUE(schüsse().empty());
}

TEST_F(Schüsse, TeilungZumSiegBeendetDenFlugSicher) {
    bälle(99);
    ball(50, 2950, 3000, 0, 0);
    schuss(1, 3000, 3240);
    schuss(2, 1000, 5000);
    schuss(3, 5000, 4000);
    form.tmrSchüsse_Timer();
    EXPECT_FALSE(form.SpielLäuft);
    EXPECT_EQ(form.Schuss.Anzahl(), 0);
    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0].second, 100);
    EXPECT_EQ(bälleImSpiel(), 0);
}

TEST_F(Schüsse, OhneFreienSlotWartetDerSchussUndDieAnderenStehen) {
    bälle(100);
    form.Punkte = 99;
    ball(50, 2950, 3000, 0, 0);
    schuss(1, 3000, 3240);
    schuss(2, 1000, 5000);
    form.tmrSchüsse_Timer();
    ASSERT_EQ(schüsse(), (std::vector<int>{1, 2}));
    EXPECT_EQ(form.Schuss(1).Top, 3000.0f);
    EXPECT_EQ(form.Schuss(2).Top, 5000.0f);
    EXPECT_EQ(form.Punkte, 99);
    EXPECT_TRUE(form.SpielLäuft);
}

TEST_F(Schüsse, MunitionWirdNieNegativ) {
    form.Munition = 0;
    form.Form_KeyDown(vbKeyControl, 0);
    for (int t = 0; t < 50; ++t) form.tmrSchüsse_Timer();
    EXPECT_EQ(form.Munition, 0);
    EXPECT_TRUE(schüsse().empty());
    EXPECT_EQ(form.SchussTakt, 0);
}

} // namespace
} // namespace qmb::test

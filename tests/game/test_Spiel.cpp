// Start and end of a game: the values they set, the order around their event
// pumps, and what may come in at those pumps (Esc, a second start, the window
// being closed, timers falling due) without leaving a half-started game.
#include <cmath>

#include "Spielaufbau.h"

namespace qmb::test {
namespace {

using SpielStart = Spielfeld;

// Everything that makes the window "no game".
void erwarteKeinSpiel(Spielaufbau& s) {
    frmMain& f = s.form;
    EXPECT_FALSE(f.SpielLäuft);
    EXPECT_FALSE(s.einSpielTimerLäuft());
    EXPECT_TRUE(f.fraSpielEinstellungen.Visible);
    EXPECT_FALSE(f.Pad.Visible);
    EXPECT_EQ(f.Pad.FillColor, BLAU);
    EXPECT_EQ(f.Pad.BorderColor, BLAU);
    EXPECT_EQ(f.MousePointer, vbArrow);
    EXPECT_TRUE(f.mnuSpielStarten.Visible);
    EXPECT_FALSE(f.mnuSpielbeenden.Visible);
    EXPECT_FALSE(f.mnuPause.Enabled);
    EXPECT_FALSE(f.mnuPause.Checked);
    EXPECT_EQ(f.Caption, TITEL_START);
    EXPECT_EQ(f.lblPunkte.Caption, "");
    EXPECT_EQ(f.Punkte, 0);
    EXPECT_EQ(f.Munition, 0);
    EXPECT_FALSE(f.PowerPad);
    EXPECT_FALSE(f.Schießen);
    EXPECT_EQ(f.SchussTakt, 0);
    EXPECT_FALSE(f.RechtesGewehr);
    EXPECT_FALSE(f.Pausiert);
    EXPECT_EQ(f.PadRichtung, 0);
    EXPECT_EQ(f.Schuss.Anzahl(), 0);
    for (int i = 1; i <= 100; ++i) {
        EXPECT_EQ(f.BallDaten[static_cast<size_t>(i)], f.LeerDaten) << "ball " << i;
        EXPECT_FALSE(f.Ball(i).Visible) << "ball " << i;
        EXPECT_EQ(f.Ball(i).Left, 0.0f) << "ball " << i;
        EXPECT_EQ(f.Ball(i).Top, 0.0f) << "ball " << i;
    }
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(f.BonusDaten[static_cast<size_t>(i)], f.LeerDaten) << "bonus " << i;
        EXPECT_FALSE(f.Bonus(i).Visible) << "bonus " << i;
        EXPECT_EQ(f.Bonus(i).Left, 0.0f) << "bonus " << i;
        EXPECT_EQ(f.Bonus(i).Top, 0.0f) << "bonus " << i;
    }
    if (!s.zeiger.clips.empty()) {
        EXPECT_FALSE(s.zeiger.eingesperrt());
    }
}

// Everything that makes the window "a game has just started".
void erwarteFrischesSpiel(Spielaufbau& s) {
    frmMain& f = s.form;
    EXPECT_TRUE(f.SpielLäuft);
    EXPECT_FALSE(f.fraSpielEinstellungen.Visible);
    EXPECT_EQ(f.Ball(1).Left, 3060.0f);
    EXPECT_EQ(f.Ball(1).Top, 720.0f);
    EXPECT_TRUE(f.Ball(1).Visible);
    EXPECT_EQ(f.BallDaten[1].vy, 0);
    EXPECT_NE(f.BallDaten[1].Aktiv, 0);
    EXPECT_EQ(s.bälleImSpiel(), 1);
    EXPECT_EQ(f.Punkte, 1);
    EXPECT_EQ(f.Rekord, 1);
    EXPECT_EQ(f.Munition, 100);
    EXPECT_EQ(f.lblPunkte.Caption, Spielaufbau::label(1, 1, 100));
    EXPECT_EQ(f.Pad.Left, 2640.0f);
    EXPECT_TRUE(f.Pad.Visible);
    EXPECT_EQ(f.MousePointer, vbCustom);
    EXPECT_TRUE(f.tmrBälle.Enabled());
    EXPECT_TRUE(f.tmrBonusse.Enabled());
    EXPECT_TRUE(f.tmrSchüsse.Enabled());
    EXPECT_TRUE(f.tmrRand.Enabled());
    EXPECT_EQ(f.tmrPad.Enabled(), f.optTastatur.Value);
    EXPECT_FALSE(f.mnuSpielStarten.Visible);
    EXPECT_TRUE(f.mnuSpielbeenden.Visible);
    EXPECT_TRUE(f.mnuPause.Enabled);
    EXPECT_FALSE(f.mnuPause.Checked);
    EXPECT_EQ(f.Caption, TITEL_SPIEL);
    EXPECT_FALSE(f.Schießen);
    EXPECT_EQ(f.SchussTakt, 0);
    EXPECT_FALSE(f.RechtesGewehr);
    EXPECT_FALSE(f.Pausiert);
    EXPECT_EQ(f.PadRichtung, 0);
}

TEST_F(SpielStart, LegtDenErstenBallUndDieZählerFest) {
    form.Pad.Left = 480; // wherever the last game left it
    zufall.werte = {0.0f};
    uhr.sekunden = 45296.25;
    form.cmdLos_Click();
    erwarteFrischesSpiel(*this);
    EXPECT_EQ(form.BallDaten[1].vx, -120);
    ASSERT_FALSE(zufall.saaten.empty());
    EXPECT_EQ(zufall.saaten.back(), 45296.25);
    EXPECT_EQ(zufall.gezogen, 1);
    EXPECT_TRUE(zeiger.eingesperrt());
    EXPECT_EQ(zeiger.clips.back(), (Rechteck{100, 50, 526, 532}));
}

TEST_F(SpielStart, SeitlicheStartgeschwindigkeitRundetZurGeradenZahl) {
    const std::pair<float, int32_t> fälle[] = {{0.5f, 0}, {0.0f, -120}, {std::nextafter(1.0f, 0.0f), 121}};
    for (const auto& [r, vx] : fälle) {
        starten(r);
        EXPECT_EQ(form.BallDaten[1].vx, vx) << r;
        form.SpielEnde();
    }
}

TEST_F(SpielStart, PowerPadVomEinstellungsfeldHältBisZumSpielende) {
    // A PowerPad key held on the settings panel turns the hidden pad red; the
    // start leaves that alone, the next end clears it.
    form.Form_KeyDown(vbKeyShift, 0);
    starten();
    EXPECT_TRUE(form.PowerPad);
    EXPECT_EQ(form.Pad.FillColor, ROT);
    form.mnuSpielbeenden_Click();
    EXPECT_FALSE(form.PowerPad);
    EXPECT_EQ(form.Pad.FillColor, BLAU);
    starten();
    EXPECT_FALSE(form.PowerPad);
}

TEST_F(SpielStart, ReihenfolgeUmDieEreignispausen) {
    std::vector<std::string> gesehen;
    fenster.beiDoEvents = [&](int n) {
        const frmMain& f = form;
        gesehen.push_back(std::to_string(n) + ":" + (f.Ball(1).Visible ? "B" : "b") +
                          (f.BallDaten[1].Aktiv ? "A" : "a") + (f.tmrRand.Enabled() ? "R" : "r") +
                          (f.SpielLäuft ? "L" : "l") + (f.fraSpielEinstellungen.Visible ? "E" : "e") +
                          std::to_string(f.Punkte) + (f.MousePointer == vbCustom ? "Z" : "z") +
                          (zeiger.eingesperrt() ? "K" : "k") + (f.tmrBälle.Enabled() ? "T" : "t") +
                          (f.Pad.Visible ? "P" : "p"));
    };
    form.SpielStarten();
    EXPECT_EQ(gesehen, (std::vector<std::string>{"1:bArlE0zktp", "2:bARLe0zktp", "3:bARLe1ZKtp"}));
}

TEST_F(SpielStart, InDenEreignispausenTicktHöchstensDieMusikuhr) {
    bool drin = false; // the music watch lets events in itself
    fenster.beiDoEvents = [&](int) {
        if (drin) return;
        drin = true;
        takt.vorspulen(5000);
        drin = false;
    };
    form.SpielStarten();
    EXPECT_EQ(form.tmrBälle.Ticks(), 0u);
    EXPECT_EQ(form.tmrBonusse.Ticks(), 0u);
    EXPECT_EQ(form.tmrSchüsse.Ticks(), 0u);
    EXPECT_EQ(form.tmrPad.Ticks(), 0u);
    EXPECT_GT(form.tmrRand.Ticks(), 0u);
    fenster.beiDoEvents = nullptr;
    // The game then runs normally.
    takt.vorspulen(40);
    EXPECT_EQ(form.tmrBälle.Ticks(), 1u);
}

TEST_F(SpielStart, MausModusLässtDenPadTimerAus) {
    starten();
    takt.vorspulen(3000);
    EXPECT_EQ(form.tmrPad.Ticks(), 0u);
    form.SpielEnde();

    form.optTastatur_Click();
    starten();
    EXPECT_TRUE(form.tmrPad.Enabled());
    EXPECT_TRUE(zeiger.clips.empty()) << "keyboard play never confines";
    form.SpielEnde();
    EXPECT_TRUE(zeiger.clips.empty());
}

TEST_F(SpielStart, F2ImSpielÄndertNichts) {
    starten();
    takt.vorspulen(400);
    const float top = form.Ball(1).Top;
    const int gezogen = zufall.gezogen;
    form.mnuSpielStarten_Click();
    form.cmdLos_Click();
    EXPECT_EQ(form.Ball(1).Top, top);
    EXPECT_EQ(zufall.gezogen, gezogen);
    EXPECT_EQ(fenster.doEventsAnzahl, 0) << "a refused start lets no events in";
}

using SpielEndeTest = Spielfeld;

TEST_F(SpielEndeTest, RäumtAllesAufUndBehältDenRekord) {
    starten();
    bälle(7);
    bonus(3, 1, 1000, 1000, 0, 10);
    form.Schuss.Load(1);
    form.Schuss.Load(2);
    form.Form_KeyDown(vbKeyDown, 0);
    form.Form_KeyDown(vbKeyUp, 0);
    form.RechtesGewehr = true;
    form.mnuSpielbeenden_Click();
    erwarteKeinSpiel(*this);
    EXPECT_EQ(form.Rekord, 7);
    EXPECT_TRUE(form.Schuss.Existiert(0));
    EXPECT_EQ(form.Schuss.Grenze(), 1);
    EXPECT_TRUE(fenster.protokoll.empty()) << "ending through the menu says nothing";
    EXPECT_TRUE(mci.befehle.empty()) << "and leaves the music alone";
}

TEST_F(SpielEndeTest, StopptAlleTimerVorDerErstenEreignispause) {
    starten();
    bälle(3);
    std::vector<bool> timerLiefen;
    std::vector<int> punkte;
    fenster.beiDoEvents = [&](int) {
        timerLiefen.push_back(einSpielTimerLäuft());
        punkte.push_back(form.Punkte);
        takt.vorspulen(1000);
    };
    const uint64_t vorher = form.tmrBälle.Ticks();
    form.SpielEnde();
    EXPECT_EQ(timerLiefen, (std::vector<bool>{false, false}));
    EXPECT_EQ(punkte, (std::vector<int>{3, 0}));
    EXPECT_EQ(form.tmrBälle.Ticks(), vorher);
}

TEST_F(SpielEndeTest, OhneEinsperrenWirdDerZeigerNieAngefasst) {
    form.chkMaus.Value = 0;
    starten();
    form.SpielEnde();
    EXPECT_TRUE(zeiger.clips.empty());
    form.chkMaus.Value = 1;
    form.SpielStarten();
    EXPECT_TRUE(zeiger.eingesperrt());
    form.SpielEnde();
    EXPECT_FALSE(zeiger.eingesperrt());
    EXPECT_EQ(zeiger.clips.size(), 2u);
}

// Something comes in at one of the event pumps of the start.
class Dazwischen : public Spielfeld, public ::testing::WithParamInterface<int> {
protected:
    void beiPause(std::function<void()> was) {
        const int punkt = GetParam();
        fenster.beiDoEvents = [this, punkt, was, fertig = false](int n) mutable {
            if (fertig || n != punkt) return;
            fertig = true;
            was();
        };
    }
};

TEST_P(Dazwischen, EscBeendetDenStartGanzOderGarNicht) {
    // F2 right behind Esc, in the same pump: the start being aborted is still
    // unwinding, so the second start is turned away, not run inside it.
    beiPause([this] {
        form.Form_KeyDown(vbKeyEscape, 0);
        form.mnuSpielStarten_Click();
    });
    form.SpielStarten();
    fenster.beiDoEvents = nullptr;
    const auto meldungen = fenster.nur(Dialog::MsgBox);
    if (GetParam() == 1) {
        // Before the game counts as running, Esc has nothing to abort.
        EXPECT_TRUE(meldungen.empty());
        erwarteFrischesSpiel(*this);
    } else {
        ASSERT_EQ(meldungen.size(), 1u);
        EXPECT_EQ(meldungen[0].prompt, "Das Spiel wurde abgebrochen.");
        erwarteKeinSpiel(*this);
        takt.vorspulen(5000);
        EXPECT_EQ(form.tmrBälle.Ticks() + form.tmrBonusse.Ticks() + form.tmrSchüsse.Ticks(), 0u);
        // A new start afterwards is a whole one.
        starten();
        erwarteFrischesSpiel(*this);
    }
}

TEST_P(Dazwischen, ZweiterStartWirdAbgewiesen) {
    beiPause([this] { form.mnuSpielStarten_Click(); });
    zufall.werte = {0.0f, 1.0f};
    form.SpielStarten();
    erwarteFrischesSpiel(*this);
    EXPECT_EQ(form.BallDaten[1].vx, -120);
    EXPECT_EQ(zufall.saaten.size(), 2u) << "one seed at loading, one at the start";
    EXPECT_EQ(fenster.doEventsAnzahl, 3);
}

TEST_P(Dazwischen, GeschlossenesFensterStartetNichtWeiter) {
    beiPause([this] { form.Unload(); });
    form.SpielStarten();
    EXPECT_FALSE(einSpielTimerLäuft());
    EXPECT_FALSE(form.Ball(1).Visible);
    EXPECT_FALSE(form.Pad.Visible);
    takt.vorspulen(5000);
    EXPECT_EQ(form.tmrBälle.Ticks() + form.tmrBonusse.Ticks() + form.tmrSchüsse.Ticks() +
                  form.tmrPad.Ticks() + form.tmrRand.Ticks(),
              0u);
    form.SpielStarten();
    EXPECT_FALSE(einSpielTimerLäuft());
}

INSTANTIATE_TEST_SUITE_P(Ereignispause, Dazwischen, ::testing::Values(1, 2, 3));

TEST_F(SpielEndeTest, ZweitesEndeOderStartWährendDesEndesBleibtOhneWirkung) {
    starten();
    bälle(4);
    fenster.beiDoEvents = [this](int) {
        form.mnuSpielbeenden_Click();
        form.mnuSpielStarten_Click();
        form.Form_KeyDown(vbKeyEscape, 0);
    };
    form.SpielEnde();
    fenster.beiDoEvents = nullptr;
    erwarteKeinSpiel(*this);
    EXPECT_TRUE(fenster.nur(Dialog::MsgBox).empty());
}

} // namespace
} // namespace qmb::test

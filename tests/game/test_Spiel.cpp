// A game from start to end: the whole state a start and an end leave, the
// order around their event pumps and what may come in there, the ways a game
// is won, lost or aborted, and what the player is told then.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "Modell.h"

namespace qmb::test {
namespace {

using Schritte = std::vector<std::string>;

struct Spiel : ::testing::Test, Modell {
    Spiel() { laden(); }
    // Loses the last ball of a game whose best was `rekord`.
    void verlieren(int16_t rekord) {
        starten();
        m.Rekord = rekord;
        letzterBallWeg();
    }
    static std::string öffnen(const std::string& datei) { return "open " + datei + " type MPEGVideo alias qmbscore"; }
};

// A game just started with the draw 0, in mouse mode.
const Stand FRISCH{.titel = "Quambel", .zeiger = vbCustom, .spiel = true, .eingesperrt = true, .einstellungen = false,
                   .f2 = false, .f3 = true, .pauseAn = true, .tmrBälle = true, .tmrBonusse = true, .tmrSchüsse = true,
                   .tmrRand = true,
                   .spielfeld = {.padSichtbar = true, .punkte = 1, .rekord = 1, .munition = 100,
                                 .anzeige = Modell::label(1, 1, 100), .ball1 = {3060, 720, -120, 0, true}, .bälle = 1}};

TEST_F(Spiel, StartUndEnde) {
    EXPECT_STAND(stand(), (Stand{.zeiger = vbDefault, .spielfeld = {.pad = 2520}}));
    zufall.werte = {0.0f};
    uhr.sekunden = 45296.25;
    m.cmdLos_Click();
    EXPECT_STAND(stand(), FRISCH);
    EXPECT_EQ(zufall.saaten.back(), 45296.25);
    EXPECT_EQ(zufall.gezogen, 1);
    EXPECT_EQ(zeiger.clips.back(), (Rechteck{100, 50, 526, 532}));
    ablauf.clear();
    m.mnuSpielStarten_Click(); // F2 in a game is refused and lets no events in
    EXPECT_STAND(stand(), FRISCH);
    EXPECT_TRUE(ablauf.empty());

    // A busy game ends through the menu: everything cleared, the best kept, nothing said.
    bälle(7);
    bonus(3, 1, {1000, 1000, 0, 10});
    m.Schuss.Load(1);
    m.Form_KeyDown(vbKeyDown, 0);
    m.Form_KeyDown(vbKeyUp, 0);
    m.RechtesGewehr = true;
    vergessen();
    m.mnuSpielbeenden_Click();
    EXPECT_STAND(stand(), Stand{.spielfeld = {.rekord = 7}});
    EXPECT_EQ(ablauf, (Schritte{"Zeiger frei", "DoEvents", "DoEvents"}));

    // Keyboard play: the pad timer runs, and the five timers keep their
    // intervals (the music watch every two seconds). That the pointer stays
    // free in keyboard play, the controls tests check.
    m.optTastatur_Click();
    m.cmdLos_Click();
    const uint64_t vorher = m.tmrRand.Ticks();
    takt.vorspulen(2000);
    EXPECT_EQ((std::vector<uint64_t>{m.tmrBälle.Ticks(), m.tmrBonusse.Ticks(), m.tmrSchüsse.Ticks(), m.tmrPad.Ticks(),
                                     m.tmrRand.Ticks() - vorher}),
              (std::vector<uint64_t>{50, 50, 66, 133, 1}));
    m.SpielEnde();
    // The pad, left standing in the middle, caught the first ball once.
    EXPECT_STAND(stand(), (Stand{.steuerart = "Tastatur", .mausHaken = false, .mausHakenAn = false, .spielfeld = {.rekord = 2}}));
}

TEST_F(Spiel, SeitlicheStartgeschwindigkeitRundetZurGeradenZahl) {
    for (const auto& [r, vx] : {std::pair{0.5f, 0}, {0.0f, -120}, {std::nextafter(1.0f, 0.0f), 121}}) {
        starten(r);
        EXPECT_EQ(m.BallDaten[1].vx, vx) << r;
        m.SpielEnde();
    }
}

// What the window looks like at each event pump of a start; timers falling
// due there do not tick, but for the music watch.
TEST_F(Spiel, ReihenfolgeUmDieEreignispausen) {
    std::vector<Stand> gesehen;
    bool drin = false; // the music watch lets events in itself
    fenster.beiDoEvents = [&](int) {
        if (drin) return;
        drin = true;
        gesehen.push_back(stand());
        takt.vorspulen(5000);
        drin = false;
    };
    zufall.werte = {0.0f};
    m.SpielStarten();
    // The first ball is set up but not shown yet.
    const Spielfläche vorher{.pad = 2520, .ball1 = {3060, 720, -120, 0, true}, .bälle = 1, .stimmig = false};
    const Spielfläche danach{.punkte = 1, .rekord = 1, .munition = 100, .anzeige = label(1, 1, 100),
                             .ball1 = vorher.ball1, .bälle = 1, .stimmig = false};
    const Stand soll[] = {
        {.zeiger = vbDefault, .spielfeld = vorher},
        {.zeiger = vbDefault, .spiel = true, .einstellungen = false, .tmrRand = true, .spielfeld = vorher},
        {.zeiger = vbCustom, .spiel = true, .eingesperrt = true, .einstellungen = false, .tmrRand = true, .spielfeld = danach},
    };
    ASSERT_EQ(gesehen.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_STAND(gesehen[i], soll[i]) << "event pump " << i + 1;
}

TEST_F(Spiel, EndeHältAlleTimerVorDerErstenPauseAnUndLässtKeinZweitesEndeZu) {
    starten();
    bälle(3);
    Schritte gesehen;
    fenster.beiDoEvents = [&](int) {
        gesehen.push_back(std::to_string(einSpielTimerLäuft()) + " " + std::to_string(m.Punkte));
        takt.vorspulen(1000);
        m.mnuSpielbeenden_Click();
        m.mnuSpielStarten_Click();
        m.Form_KeyDown(vbKeyEscape, 0);
    };
    m.SpielEnde();
    EXPECT_EQ(gesehen, (Schritte{"0 3", "0 0"}));
    EXPECT_STAND(stand(), Stand{.spielfeld = {.rekord = 3}});
    EXPECT_TRUE(fenster.nur(Dialog::MsgBox).empty());
}

// Something comes in at one of the three event pumps of a start.
struct Dazwischen : Spiel, ::testing::WithParamInterface<int> {
    void beiPause(std::function<void()> was) {
        fenster.beiDoEvents = [this, was](int n) {
            if (n == GetParam()) was();
        };
        zufall.werte = {0.0f, 1.0f};
        m.SpielStarten();
        fenster.beiDoEvents = nullptr;
    }
};

TEST_P(Dazwischen, EscBeendetDenStartGanzOderGarNicht) {
    // F2 right behind Esc in the same pump: the aborted start is still unwinding and turns it away.
    beiPause([this] {
        m.Form_KeyDown(vbKeyEscape, 0);
        m.mnuSpielStarten_Click();
    });
    // Before the game counts as running, Esc has nothing to abort.
    const Stand danach[] = {FRISCH, Stand{.spielfeld = {.pad = 2520}}, Stand{.spielfeld = {.rekord = 1}}};
    EXPECT_STAND(stand(), danach[GetParam() - 1]);
    EXPECT_EQ(fenster.nur(Dialog::MsgBox).size(), GetParam() == 1 ? 0u : 1u);
    starten(0.0f);
    EXPECT_STAND(stand(), FRISCH);
}

TEST_P(Dazwischen, GeschlossenesFensterStartetNichtWeiter) {
    beiPause([this] { m.Unload(); });
    m.SpielStarten(); // nor does a new one
    EXPECT_FALSE(einSpielTimerLäuft() || m.Ball(1).Visible || m.Pad.Visible);
}

INSTANTIATE_TEST_SUITE_P(Ereignispause, Dazwischen, ::testing::Values(1, 2, 3));

TEST_F(Spiel, HundertGewinntAufJedemWeg) {
    const std::pair<const char*, std::function<void()>> wege[] = {
        {"100th ball at the pad", [this] {
             bälle(99);
             ball(1, {3060, 6300, 0, 300, true});
             m.tmrBälle_Timer();
         }},
        {"no slot for the twin", [this] {
             bälle(100);
             m.Punkte = 99;
             ball(1, {3060, 6300, 0, 300, true});
             m.tmrBälle_Timer();
         }},
        {"100th ball by a shot", [this] {
             bälle(99);
             ball(50, {2950, 3000, 0, 0, true});
             for (int s : {1, 2, 3}) schuss(s, 1000.0f * s, 3240);
             m.tmrSchüsse_Timer();
         }},
        {"five balls at 95", [this] {
             bälle(95);
             bonus(1, 1, {2900, 6300, 0, 0});
             bonus(2, 2, {1000, 1000, 10, 0});
             m.tmrBonusse_Timer();
         }},
        {"fifth ball finds no slot at 96", [this] {
             bälle(96);
             bonus(1, 1, {2900, 6300, 0, 0});
             m.tmrBonusse_Timer();
         }},
    };
    for (const auto& [weg, was] : wege) {
        starten();
        was();
        // The game ended before the first dialogue; nothing moved after the field was cleared.
        EXPECT_EQ(ablauf, (Schritte{"stop qmbgame", öffnen(sound.GewonnenDatei), "play qmbscore repeat from 0",
                                    "play qmbscore from 2500", "Zeiger frei", "DoEvents", "DoEvents",
                                    "InputBox MAXIMALANZAHL", "HighscoreEintragen Velmora 100", "MsgBox Highscore",
                                    "stop qmbscore", "close qmbscore", "play qmbgame"})) << weg;
        EXPECT_STAND(stand(), Stand{}) << weg;
    }
}

// What the player hears and reads when a game ends: the order across the
// ports, and the dialogues word for word.
struct Ende : Spiel {
    std::vector<Dialog> gelesen;
    bool andere = false; // another copy fills the list while the name is asked for
    Ende() {
        fenster.beiDialog = [this](const Dialog& d) {
            gelesen.push_back(d);
            if (andere) liste.plätze.assign(10, {"Andere", 50});
        };
    }
};

const Dialog BESTENLISTE{.art = Dialog::Fenster, .fenster = Fenster::HighScore, .modal = true};
const Dialog HUNDERT{Dialog::InputBox, "Sie haben 100 Punkte erreicht! Das ist die Maximalanzahl. Bitte geben Sie "
                     "Ihren Namen für die Highscoreliste ein.", "MAXIMALANZAHL", "Velmora"};
const Dialog NAME{Dialog::InputBox, "Sie haben einen Platz in er Highscoreliste erspielt! Geben Sie bitte Ihren "
                  "Namen ein.", "HIGHSCORE!", "Velmora"};
const Dialog KEIN_PLATZ{Dialog::MsgBox, "Sie haben leider keinen Platz auf der Highscoreliste erreicht.\r\n\r\n"
                        "Ihr Rekord: 7!\r\nVielleicht schaffen Sie es beim nächsten Mal.", "Quambel", "", Knöpfe::OK};
const Schritte VERLOREN{"Zeiger frei", "DoEvents", "DoEvents", "IstHighscore 7", "stop qmbgame"};

TEST_F(Ende, HundertAufDemErstenPlatz) {
    starten();
    punkte(100);
    EXPECT_EQ(gelesen, (std::vector<Dialog>{
                           HUNDERT,
                           {Dialog::MsgBox, "Sie Sind auf dem 1. Platz in der Highscoreliste. Herzlichen Glückwunsch.\r\n\r\n"
                            "Hier nocheinmal Ihr sagenhafter Score: 100, in Worten: \"EINHUNDERT\"!\r\nSchaffen Sie das nochmal?",
                            "Highscore", "", Knöpfe::OK, Symbol::Information},
                       }));
}

TEST_F(Ende, VerlorenMitPlatzFragtNachAbbrechenWiederNachDemNamen) {
    liste.plätze = {{"Velmora", 100}};
    fenster.eingaben = {"", "", "Jörg Müller-Lüdenscheidt"}; // Cancel brings the question back
    verlieren(7);
    Schritte soll = VERLOREN;
    soll.insert(soll.end(), {öffnen(sound.GewonnenDatei), "play qmbscore repeat from 0", "play qmbscore from 2500",
                             "InputBox HIGHSCORE!", "InputBox HIGHSCORE!", "InputBox HIGHSCORE!",
                             "HighscoreEintragen Jörg Mülle 7", "MsgBox Punkte: 7", "HighScore modal", "stop qmbscore",
                             "close qmbscore", "play qmbgame"});
    EXPECT_EQ(ablauf, soll);
    EXPECT_STAND(stand(), Stand{});
    const Dialog zweiter{Dialog::MsgBox, "Sie sind auf dem 2. Platz auf der Highscoreliste. Herzlichen Glückwunsch.\r\n\r\n"
                         "Hier Ihr Rekord: 7!\r\nDoch auch Sie können sich verbessen.\r\nMal sehen, ob Sie Ihren "
                         "Highscore schlagen können...", "Punkte: 7", "", Knöpfe::OK, Symbol::Information};
    EXPECT_EQ(gelesen, (std::vector<Dialog>{NAME, NAME, NAME, zweiter, BESTENLISTE}));
}

TEST_F(Ende, VerlorenOhnePlatz) {
    liste.plätze.assign(10, {"Platz", 8}); // 7 does not enter
    verlieren(7);
    Schritte soll = VERLOREN;
    soll.insert(soll.end(), {öffnen(sound.VerlorenDatei), "play qmbscore repeat from 0", "play qmbscore from 2600",
                             "MsgBox Quambel", "HighScore modal", "stop qmbscore", "close qmbscore", "play qmbgame"});
    EXPECT_EQ(ablauf, soll);
    EXPECT_STAND(stand(), Stand{});
    EXPECT_EQ(gelesen, (std::vector<Dialog>{KEIN_PLATZ, BESTENLISTE}));
}

TEST_F(Ende, AbgebrochenMitEsc) {
    starten();
    m.Form_KeyDown(vbKeyEscape, 0);
    m.Form_KeyDown(vbKeyEscape, 0); // without a game Esc does nothing
    EXPECT_EQ(gelesen, (std::vector<Dialog>{{Dialog::MsgBox, "Das Spiel wurde abgebrochen.", "Abbruch durch Spieler", "",
                                             Knöpfe::OK, Symbol::Information}}));
}

TEST_F(Ende, ListeWährendDerNamensfrageVollGeworden) {
    andere = true;
    verlieren(7);
    EXPECT_EQ(gelesen, (std::vector<Dialog>{NAME, KEIN_PLATZ, BESTENLISTE}));
}

// A list that failed has told the player so: no word about a place then.
TEST_F(Ende, KaputteListeNenntKeinenPlatz) {
    liste.kaputt = true;
    starten();
    punkte(100);
    verlieren(7);
    EXPECT_EQ(gelesen, (std::vector<Dialog>{HUNDERT, NAME, BESTENLISTE}));
}

// Closed while the game is being ended: the program is shutting down, so no
// dialogue of the game may open and the music it stopped stays stopped.
TEST_F(Spiel, GeschlossenesFensterBekommtKeineDialogeMehr) {
    const std::pair<const char*, std::function<void(Modell&)>> enden[] = {
        {"the last ball lost", [](Modell& s) { s.letzterBallWeg(); }},
        {"won", [](Modell& s) { s.punkte(100); }},
        {"aborted", [](Modell& s) { s.m.Form_KeyDown(vbKeyEscape, 0); }},
    };
    for (const auto& [ende, herbeiführen] : enden) {
        Modell s;
        s.laden();
        s.starten();
        s.fenster.beiDoEvents = [&s](int) { s.m.Unload(); };
        herbeiführen(s);
        for (const auto& schritt : s.ablauf)
            EXPECT_TRUE(schritt.find("Box") == std::string::npos && schritt.find("High") == std::string::npos &&
                        schritt != "play qmbgame") << ende << ": " << schritt;
        EXPECT_TRUE(s.m.Entladen() && !s.einSpielTimerLäuft()) << ende;
    }
}

} // namespace
} // namespace qmb::test

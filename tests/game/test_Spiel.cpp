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
        ball(1, {500, 6400, 0, 0, true}); // beside the pad, below its top edge
        m.tmrBälle_Timer();
    }
    static std::string öffnen(const std::string& datei) { return "open " + datei + " type MPEGVideo alias qmbscore"; }
};

const std::string FRISCH = // a game just started with the draw 0, in mouse mode
    "Spiel+ Pause- 'Quambel' Zeiger 99 eingesperrt Feld- F2- F3+ P+- Timer+++-+ Musik+ Maus++ Pad 2640+ blau Power- "
    "Richtung 0 Feuer-0- Punkte 1/1/100 'Punkte: 1|Rekord: 1|Munition: 100' Ball1 {3060 720 -120 0 aktiv} Bälle 1 "
    "Bonusse 0 Schüsse 0";
std::string keinSpiel(int rekord, int pad = 2640, int zeiger = 1) {
    return "Spiel- Pause- 'Quambel - F2 zum Starten drücken' Zeiger " + std::to_string(zeiger) +
           " frei Feld+ F2+ F3- P-- Timer----- Musik+ Maus++ Pad " + std::to_string(pad) +
           "- blau Power- Richtung 0 Feuer-0- Punkte 0/" + std::to_string(rekord) +
           "/0 '' Ball1 {0 0 0 0} Bälle 0 Bonusse 0 Schüsse 0";
}

TEST_F(Spiel, StartUndEnde) {
    EXPECT_EQ(stand(), keinSpiel(0, 2520, 0));
    zufall.werte = {0.0f};
    uhr.sekunden = 45296.25;
    m.cmdLos_Click();
    EXPECT_EQ(stand(), FRISCH);
    EXPECT_EQ(std::tuple(zufall.saaten.back(), zufall.gezogen, zeiger.clips.back()),
              std::tuple(45296.25, 1, Rechteck{100, 50, 526, 532}));
    ablauf.clear();
    m.mnuSpielStarten_Click(); // F2 in a game is refused and lets no events in
    EXPECT_EQ(std::tuple(stand(), ablauf.size()), std::tuple(FRISCH, 0u));

    // A busy game ends through the menu: everything cleared, the best kept, nothing said.
    bälle(7);
    bonus(3, 1, {1000, 1000, 0, 10});
    m.Schuss.Load(1);
    m.Form_KeyDown(vbKeyDown, 0);
    m.Form_KeyDown(vbKeyUp, 0);
    m.RechtesGewehr = true;
    vergessen();
    m.mnuSpielbeenden_Click();
    EXPECT_EQ(std::tuple(stand(), ablauf), std::tuple(keinSpiel(7), Schritte{"Zeiger frei", "DoEvents", "DoEvents"}));

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
    EXPECT_NE(stand().find("Timer----- Musik+ Tastatur-- Pad 2640-"), std::string::npos);
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
    Schritte gesehen;
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
    EXPECT_EQ((std::tuple{m.tmrBälle.Ticks() + m.tmrBonusse.Ticks() + m.tmrSchüsse.Ticks() + m.tmrPad.Ticks(), m.tmrRand.Ticks() > 0}),
              (std::tuple{0u, true}));
    const std::string vorher = "Spiel- Pause- 'Quambel - F2 zum Starten drücken' Zeiger 0 frei Feld";
    const std::string danach = " Musik+ Maus++ Pad 2520- blau Power- Richtung 0 Feuer-0- Punkte ";
    const std::string ball = " Ball1 {3060 720 -120 0 aktiv} Bälle 1 Bonusse 0 Schüsse 0 unstimmig";
    EXPECT_EQ(gesehen, (Schritte{vorher + "+ F2+ F3- P-- Timer-----" + danach + "0/0/0 ''" + ball,
                                 "Spiel+" + vorher.substr(6) + "- F2+ F3- P-- Timer----+" + danach + "0/0/0 ''" + ball,
                                 "Spiel+ Pause- 'Quambel - F2 zum Starten drücken' Zeiger 99 eingesperrt Feld- F2+ F3- "
                                 "P-- Timer----+ Musik+ Maus++ Pad 2640- blau Power- Richtung 0 Feuer-0- Punkte 1/1/100 "
                                 "'Punkte: 1|Rekord: 1|Munition: 100'" + ball}));
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
    EXPECT_EQ(std::tuple(gesehen, stand(), fenster.nur(Dialog::MsgBox).size()),
              std::tuple(Schritte{"0 3", "0 0"}, keinSpiel(3), 0u));
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
    beiPause([this] { m.Form_KeyDown(vbKeyEscape, 0), m.mnuSpielStarten_Click(); });
    // Before the game counts as running, Esc has nothing to abort.
    const std::string danach[] = {FRISCH, keinSpiel(0, 2520), keinSpiel(1)};
    EXPECT_EQ(std::tuple(stand(), fenster.nur(Dialog::MsgBox).size()),
              std::tuple(danach[GetParam() - 1], GetParam() == 1 ? 0u : 1u));
    starten(0.0f);
    EXPECT_EQ(stand(), FRISCH);
}

TEST_P(Dazwischen, ZweiterStartWirdAbgewiesen) {
    beiPause([this] { m.mnuSpielStarten_Click(); });
    // One seed at loading, one at the start; three pumps.
    EXPECT_EQ(std::tuple(stand(), zufall.saaten.size(), fenster.doEventsAnzahl), std::tuple(FRISCH, 2u, 3));
}

TEST_P(Dazwischen, GeschlossenesFensterStartetNichtWeiter) {
    beiPause([this] { m.Unload(); });
    m.SpielStarten(); // nor does a new one
    EXPECT_FALSE(einSpielTimerLäuft() || m.Ball(1).Visible || m.Pad.Visible);
}

INSTANTIATE_TEST_SUITE_P(Ereignispause, Dazwischen, ::testing::Values(1, 2, 3));

TEST_F(Spiel, HundertGewinntAufJedemWeg) {
    const std::pair<const char*, std::function<void()>> wege[] = {
        {"score", [this] { m.Punkte = 100, m.PunkteStandAktualisieren(); }},
        {"100th ball at the pad", [this] { bälle(99), ball(1, {3060, 6300, 0, 300, true}), m.tmrBälle_Timer(); }},
        {"no slot for the twin", [this] { bälle(100), m.Punkte = 99, ball(1, {3060, 6300, 0, 300, true}), m.tmrBälle_Timer(); }},
        {"100th ball by a shot", [this] {
             bälle(99), ball(50, {2950, 3000, 0, 0, true});
             for (int s : {1, 2, 3}) m.Schuss.Load(s), m.Schuss(s).Left = 1000.0f * s, m.Schuss(s).Top = 3240;
             m.tmrSchüsse_Timer();
         }},
        {"five balls at 95", [this] { bälle(95), bonus(1, 1, {2900, 6300, 0, 0}), bonus(2, 2, {1000, 1000, 10, 0}), m.tmrBonusse_Timer(); }},
        {"fifth ball finds no slot at 96", [this] { bälle(96), bonus(1, 1, {2900, 6300, 0, 0}), m.tmrBonusse_Timer(); }},
    };
    for (const auto& [weg, was] : wege) {
        starten();
        was();
        // The game ended before the first dialogue; nothing moved after the field was cleared.
        EXPECT_EQ(ablauf, (Schritte{"stop qmbgame", öffnen(sound.GewonnenDatei), "play qmbscore repeat from 0",
                                    "play qmbscore from 2500", "Zeiger frei", "DoEvents", "DoEvents",
                                    "InputBox MAXIMALANZAHL", "HighscoreEintragen Velmora 100", "MsgBox Highscore",
                                    "stop qmbscore", "close qmbscore", "play qmbgame"})) << weg;
        EXPECT_EQ(stand(), keinSpiel(0)) << weg;
    }
}

// What the player hears and reads when a game is won, lost with and without
// a place, and aborted: the order across the ports, and the dialogues word
// for word.
TEST_F(Spiel, GewonnenVerlorenAbgebrochen) {
    std::vector<Dialog> gelesen;
    bool andere = false; // another copy fills the list while the name is asked for
    fenster.beiDialog = [&](const Dialog& d) {
        gelesen.push_back(d);
        if (andere) liste.plätze.assign(10, {"Andere", 50});
    };
    starten();
    m.Punkte = 100;
    m.PunkteStandAktualisieren();
    fenster.eingaben = {"", "", "Jörg Müller-Lüdenscheidt"}; // Cancel brings the question back
    verlieren(7);
    const std::string frage = "InputBox HIGHSCORE!";
    EXPECT_EQ(ablauf, (Schritte{"Zeiger frei", "DoEvents", "DoEvents", "IstHighscore 7", "stop qmbgame",
                                öffnen(sound.GewonnenDatei), "play qmbscore repeat from 0", "play qmbscore from 2500",
                                frage, frage, frage, "HighscoreEintragen Jörg Mülle 7", "MsgBox Punkte: 7",
                                "HighScore modal", "stop qmbscore", "close qmbscore", "play qmbgame"}));
    EXPECT_EQ(stand(), keinSpiel(0));
    liste.plätze.assign(10, {"Platz", 8}); // 7 does not enter
    verlieren(7);
    EXPECT_EQ(ablauf, (Schritte{"Zeiger frei", "DoEvents", "DoEvents", "IstHighscore 7", "stop qmbgame",
                                öffnen(sound.VerlorenDatei), "play qmbscore repeat from 0", "play qmbscore from 2600",
                                "MsgBox Quambel", "HighScore modal", "stop qmbscore", "close qmbscore", "play qmbgame"}));
    EXPECT_EQ(stand(), keinSpiel(0));
    starten();
    m.Form_KeyDown(vbKeyEscape, 0);
    m.Form_KeyDown(vbKeyEscape, 0); // without a game Esc does nothing
    m.mnuMusik_Click(); // without music only the commands that always go
    verlieren(7);
    EXPECT_EQ(mci.befehle, (Schritte{"play qmbscore from 2600", "stop qmbscore", "close qmbscore"}));
    liste.plätze.clear();
    andere = true;
    verlieren(7);
    // A list that failed has told the player so: no word about a place then.
    andere = false;
    liste.kaputt = true;
    starten();
    m.Punkte = 100;
    m.PunkteStandAktualisieren();
    liste.plätze.clear();
    verlieren(7);
    const auto M = Dialog::MsgBox;
    const auto OK = Knöpfe::OK;
    const auto INFO = Symbol::Information;
    const Dialog bestenliste{Dialog::Fenster, "", "", "", OK, Symbol::Keins, Antwort::OK, Fenster::HighScore, true};
    const Dialog hundert{Dialog::InputBox, "Sie haben 100 Punkte erreicht! Das ist die Maximalanzahl. Bitte geben Sie "
                         "Ihren Namen für die Highscoreliste ein.", "MAXIMALANZAHL", "Velmora"};
    const Dialog name{Dialog::InputBox, "Sie haben einen Platz in er Highscoreliste erspielt! Geben Sie bitte Ihren "
                      "Namen ein.", "HIGHSCORE!", "Velmora"};
    const Dialog keinPlatz{M, "Sie haben leider keinen Platz auf der Highscoreliste erreicht.\r\n\r\nIhr Rekord: 7!\r\n"
                           "Vielleicht schaffen Sie es beim nächsten Mal.", "Quambel", "", OK, Symbol::Keins};
    EXPECT_EQ(gelesen,
              (std::vector<Dialog>{
                  hundert,
                  {M, "Sie Sind auf dem 1. Platz in der Highscoreliste. Herzlichen Glückwunsch.\r\n\r\nHier "
                      "nocheinmal Ihr sagenhafter Score: 100, in Worten: \"EINHUNDERT\"!\r\nSchaffen Sie das nochmal?",
                   "Highscore", "", OK, INFO},
                  name, name, name,
                  {M, "Sie sind auf dem 2. Platz auf der Highscoreliste. Herzlichen Glückwunsch.\r\n\r\nHier Ihr "
                      "Rekord: 7!\r\nDoch auch Sie können sich verbessen.\r\nMal sehen, ob Sie Ihren Highscore "
                      "schlagen können...", "Punkte: 7", "", OK, INFO},
                  bestenliste, keinPlatz, bestenliste,
                  {M, "Das Spiel wurde abgebrochen.", "Abbruch durch Spieler", "", OK, INFO},
                  keinPlatz, bestenliste, name, keinPlatz, bestenliste, hundert, name, bestenliste,
              }));
}

// Closed while the game is being ended: the program is shutting down, so no
// dialogue of the game may open and the music it stopped stays stopped.
TEST_F(Spiel, GeschlossenesFensterBekommtKeineDialogeMehr) {
    for (int art = 0; art < 3; ++art) { // the last ball lost, won, aborted
        Modell s;
        s.laden();
        s.starten();
        s.fenster.beiDoEvents = [&s](int) { s.m.Unload(); };
        if (art == 0) s.ball(1, {500, 6400, 0, 0, true}), s.m.tmrBälle_Timer();
        if (art == 1) s.m.Punkte = 100, s.m.PunkteStandAktualisieren();
        if (art == 2) s.m.Form_KeyDown(vbKeyEscape, 0);
        for (const auto& schritt : s.ablauf)
            EXPECT_TRUE(schritt.find("Box") == std::string::npos && schritt.find("High") == std::string::npos &&
                        schritt != "play qmbgame") << art << " " << schritt;
        EXPECT_TRUE(s.m.Entladen() && !s.einSpielTimerLäuft()) << art;
    }
}

} // namespace
} // namespace qmb::test

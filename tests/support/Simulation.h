#pragma once
// Whole games, headless, on the virtual clock with the program's own random
// generator: a bot plays through the real handlers (mouse moves, arrow keys,
// fire and PowerPad inputs, pause, Esc, F2), and after every single timer
// tick the rules that must always hold are checked. The game tests play a
// few of them; bench/kern/simulation.cpp plays many more for the spread of
// scores.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "Modell.h"

namespace qmb::test {

struct Bilanz {
    int gewonnen = 0, verloren = 0, abgebrochen = 0;
    int64_t takte = 0;
    std::vector<int> ergebnisse; // the best score of every game won or lost (bench/kern's spread)
};

class Simulation {
public:
    Simulation(uint32_t saat, Bilanz& bilanz) : würfel_(saat), bilanz_(bilanz) {
        a_.laden();
        a_.uhr.sekunden = 1000.0 + saat * 137.25; // every seed its own sequence
        if (saat % 3 == 1) f.optTastatur_Click();
        if (saat % 4 == 2) f.chkMaus.Value = 0;
    }

    void spielen(int64_t dauerMs) {
        for (int64_t ende = a_.takt.jetzt() + dauerMs; a_.takt.jetzt() < ende && !::testing::Test::HasFailure();) {
            if (!f.SpielLäuft) {
                prüfen("zwischen den Spielen");
                f.mnuSpielStarten_Click();
                abbruchBei_ = würfel_() % 8 == 0 ? a_.takt.jetzt() + 5000 + würfel_() % 60000 : -1;
                streuung_ = 200 + static_cast<int>(würfel_() % 1400); // some games are played sloppily
                feuer_ = power_ = links_ = rechts_ = false; // the window would have seen the releases
                continue;
            }
            a_.fenster.protokoll.clear(); // what a tick brings up
            a_.uhr.sekunden += 0.005;
            if (!a_.takt.nächsterTick()) ADD_FAILURE() << "a running game without a running timer";
            ++bilanz_.takte;
            if (!f.SpielLäuft) zählen();
            prüfen("nach einem Takt");
            if (f.SpielLäuft && würfel_() % 4 == 0) {
                entscheiden();
                prüfen("nach einer Eingabe");
            }
        }
    }

private:
    Generator24 generator_{}; // before the window that draws from it
    Modell a_{&generator_};
    frmMain& f = a_.m;
    std::mt19937 würfel_;
    Bilanz& bilanz_;
    int64_t abbruchBei_ = -1, pauseBis_ = -1;
    bool feuer_ = false, power_ = false, links_ = false, rechts_ = false;
    int streuung_ = 400, spielRekord_ = 0;

    void zählen() {
        bool frage = false, liste = false;
        for (const Dialog& d : a_.fenster.protokoll) {
            frage |= d.art == Dialog::InputBox && d.titel == "MAXIMALANZAHL";
            liste |= d.art == Dialog::Fenster;
        }
        if (!frage && !liste) ADD_FAILURE() << "a tick ended the game without winning or losing it";
        bilanz_.ergebnisse.push_back(frage ? 100 : spielRekord_);
        ++(frage ? bilanz_.gewonnen : bilanz_.verloren);
        spielRekord_ = 0;
    }

    // The bot: steer under the lowest falling ball, hold fire and the
    // PowerPad now and then, pause now and then, abort some games.
    void entscheiden() {
        const int64_t jetzt = a_.takt.jetzt();
        if (pauseBis_ >= 0 || würfel_() % 3000 == 0) {
            if (pauseBis_ < 0) pauseBis_ = jetzt + 200 + würfel_() % 3000;
            else if (jetzt >= pauseBis_) pauseBis_ = -1;
            else return;
            f.mnuPause_Click();
            return;

        }
        if (abbruchBei_ >= 0 && jetzt >= abbruchBei_) {
            f.Form_KeyDown(vbKeyEscape, 0);
            ++bilanz_.abgebrochen;
            return;
        }
        double ziel = -1, tiefste = -1e9; // where the lowest falling ball will cross the pad's top
        for (int i = 1; i <= 100; ++i) {
            const Flug b = a_.ball(i);
            if (!b.aktiv || b.vy <= 0 || b.top <= tiefste) continue;
            tiefste = b.top;
            ziel = b.left + 120 + b.vx * std::max(0.0, (6360.0 - b.top) / b.vy);
            for (int k = 0; k < 8 && (ziel < 480 || ziel > 5880); ++k) ziel = ziel < 480 ? 960 - ziel : 11760 - ziel;
        }
        if (ziel >= 0) {
            ziel += static_cast<int>(würfel_() % static_cast<unsigned>(2 * streuung_ + 1)) - streuung_;
            const double mitte = f.Pad.Left + 600;
            taste({Knopf::Taste, vbKeyLeft}, links_, ziel < mitte - 90);
            taste({Knopf::Taste, vbKeyRight}, rechts_, ziel > mitte + 90);
            if (würfel_() % 10 == 0) f.lblPunkte_MouseMove(0, 0, static_cast<float>(ziel - f.lblPunkte.Left), 100);
            else f.Form_MouseMove(0, 0, static_cast<float>(ziel), 5000);
        }
        if (würfel_() % 40 == 0) taste(f.optMaus.Value ? Knopf{Knopf::Maus, vbLeftButton} : Knopf{Knopf::Taste, vbKeyControl}, feuer_, !feuer_);
        else if (feuer_ && !f.optMaus.Value && würfel_() % 4 == 0) f.Form_KeyDown(vbKeyControl, 0); // auto-repeat
        if (würfel_() % 60 == 0) taste(würfel_() % 2 ? Knopf{Knopf::Maus, vbRightButton} : Knopf{Knopf::Taste, vbKeySpace}, power_, !power_);
    }
    // Presses or releases a key or a mouse button when it is to change.
    void taste(Knopf k, bool& gehalten, bool soll) {
        if (soll != gehalten) a_.drücken(k, soll);
        gehalten = soll;
    }

    void prüfen(const char* wann) {
        SCOPED_TRACE(std::string(wann) + " bei " + std::to_string(a_.takt.jetzt()) + " ms");
        const Spielfläche feld = a_.stand().spielfeld;
        ASSERT_TRUE(feld.stimmig) << "a ball or bonus shown out of play, or hidden in it";
        for (int i = 1; i <= 100; ++i) {
            const Flug b = a_.ball(i);
            ASSERT_TRUE(!b.aktiv || (b.left >= 360 && b.left + 240 <= 6000 && b.top >= 360)) << "ball " << i << b;
        }
        for (int i = 1; i <= 10; ++i)
            ASSERT_TRUE(!a_.bonus(i).aktiv || f.Bonus(i).Tag == "0" || f.Bonus(i).Tag == "1" || f.Bonus(i).Tag == "2");
        ASSERT_GE(f.Munition, 0);
        if (f.SpielLäuft) {
            ASSERT_EQ(a_.imSpiel(), f.Punkte);
            ASSERT_TRUE(f.Punkte >= 1 && f.Punkte < 100 && f.Rekord >= f.Punkte) << f.Punkte << " " << f.Rekord;
            ASSERT_EQ(f.lblPunkte.Caption, Modell::label(f.Punkte, f.Rekord, f.Munition));
            ASSERT_EQ(f.tmrBälle.Enabled(), !f.Pausiert);
            ASSERT_TRUE(f.Pad.Visible && f.Pad.Left >= 360 && f.Pad.Left + f.Pad.Width <= 6000) << f.Pad.Left;
            ASSERT_TRUE(!f.optTastatur.Value || std::fmod(f.Pad.Left, 120.0f) == 0.0f) << f.Pad.Left;
            for (int s : a_.schüsse()) ASSERT_TRUE(f.Schuss(s).Visible && f.Schuss(s).Top >= 360) << "shot " << s;
        } else {
            ASSERT_EQ(feld.bälle + feld.bonusse + feld.schüsse, 0);
            ASSERT_FALSE(a_.einSpielTimerLäuft() || f.tmrRand.Enabled());
            ASSERT_EQ(feld.munition, 0);
            ASSERT_EQ(feld.anzeige, "");
        }
        spielRekord_ = std::max<int>(spielRekord_, f.Rekord);
    }
};

} // namespace qmb::test

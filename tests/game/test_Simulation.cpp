// Whole games, headless, on the virtual clock with the program's own random
// generator: a bot plays through the real handlers (mouse moves, arrow keys,
// fire and PowerPad inputs, pause, Esc, F2), and after every single timer
// tick the rules that must always hold are checked.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>

#include "Spielaufbau.h"

namespace qmb::test {
namespace {

struct Bilanz {
    int gewonnen = 0, verloren = 0, abgebrochen = 0;
    int höchsterRekord = 0;
    int64_t takte = 0;
    std::vector<int> ergebnisse; // the best score of every game won or lost
    int bonusseGefangen = 0;
};

class Simulation {
public:
    explicit Simulation(uint32_t saat) : würfel_(saat) {
        // Every seed its own time of day, so every game its own sequence.
        a_.uhr.sekunden = 1000.0 + saat * 137.25;
        if (saat % 3 == 1) a_.form.optTastatur_Click();
        if (saat % 4 == 2) a_.form.chkMaus.Value = 0;
    }

    Bilanz spielen(int64_t dauerMs) {
        frmMain& f = a_.form;
        const int64_t ende = a_.takt.jetzt() + dauerMs;
        int64_t nächsteEntscheidung = 0;
        while (a_.takt.jetzt() < ende) {
            if (!f.SpielLäuft) {
                prüfen("zwischen den Spielen");
                f.mnuSpielStarten_Click();
                EXPECT_TRUE(f.SpielLäuft);
                abbruchBei_ = würfel_() % 8 == 0 ? a_.takt.jetzt() + 5000 + würfel_() % 60000 : -1;
                // Some games are played sloppily, so that games are lost too.
                streuung_ = 200 + static_cast<int>(würfel_() % 1400);
                bedenkzeit_ = 10 + static_cast<int>(würfel_() % 150);
                prüfen("nach dem Start");
                continue;
            }
            const size_t dialoge = a_.fenster.protokoll.size();
            const int16_t munition = f.Munition;
            // One timer tick at a time, checked after each.
            a_.uhr.sekunden += 0.005; // the time of day moves on with the clock
            if (!a_.takt.naechsterTick()) {
                ADD_FAILURE() << "a running game without a running timer";
                return bilanz_;
            }
            ++bilanz_.takte;
            if (f.Munition > munition + 1) ++bilanz_.bonusseGefangen;
            if (!f.SpielLäuft) zählen(dialoge);
            prüfen("nach einem Takt");
            if (::testing::Test::HasFailure()) return bilanz_;
            if (f.SpielLäuft && a_.takt.jetzt() >= nächsteEntscheidung) {
                entscheiden();
                prüfen("nach einer Eingabe");
                nächsteEntscheidung = a_.takt.jetzt() + bedenkzeit_;
            }
        }
        return bilanz_;
    }

private:
    Generator24 generator_{}; // before the window that draws from it
    Spielaufbau a_{&generator_};
    std::mt19937 würfel_;
    Bilanz bilanz_;
    int64_t abbruchBei_ = -1;
    int64_t pauseBis_ = -1;
    bool feuer_ = false, power_ = false;
    int links_ = 0, rechts_ = 0;
    int streuung_ = 400, bedenkzeit_ = 10;

    void zählen(size_t dialogeVorher) {
        const auto& p = a_.fenster.protokoll;
        bool frage = false, liste = false;
        for (size_t i = dialogeVorher; i < p.size(); ++i) {
            frage |= p[i].art == Dialog::InputBox && p[i].titel == "MAXIMALANZAHL";
            liste |= p[i].art == Dialog::Fenster;
        }
        if (frage || liste) bilanz_.ergebnisse.push_back(frage ? 100 : spielRekord_);
        spielRekord_ = 0;
        if (frage)
            ++bilanz_.gewonnen;
        else if (liste)
            ++bilanz_.verloren;
        else
            ADD_FAILURE() << "a tick ended the game without winning or losing it";
        loslassen();
    }
    // A new game starts with nothing held (the window would see the releases).
    void loslassen() {
        feuer_ = power_ = false;
        links_ = rechts_ = 0;
    }

    // The bot: steer under the lowest falling ball (or a bonus below it),
    // hold fire now and then, use the PowerPad now and then, pause, abort.
    void entscheiden() {
        frmMain& f = a_.form;
        const int64_t jetzt = a_.takt.jetzt();
        if (pauseBis_ >= 0) {
            if (jetzt >= pauseBis_) {
                f.mnuPause_Click();
                pauseBis_ = -1;
            }
            return;
        }
        if (abbruchBei_ >= 0 && jetzt >= abbruchBei_) {
            f.Form_KeyDown(vbKeyEscape, 0);
            EXPECT_FALSE(f.SpielLäuft);
            ++bilanz_.abgebrochen;
            loslassen();
            return;
        }
        if (würfel_() % 3000 == 0) {
            f.mnuPause_Click();
            pauseBis_ = jetzt + 200 + würfel_() % 3000;
            return;
        }

        // The target: where the lowest falling ball will cross the pad's top.
        double ziel = -1, tiefste = -1e9;
        for (int i = 1; i <= 100; ++i) {
            const Flugdaten& d = f.BallDaten[static_cast<size_t>(i)];
            if (!d.Aktiv || d.vy <= 0) continue;
            const Form& b = f.Ball(i);
            const double unten = b.Top + b.Height;
            if (unten <= tiefste) continue;
            tiefste = unten;
            const double takte = std::max(0.0, (f.Pad.Top - unten) / std::max(1, d.vy));
            double x = b.Left + b.Width / 2 + d.vx * takte;
            // Fold the flight at the side walls.
            const double l = f.Links.X1 + b.Width / 2, r = f.Rechts.X1 - b.Width / 2;
            for (int k = 0; k < 8 && (x < l || x > r); ++k) x = x < l ? 2 * l - x : 2 * r - x;
            ziel = x;
        }
        for (int i = 1; i <= 10; ++i) {
            const Flugdaten& d = f.BonusDaten[static_cast<size_t>(i)];
            const Bild& b = f.Bonus(i);
            if (d.Aktiv && d.vy > 0 && b.Top + b.Height > tiefste && b.Top > 5000) {
                tiefste = b.Top + b.Height;
                ziel = b.Left + b.Width / 2;
            }
        }
        if (ziel >= 0) {
            ziel += static_cast<double>(static_cast<int>(würfel_() % static_cast<unsigned>(2 * streuung_ + 1)) - streuung_);
            if (f.optMaus.Value) {
                const bool label = würfel_() % 10 == 0;
                if (label)
                    f.lblPunkte_MouseMove(0, 0, static_cast<float>(ziel - f.lblPunkte.Left), 100);
                else
                    f.Form_MouseMove(feuer_ ? vbLeftButton : 0, 0, static_cast<float>(ziel), 5000);
            } else {
                const double mitte = f.Pad.Left + f.Pad.Width / 2;
                taste(vbKeyLeft, links_, ziel < mitte - 90);
                taste(vbKeyRight, rechts_, ziel > mitte + 90);
            }
        }

        if (würfel_() % 40 == 0) {
            feuer_ = !feuer_;
            if (f.optMaus.Value) {
                feuer_ ? f.Form_MouseDown(vbLeftButton, 0, 0, 0) : f.Form_MouseUp(vbLeftButton, 0, 0, 0);
            } else {
                feuer_ ? f.Form_KeyDown(vbKeyControl, 0) : f.Form_KeyUp(vbKeyControl, 0);
            }
        } else if (feuer_ && !f.optMaus.Value && würfel_() % 4 == 0) {
            f.Form_KeyDown(vbKeyControl, 0); // auto-repeat
        }
        if (würfel_() % 60 == 0) {
            power_ = !power_;
            const bool maus = würfel_() % 2 == 0;
            if (maus)
                power_ ? f.Form_MouseDown(vbRightButton, 0, 0, 0) : f.Form_MouseUp(vbRightButton, 0, 0, 0);
            else
                power_ ? f.Form_KeyDown(vbKeySpace, 0) : f.Form_KeyUp(vbKeySpace, 0);
        }
    }

    void taste(int code, int& gehalten, bool soll) {
        if (soll && !gehalten) a_.form.Form_KeyDown(code, 0);
        if (!soll && gehalten) a_.form.Form_KeyUp(code, 0);
        gehalten = soll;
    }

    void prüfen(const char* wann) {
        const frmMain& f = a_.form;
        std::ostringstream wo;
        wo << wann << " bei " << a_.takt.jetzt() << " ms";
        SCOPED_TRACE(wo.str());
        int bälle = 0;
        for (int i = 1; i <= 100; ++i) {
            const Flugdaten& d = f.BallDaten[static_cast<size_t>(i)];
            const Form& b = f.Ball(i);
            ASSERT_EQ(d.Aktiv != 0, b.Visible) << "ball " << i;
            if (!d.Aktiv) {
                ASSERT_EQ(d, f.LeerDaten) << "ball " << i;
                ASSERT_EQ(b.Left, 0.0f) << "ball " << i;
                ASSERT_EQ(b.Top, 0.0f) << "ball " << i;
                continue;
            }
            ++bälle;
            ASSERT_GE(b.Left, f.Links.X1) << "ball " << i;
            ASSERT_LE(b.Left + b.Width, f.Rechts.X1) << "ball " << i;
            ASSERT_GE(b.Top, f.Oben.Y1) << "ball " << i;
        }
        ASSERT_EQ(bälle, f.Punkte);
        int bonusse = 0;
        for (int i = 1; i <= 10; ++i) {
            const Flugdaten& d = f.BonusDaten[static_cast<size_t>(i)];
            ASSERT_EQ(d.Aktiv != 0, f.Bonus(i).Visible) << "bonus " << i;
            if (d.Aktiv) {
                ++bonusse;
                ASSERT_TRUE(f.Bonus(i).Tag == "0" || f.Bonus(i).Tag == "1" || f.Bonus(i).Tag == "2");
            } else {
                ASSERT_EQ(f.Bonus(i).Left, 0.0f) << "bonus " << i;
                ASSERT_EQ(f.Bonus(i).Top, 0.0f) << "bonus " << i;
            }
        }
        ASSERT_GE(f.Munition, 0);
        ASSERT_LE(f.Munition, 32767);
        if (f.SpielLäuft) {
            ASSERT_GE(f.Punkte, 1);
            ASSERT_LT(f.Punkte, 100);
            ASSERT_GE(f.Rekord, f.Punkte);
            ASSERT_EQ(f.lblPunkte.Caption, Spielaufbau::label(f.Punkte, f.Rekord, f.Munition));
            ASSERT_EQ(f.tmrBälle.Enabled(), !f.Pausiert);
            ASSERT_TRUE(f.Pad.Visible);
            ASSERT_GE(f.Pad.Left, f.Links.X1);
            ASSERT_LE(f.Pad.Left + f.Pad.Width, f.Rechts.X1);
            if (f.optTastatur.Value) {
                ASSERT_EQ(std::fmod(f.Pad.Left, 120.0f), 0.0f);
            }
            for (int s = f.Schuss.naechster(0); s != -1; s = f.Schuss.naechster(s)) {
                ASSERT_TRUE(f.Schuss(s).Visible);
                ASSERT_GE(f.Schuss(s).Top, f.Oben.Y1) << "shot " << s;
            }
        } else {
            ASSERT_EQ(bälle, 0);
            ASSERT_EQ(bonusse, 0);
            ASSERT_EQ(f.Schuss.Anzahl(), 0);
            ASSERT_FALSE(a_.einSpielTimerLäuft());
            ASSERT_EQ(f.lblPunkte.Caption, "");
            ASSERT_FALSE(f.Pad.Visible);
        }
        bilanz_.höchsterRekord = std::max<int>(bilanz_.höchsterRekord, f.Rekord);
        spielRekord_ = std::max<int>(spielRekord_, f.Rekord);
    }
    int spielRekord_ = 0;
};

TEST(Simulation, VieleSpieleOhneRegelbruch) {
    Bilanz summe;
    for (uint32_t saat = 1; saat <= 16; ++saat) {
        SCOPED_TRACE("seed " + std::to_string(saat));
        Simulation sim(saat);
        const Bilanz b = sim.spielen(3 * 60 * 1000);
        if (HasFailure()) return;
        summe.gewonnen += b.gewonnen;
        summe.verloren += b.verloren;
        summe.abgebrochen += b.abgebrochen;
        summe.takte += b.takte;
        summe.bonusseGefangen += b.bonusseGefangen;
        summe.höchsterRekord = std::max(summe.höchsterRekord, b.höchsterRekord);
    }
    std::cout << "[ Bilanz  ] " << summe.gewonnen << " gewonnen, " << summe.verloren << " verloren, "
              << summe.abgebrochen << " abgebrochen, " << summe.takte << " Takte, " << summe.bonusseGefangen
              << " Munitionsbonusse, bester Rekord " << summe.höchsterRekord << "\n";
    // The runs must have gone through every ending, or the checks above saw too little.
    EXPECT_GT(summe.gewonnen, 0);
    EXPECT_GT(summe.verloren, 0);
    EXPECT_GT(summe.abgebrochen, 0);
}

} // namespace
} // namespace qmb::test

#ifdef QUAMBEL_SIMULATION_WERKZEUG
// As a tool: many more games, and how their best scores spread.
//   quambel_simulation [SPIELZEIT_MINUTEN_JE_SAAT] [SAATEN]
int main(int argc, char** argv) {
    const int minuten = argc > 1 ? std::atoi(argv[1]) : 10;
    const uint32_t saaten = argc > 2 ? static_cast<uint32_t>(std::atoi(argv[2])) : 64;
    std::vector<int> alle;
    int64_t takte = 0;
    for (uint32_t saat = 1; saat <= saaten; ++saat) {
        qmb::test::Simulation sim(saat);
        const qmb::test::Bilanz b = sim.spielen(static_cast<int64_t>(minuten) * 60 * 1000);
        alle.insert(alle.end(), b.ergebnisse.begin(), b.ergebnisse.end());
        takte += b.takte;
    }
    std::printf("%zu Spiele in %.1f Stunden Spielzeit, %lld Takte\n", alle.size(), minuten * saaten / 60.0,
                static_cast<long long>(takte));
    std::printf("| Rekord | Spiele |\n| --- | --- |\n");
    for (int von = 0; von <= 100; von += 10) {
        const int bis = von == 100 ? 100 : von + 9;
        const auto n = std::count_if(alle.begin(), alle.end(), [&](int r) { return r >= von && r <= bis; });
        std::printf("| %d–%d | %ld |\n", von, bis, static_cast<long>(n));
    }
    return ::testing::Test::HasFailure() ? 1 : 0;
}
#endif

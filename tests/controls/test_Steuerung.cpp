// The controls: pad steps on the pad timer, the pad under the mouse, the
// keys and buttons and what they set, pause, the control mode and the
// confinement of the pointer.
#include <gtest/gtest.h>

#include "Modell.h"

namespace qmb::test {
namespace {

struct Steuerung : ::testing::Test, Modell {
    Steuerung() { laden(); }
    std::vector<float> schritte(int n) {
        std::vector<float> orte;
        for (int i = 0; i < n; ++i) {
            m.tmrPad_Timer();
            orte.push_back(m.Pad.Left);
        }

        return orte;
    }
};

TEST_F(Steuerung, PadschritteBisAnDieWände) {
    // Off the grid one step may cross the wall line; then the pad stays.
    const std::tuple<float, int32_t, std::vector<float>> fälle[] = { // from, direction, places after each step
        {2640, 1, {2520}}, {480, 1, {360, 360}}, {4680, 2, {4800, 4800}}, {400, 1, {280, 280}},
        {4790, 2, {4910, 4910}}, {2640, 3, {2640}},
    };
    for (const auto& [von, richtung, orte] : fälle) {
        m.Pad.Left = von;
        m.PadRichtung = richtung;
        EXPECT_EQ(schritte(static_cast<int>(orte.size())), orte) << von;
    }
}

TEST_F(Steuerung, BeidePfeileGehalten) {
    // Letting go of the arrow that is no longer the direction keeps the pad
    // going; without a direction the pad's timer rests.
    const int L = vbKeyLeft, R = vbKeyRight;
    const std::pair<std::vector<int>, int32_t> fälle[] = { // key codes, negative when let go
        {{L, R}, 2}, {{L, R, -L}, 2}, {{L, R, -L, -R}, 0}, {{R, L, -R}, 1}, {{R, L, -R, -L}, 0}, {{R, -R, -L}, 0},
    };
    m.optTastatur_Click();
    starten();
    for (const auto& [tasten, richtung] : fälle) {
        m.PadLenken(0);
        for (int t : tasten) t > 0 ? m.Form_KeyDown(t, 1) : m.Form_KeyUp(-t, 0);
        EXPECT_EQ(m.PadRichtung, richtung) << ::testing::PrintToString(tasten);
        EXPECT_EQ(m.tmrPad.Ruhend(), richtung == 0) << ::testing::PrintToString(tasten);
    }
}

TEST_F(Steuerung, PadMittigUnterDemZeiger) {
    const std::pair<float, float> fälle[] = {
        {3000, 2400}, {3000.5f, 2400}, {3001.5f, 2402}, // halves go to the even neighbour
        {0, 360}, {959, 360}, {961, 361}, {5399, 4799}, {5401, 4800}, {6390, 4800},
        // Far outside the window (a held button keeps the moves coming),
        // beyond the 16-bit range: still against the nearer wall.
        {40000, 4800}, {-40000, 360}, {1e9f, 4800}, {-1e9f, 360},
    };
    starten();
    for (const auto& [x, left] : fälle) {
        m.Form_MouseMove(0, 0, x, 100);
        EXPECT_EQ(m.Pad.Left, left) << x;
    }
    m.lblPunkte.Left = 720; // the label passes it on in the window's coordinates
    m.lblPunkte_MouseMove(0, 0, 2000, 10);
    EXPECT_EQ(m.Pad.Left, 2120.0f);
    m.Form_KeyDown(vbKeyLeft, 0); // keys steer only in keyboard mode
    EXPECT_EQ(m.PadRichtung, 0);
}

TEST_F(Steuerung, TastenUndKnöpfe) {
    // PowerPad (P) and fire (F) after a press between games and in a game (4: the middle button).
    const Knopf::Ort T = Knopf::Taste, M = Knopf::Maus, L = Knopf::Label;
    const struct {
        Knopf knopf;
        std::string davor, imSpiel;
    } fälle[] = {
        {{T, vbKeySpace}, "P", "P"}, {{T, vbKeyDown}, "P", "P"},   {{T, vbKeyShift}, "P", "P"},
        {{T, vbKeyControl}, "F", "F"}, {{T, vbKeyC}, "F", "F"},    {{T, vbKeyUp}, "F", "F"},
        {{T, vbKeyReturn}, "", ""},    {{T, 65}, "", ""},          {{M, vbRightButton}, "", "P"},
        {{M, vbLeftButton}, "F", "F"}, {{M, 4}, "", ""}, {{L, vbRightButton}, "", "P"},
        {{L, vbLeftButton}, "F", "F"},
    };
    auto merkmal = [&] {
        const bool farbe = m.Pad.FillColor == (m.PowerPad ? ROT : BLAU) && m.Pad.BorderColor == m.Pad.FillColor;
        return std::string(m.PowerPad ? "P" : "") + (m.Schießen ? "F" : "") + (farbe ? "" : " in the wrong colour");
    };
    for (bool spiel : {false, true}) {
        if (spiel) starten();
        for (const auto& f : fälle) {
            SCOPED_TRACE(::testing::Message() << f.knopf.ort << " " << f.knopf.code << (spiel ? " in a game" : ""));
            m.PowerPadAus();
            m.Schießen = false;
            drücken(f.knopf, true);
            const std::string erwartet = spiel ? f.imSpiel : f.davor;
            EXPECT_EQ(merkmal(), erwartet);
            drücken(f.knopf, false); // a release clears it; between games a PowerPad stays
            EXPECT_EQ(merkmal(), !spiel && erwartet == "P" ? "P" : "");
        }
    }
    m.SpielEnde();
    m.Form_KeyDown(vbKeyShift, 0);
    m.Form_MouseUp(vbRightButton, 0, 0, 0);
    EXPECT_TRUE(m.PowerPad) << "the right button does nothing between games";
}

TEST_F(Steuerung, PauseHältAllesAn) {
    starten();
    m.Form_KeyDown(vbKeyControl, 0);
    takt.vorspulen(100);
    m.mnuPause_Click();
    const Stand pausiert = stand();
    EXPECT_STAND(rahmen(), (Stand{.titel = "Quambel - pausiert - Strg + P drücken", .spiel = true, .pause = true,
                                  .einstellungen = false, .f2 = false, .f3 = true, .pauseAn = true, .pauseHaken = true,
                                  .tmrRand = true}));
    m.Form_MouseMove(0, 0, 500, 500);
    takt.vorspulen(5000);
    EXPECT_STAND(stand(), pausiert);
    m.mnuPause_Click(); // resuming starts the pad timer in mouse mode too
    EXPECT_STAND(rahmen(), (Stand{.titel = "Quambel", .zeiger = vbCustom, .spiel = true, .eingesperrt = true,
                                  .einstellungen = false, .f2 = false, .f3 = true, .pauseAn = true, .tmrBälle = true,
                                  .tmrBonusse = true, .tmrSchüsse = true, .tmrPad = true, .tmrRand = true}));
    m.Form_KeyDown(vbKeyEscape, 0); // Esc ends a paused game as well
    m.mnuPause_Click();            // and between games Ctrl+P changes nothing
    EXPECT_STAND(rahmen(), Stand{});
}

// Keyboard play: the mouse does not steer, arrows pressed or let go during a
// pause change nothing, and the pad goes on as it went. Neither keyboard play
// nor mouse play with the box unticked touches the pointer; back in mouse
// mode the box is free again, and the player has to tick it anew.
TEST_F(Steuerung, TastaturModusPausiertUndZeigerBleibtFrei) {
    m.optTastatur_Click();
    starten();
    m.Form_MouseMove(1, 0, 500, 500); // the pad below goes one step from the middle
    m.Form_KeyDown(vbKeyRight, 0);
    m.tmrPad_Timer();
    m.mnuPause_Click();
    m.Form_KeyUp(vbKeyRight, 0); // both ignored while paused
    m.Form_KeyDown(vbKeyLeft, 0);
    takt.vorspulen(300);
    EXPECT_EQ(m.Pad.Left, 2760.0f) << "one step, then nothing while paused";
    m.mnuPause_Click();
    takt.vorspulen(15);
    EXPECT_EQ(m.Pad.Left, 2880.0f) << "moves on in the direction it had";
    m.SpielEnde();
    for (const auto& s : ablauf) EXPECT_EQ(s.find("Zeiger"), std::string::npos) << "keyboard play is never confined";
    m.optMaus_Click();
    EXPECT_STAND(rahmen(), (Stand{.mausHaken = false}));
    m.mnuSpielStarten_Click(); // started without forgetting its calls: the start must not clip either
    m.mnuPause_Click();
    m.mnuPause_Click();
    m.SpielEnde();
    EXPECT_EQ(zeiger.clips.size(), 1u) << "unticked, the pointer is left alone";
}

} // namespace
} // namespace qmb::test

// The pad: keyboard steps on the pad timer, placement under the mouse, and the PowerPad.
#include <cmath>

#include "Spielaufbau.h"

namespace qmb::test {
namespace {

using Pad = Spielfeld;

std::vector<float> schritte(frmMain& f, int n) {
    std::vector<float> orte;
    for (int i = 0; i < n; ++i) {
        f.tmrPad_Timer();
        orte.push_back(f.Pad.Left);
    }
    return orte;
}

TEST_F(Pad, TastaturSchrittAufDemRasterBisAnDieWände) {
    form.optTastatur_Click();
    starten();
    form.Form_KeyDown(vbKeyLeft, 0);
    auto orte = schritte(form, 25);
    for (size_t i = 0; i < 19; ++i) EXPECT_EQ(orte[i], 2640.0f - 120.0f * static_cast<float>(i + 1)) << i;
    EXPECT_EQ(orte.back(), 360.0f);
    EXPECT_EQ(orte[18], 360.0f) << "the 19th step reaches the wall";

    form.Form_KeyDown(vbKeyRight, 0); // the other arrow switches at once
    orte = schritte(form, 45);
    EXPECT_EQ(orte[0], 480.0f);
    EXPECT_EQ(orte[36], 4800.0f);
    EXPECT_EQ(orte.back(), 4800.0f);
    for (float o : orte) EXPECT_EQ(std::fmod(o, 120.0f), 0.0f);
}

TEST_F(Pad, OhneRichtungOderMitUnbekannterBleibtEsStehen) {
    form.optTastatur_Click();
    starten();
    for (int32_t r : {0, 3, -1, 7}) {
        form.PadRichtung = r;
        schritte(form, 5);
        EXPECT_EQ(form.Pad.Left, 2640.0f) << r;
    }
}

TEST_F(Pad, NebenDemRasterDarfEinSchrittÜberDieWandGehen) {
    form.optTastatur_Click();
    starten();
    form.Pad.Left = 400;
    form.PadRichtung = 1;
    EXPECT_EQ(schritte(form, 3), (std::vector<float>{280, 280, 280}));
    form.Pad.Left = 4790;
    form.PadRichtung = 2;
    EXPECT_EQ(schritte(form, 3), (std::vector<float>{4910, 4910, 4910}));
}

TEST_F(Pad, MausStelltDasPadMittigUnterDenZeiger) {
    starten();
    const struct {
        float x;
        float left;
    } fälle[] = {
        {3000, 2400},   {3000.5f, 2400}, // 2400.5 goes to the even 2400
        {3001.5f, 2402}, {0, 360},       // against the left wall
        {6390, 4800},   {959, 360},      {961, 361},
        {5399, 4799},   {5401, 4800},
        // Far outside the window (a held button keeps the moves coming):
        // beyond the 16-bit range the pad still goes to the nearer wall.
        {40000, 4800},  {-40000, 360},   {1e9f, 4800}, {-1e9f, 360},
    };
    for (const auto& f : fälle) {
        form.Form_MouseMove(0, 0, f.x, 100);
        EXPECT_EQ(form.Pad.Left, f.left) << f.x;
    }
}

TEST_F(Pad, JedeSteuerungNurInIhremModus) {
    starten(); // mouse mode
    form.Form_KeyDown(vbKeyLeft, 0);
    EXPECT_EQ(form.PadRichtung, 0);
    form.Form_KeyUp(vbKeyLeft, 0);
    form.SpielEnde();

    form.optTastatur_Click();
    starten();
    form.Form_MouseMove(1, 0, 500, 500);
    EXPECT_EQ(form.Pad.Left, 2640.0f);
    form.Form_KeyDown(vbKeyRight, 1); // the shift state changes nothing
    EXPECT_EQ(form.PadRichtung, 2);
}

TEST_F(Pad, ZweiPfeileDerLetzteGewinnt) {
    form.optTastatur_Click();
    starten();
    form.Form_KeyDown(vbKeyLeft, 0);
    form.Form_KeyDown(vbKeyRight, 0);
    EXPECT_EQ(form.PadRichtung, 2);
    form.Form_KeyUp(vbKeyLeft, 0); // not the current direction
    EXPECT_EQ(form.PadRichtung, 2);
    form.Form_KeyUp(vbKeyRight, 0);
    EXPECT_EQ(form.PadRichtung, 0);
}

TEST_F(Pad, PowerPadSolangeEineEingabeGehaltenWird) {
    starten();
    for (int taste : {vbKeySpace, vbKeyDown, vbKeyShift}) {
        form.Form_KeyDown(taste, 0);
        EXPECT_TRUE(form.PowerPad) << taste;
        EXPECT_EQ(form.Pad.FillColor, ROT);
        EXPECT_EQ(form.Pad.BorderColor, ROT);
        form.Form_KeyUp(taste, 0);
        EXPECT_FALSE(form.PowerPad) << taste;
        EXPECT_EQ(form.Pad.FillColor, BLAU);
        EXPECT_EQ(form.Pad.BorderColor, BLAU);
    }
    form.Form_MouseDown(vbRightButton, 0, 0, 0);
    EXPECT_TRUE(form.PowerPad);
    form.Form_MouseUp(vbRightButton, 0, 0, 0);
    EXPECT_FALSE(form.PowerPad);

    // One flag for all inputs: letting go of either one ends the PowerPad.
    form.Form_KeyDown(vbKeyShift, 0);
    form.Form_MouseDown(vbRightButton, 0, 0, 0);
    form.Form_MouseUp(vbRightButton, 0, 0, 0);
    EXPECT_FALSE(form.PowerPad);
    EXPECT_EQ(form.Pad.FillColor, BLAU);
}

TEST_F(Pad, PowerPadZwischenDenSpielen) {
    form.Form_MouseDown(vbRightButton, 0, 0, 0);
    EXPECT_FALSE(form.PowerPad) << "the right button does nothing outside a game";
    form.Form_KeyDown(vbKeyDown, 0); // moving through the settings panel
    EXPECT_TRUE(form.PowerPad);
    EXPECT_EQ(form.Pad.FillColor, ROT);
    form.Form_KeyUp(vbKeyDown, 0);
    EXPECT_TRUE(form.PowerPad) << "a release outside a game changes nothing";
    form.Form_MouseUp(vbRightButton, 0, 0, 0);
    EXPECT_TRUE(form.PowerPad);
    starten();
    EXPECT_TRUE(form.PowerPad);
    EXPECT_EQ(form.Pad.FillColor, ROT);
    form.Form_KeyDown(vbKeySpace, 0);
    form.Form_KeyUp(vbKeySpace, 0);
    EXPECT_FALSE(form.PowerPad);
}

} // namespace
} // namespace qmb::test

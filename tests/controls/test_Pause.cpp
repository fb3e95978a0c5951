// Pause and resume, the control mode and the confinement of the pointer.
#include "Spielaufbau.h"

namespace qmb::test {
namespace {

using Pause = Spielfeld;

TEST_F(Pause, ZweimalStrgPStelltDasSpielWiederHer) {
    starten();
    ASSERT_TRUE(zeiger.clips.empty());
    form.mnuPause_Click();
    EXPECT_TRUE(form.Pausiert);
    EXPECT_TRUE(form.mnuPause.Checked);
    EXPECT_EQ(form.Caption, TITEL_PAUSE);
    EXPECT_EQ(form.MousePointer, vbArrow);
    EXPECT_FALSE(form.tmrBälle.Enabled());
    EXPECT_FALSE(form.tmrBonusse.Enabled());
    EXPECT_FALSE(form.tmrSchüsse.Enabled());
    EXPECT_FALSE(form.tmrPad.Enabled());
    EXPECT_TRUE(form.tmrRand.Enabled()) << "the music plays on";
    ASSERT_EQ(zeiger.clips.size(), 1u);
    EXPECT_FALSE(zeiger.eingesperrt());

    form.mnuPause_Click();
    EXPECT_FALSE(form.Pausiert);
    EXPECT_FALSE(form.mnuPause.Checked);
    EXPECT_EQ(form.Caption, TITEL_SPIEL);
    EXPECT_EQ(form.MousePointer, vbCustom);
    EXPECT_TRUE(form.tmrBälle.Enabled());
    EXPECT_TRUE(form.tmrBonusse.Enabled());
    EXPECT_TRUE(form.tmrSchüsse.Enabled());
    EXPECT_TRUE(form.tmrPad.Enabled()) << "resuming starts the pad timer in mouse mode too";
    EXPECT_TRUE(zeiger.eingesperrt());
    EXPECT_EQ(zeiger.clips.back(), (Rechteck{100, 50, 526, 532}));

    // The pad timer has nothing to do in mouse mode.
    takt.vorspulen(150);
    EXPECT_GT(form.tmrPad.Ticks(), 0u);
    EXPECT_EQ(form.Pad.Left, 2640.0f);
}

TEST_F(Pause, ImStillstandBewegtSichNichts) {
    starten();
    ball(2, 1000, 2000, 50, -100);
    bonus(1, 2, 2000, 1000, 10, 10);
    form.Munition = 5;
    form.Form_KeyDown(vbKeyControl, 0);
    takt.vorspulen(100);
    ASSERT_FALSE(schüsse().empty());
    form.mnuPause_Click();
    const Form ball1 = form.Ball(1), ball2 = form.Ball(2), schuss = form.Schuss(schüsse()[0]);
    const Bild bonus1 = form.Bonus(1);
    const int16_t munition = form.Munition;
    form.Form_MouseMove(0, 0, 500, 500);
    takt.vorspulen(5000);
    EXPECT_EQ(form.Ball(1), ball1);
    EXPECT_EQ(form.Ball(2), ball2);
    EXPECT_EQ(form.Schuss(schüsse()[0]), schuss);
    EXPECT_EQ(form.Bonus(1), bonus1);
    EXPECT_EQ(form.Munition, munition);
    EXPECT_EQ(form.Pad.Left, 2640.0f) << "no steering while paused";
    EXPECT_TRUE(form.Schießen) << "the flag itself keeps its value";
}

TEST_F(Pause, TastaturModusPfeilLosgelassenInDerPauseFährtWeiter) {
    form.optTastatur_Click();
    starten();
    form.Form_KeyDown(vbKeyRight, 0);
    form.tmrPad_Timer();
    ASSERT_EQ(form.Pad.Left, 2760.0f);
    form.mnuPause_Click();
    EXPECT_EQ(form.MousePointer, vbCustom) << "the pointer stays hidden in keyboard mode";
    EXPECT_TRUE(zeiger.clips.empty()) << "keyboard play is never confined";
    form.Form_KeyUp(vbKeyRight, 0); // ignored while paused
    form.Form_KeyDown(vbKeyLeft, 0); // ignored too
    EXPECT_EQ(form.PadRichtung, 2);
    takt.vorspulen(300);
    EXPECT_EQ(form.Pad.Left, 2760.0f);
    form.mnuPause_Click();
    form.tmrPad_Timer();
    EXPECT_EQ(form.Pad.Left, 2880.0f) << "moves on in the stored direction";
    form.Form_KeyDown(vbKeyRight, 0);
    form.Form_KeyUp(vbKeyRight, 0);
    EXPECT_EQ(form.PadRichtung, 0);
}

TEST_F(Pause, SteuerungswahlUndEinsperren) {
    EXPECT_TRUE(form.optMaus.Value);
    EXPECT_EQ(form.chkMaus.Value, 1);
    form.optTastatur_Click();
    EXPECT_TRUE(form.optTastatur.Value);
    EXPECT_FALSE(form.optMaus.Value);
    EXPECT_EQ(form.chkMaus.Value, 0);
    EXPECT_FALSE(form.chkMaus.Enabled);
    form.optMaus_Click();
    EXPECT_TRUE(form.optMaus.Value);
    EXPECT_FALSE(form.optTastatur.Value);
    EXPECT_EQ(form.chkMaus.Value, 0) << "the player has to tick it again";
    EXPECT_TRUE(form.chkMaus.Enabled);

    // Unticked, pausing in mouse mode leaves the pointer alone.
    starten();
    form.mnuPause_Click();
    form.mnuPause_Click();
    EXPECT_TRUE(zeiger.clips.empty());
}

TEST_F(Pause, FreigebenSetztDenDesktopAlsGrenze) {
    zeiger.desktop = {0, 0, 2560, 1440};
    zeiger.ursprung = {700, 300};
    starten();
    form.mnuPause_Click();
    EXPECT_EQ(zeiger.clips.back(), (Rechteck{0, 0, 2560, 1440}));
    form.mnuPause_Click();
    EXPECT_EQ(zeiger.clips.back(), (Rechteck{700, 300, 1126, 782}));
}

} // namespace
} // namespace qmb::test

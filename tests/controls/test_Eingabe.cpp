// Keys and mouse buttons: Esc, the fire inputs, the menu keys between and
// during games, and the score label passing its mouse events on.
#include "Spielaufbau.h"

namespace qmb::test {
namespace {

using Eingabe = Spielfeld;

TEST_F(Eingabe, EscOhneSpielTutNichts) {
    form.Form_KeyDown(vbKeyEscape, 0);
    EXPECT_TRUE(fenster.protokoll.empty());
    EXPECT_EQ(form.Caption, TITEL_START);
}

TEST_F(Eingabe, EscBrichtAbUndMeldetEsDanach) {
    starten();
    bälle(5);
    bool spielLiefBeiDerMeldung = true;
    fenster.beiDialog = [&](const Dialog&) { spielLiefBeiDerMeldung = form.SpielLäuft || einSpielTimerLäuft(); };
    form.Form_KeyDown(vbKeyEscape, 0);
    ASSERT_EQ(fenster.protokoll.size(), 1u);
    const Dialog& d = fenster.protokoll[0];
    EXPECT_EQ(d.art, Dialog::MsgBox);
    EXPECT_EQ(d.prompt, "Das Spiel wurde abgebrochen.");
    EXPECT_EQ(d.titel, "Abbruch durch Spieler");
    EXPECT_EQ(d.symbol, Symbol::Information);
    EXPECT_EQ(d.knoepfe, Knoepfe::OK);
    EXPECT_FALSE(spielLiefBeiDerMeldung);
    EXPECT_EQ(bälleImSpiel(), 0);
    EXPECT_TRUE(liste.anfragen.empty()) << "an aborted game is not offered to the list";
    EXPECT_EQ(form.Rekord, 5);
    EXPECT_TRUE(mci.befehle.empty()) << "the background music plays on";
}

TEST_F(Eingabe, EscInDerPauseBeendetDasSpiel) {
    starten();
    form.mnuPause_Click();
    form.Form_KeyDown(vbKeyEscape, 0);
    EXPECT_FALSE(form.SpielLäuft);
    EXPECT_FALSE(form.Pausiert);
    EXPECT_FALSE(form.mnuPause.Checked);
    EXPECT_EQ(form.Caption, TITEL_START);
    EXPECT_EQ(fenster.nur(Dialog::MsgBox).size(), 1u);
}

TEST_F(Eingabe, FeuertastenSetzenUndLöschenDasFlag) {
    for (int taste : {vbKeyControl, vbKeyC, vbKeyUp}) {
        form.SchussTakt = 4;
        form.Form_KeyDown(taste, 0);
        EXPECT_TRUE(form.Schießen) << taste;
        EXPECT_EQ(form.SchussTakt, 0) << taste;
        form.SchussTakt = 4;
        form.Form_KeyDown(taste, 2); // held: the repeat leaves the cadence alone
        EXPECT_EQ(form.SchussTakt, 4) << taste;
        form.Form_KeyUp(taste, 0);
        EXPECT_FALSE(form.Schießen) << taste;
    }
    // Other keys and buttons do not fire.
    for (int taste : {vbKeyReturn, 65, 113, vbKeySpace}) form.Form_KeyDown(taste, 0);
    form.Form_MouseDown(4, 0, 0, 0);
    EXPECT_FALSE(form.Schießen);
}

TEST_F(Eingabe, StrgPFeuertAuchUndPausiert) {
    starten();
    // The window sends the Ctrl press first, then the menu shortcut.
    form.Form_KeyDown(vbKeyControl, 0);
    form.mnuPause_Click();
    EXPECT_TRUE(form.Schießen);
    EXPECT_TRUE(form.Pausiert);
    form.Form_KeyUp(vbKeyControl, 0);
    EXPECT_FALSE(form.Schießen);
}

TEST_F(Eingabe, MenütastenWirkenNurImRichtigenZustand) {
    // Between games Ctrl+P only puts the pause state back to "no game".
    form.mnuPause_Click();
    EXPECT_FALSE(form.Pausiert);
    EXPECT_FALSE(form.mnuPause.Checked);
    EXPECT_EQ(form.Caption, TITEL_START);
    EXPECT_FALSE(einSpielTimerLäuft());
    EXPECT_FALSE(form.mnuSpielbeenden.Visible) << "F3 has no visible menu item between games";
    EXPECT_FALSE(form.mnuPause.Enabled);

    // During a game F2 is refused.
    starten();
    takt.vorspulen(200);
    const Flugdaten ball = form.BallDaten[1];
    const float top = form.Ball(1).Top;
    form.mnuSpielStarten_Click();
    EXPECT_EQ(form.BallDaten[1], ball);
    EXPECT_EQ(form.Ball(1).Top, top);
    EXPECT_EQ(form.Punkte, 1);
    EXPECT_FALSE(form.mnuSpielStarten.Visible);
}

TEST_F(Eingabe, DasPunktelabelReichtDieMausWeiter) {
    starten();
    form.lblPunkte_MouseMove(0, 0, 2000, 10); // 2000 + 480 under the pointer
    EXPECT_EQ(form.Pad.Left, 1880.0f);
    form.lblPunkte_MouseMove(0, 0, 0.5f, 0); // 480.5 - 600 rounds to -120: against the wall
    EXPECT_EQ(form.Pad.Left, 360.0f);
    form.lblPunkte_MouseDown(vbLeftButton, 0, 5, 5);
    EXPECT_TRUE(form.Schießen);
    form.lblPunkte_MouseDown(vbRightButton, 0, 5, 5);
    EXPECT_TRUE(form.PowerPad);
    form.lblPunkte_MouseUp(vbLeftButton, 0, 5, 5);
    EXPECT_FALSE(form.Schießen);
    form.lblPunkte_MouseUp(vbRightButton, 0, 5, 5);
    EXPECT_FALSE(form.PowerPad);
}

TEST_F(Eingabe, LinkeMaustasteAuchOhneSpiel) {
    form.SchussTakt = 3;
    form.Form_MouseDown(vbLeftButton, 0, 0, 0);
    EXPECT_TRUE(form.Schießen);
    EXPECT_EQ(form.SchussTakt, 0);
    starten();
    EXPECT_FALSE(form.Schießen) << "a start clears the fire flag";
}

} // namespace
} // namespace qmb::test

// Keys and mouse. The handlers only set the flags that the timers read
// (direction, fire, PowerPad); their own actions are placing the pad under
// the mouse in mouse mode and aborting the game with Esc.
#include "game/frmMain.h"
#include "platform/Zahlen.h"

namespace qmb {

void frmMain::Form_KeyDown(int KeyCode, int /*Shift*/) {
    switch (KeyCode) {
    case vbKeyEscape:
        if (SpielLäuft) {
            SpielEnde();
            // Closed while the game was being ended: nothing left to tell.
            if (!Entladen())
                d.fenster.MsgBox("Das Spiel wurde abgebrochen.", Knöpfe::OK, Symbol::Information,
                                 "Abbruch durch Spieler");
        }
        break;
    case vbKeySpace:
    case vbKeyDown:
    case vbKeyShift: PowerPadAn(); break;
    case vbKeyControl:
    case vbKeyC:
    case vbKeyUp:
        // Only the first key-down of a press starts the cadence anew; the
        // auto-repeated ones leave it running.
        if (!Schießen) SchussTakt = 0;
        Schießen = true;
        break;
    default: break;
    }
    if (optTastatur.Value && SpielLäuft && !Pausiert) {
        if (KeyCode == vbKeyLeft) PadLenken(1);
        if (KeyCode == vbKeyRight) PadLenken(2);
    }
}

void frmMain::Form_KeyUp(int KeyCode, int /*Shift*/) {
    switch (KeyCode) {
    case vbKeySpace:
    case vbKeyDown:
    case vbKeyShift:
        if (SpielLäuft) PowerPadAus();
        break;
    case vbKeyControl:
    case vbKeyC:
    case vbKeyUp: Schießen = false; break;
    default: break;
    }
    if (optTastatur.Value && SpielLäuft && !Pausiert) {
        if (KeyCode == vbKeyRight && PadRichtung == 2) PadLenken(0);
        if (KeyCode == vbKeyLeft && PadRichtung == 1) PadLenken(0);
    }
}

void frmMain::Form_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == vbRightButton) {
        if (SpielLäuft) PowerPadAn();
    } else if (Button == vbLeftButton) {
        Schießen = true;
        SchussTakt = 0;
    }
}

void frmMain::Form_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == vbRightButton) {
        if (SpielLäuft) PowerPadAus();
    } else if (Button == vbLeftButton) {
        Schießen = false;
    }
}

void frmMain::Form_MouseMove(int /*Button*/, int /*Shift*/, float X, float /*Y*/) {
    if (!(optMaus.Value && SpielLäuft && !Pausiert)) return;
    // A pointer far outside the window saturates to the 16-bit limits and so
    // lands against the nearer wall.
    Pad.Left = nearest16(static_cast<double>(X) - Pad.Width / 2.0);
    if (Pad.Left < Links.X1) Pad.Left = Links.X1;
    if (einfach(static_cast<double>(Pad.Left) + Pad.Width) > Rechts.X1)
        Pad.Left = einfach(static_cast<double>(Rechts.X1) - Pad.Width);
}

// The score label lies over the playfield and passes its mouse events on,
// movement in the window's coordinates, so that mouse control works across it.
void frmMain::lblPunkte_MouseDown(int Button, int Shift, float X, float Y) { Form_MouseDown(Button, Shift, X, Y); }
void frmMain::lblPunkte_MouseUp(int Button, int Shift, float X, float Y) { Form_MouseUp(Button, Shift, X, Y); }
void frmMain::lblPunkte_MouseMove(int Button, int Shift, float X, float Y) {
    Form_MouseMove(Button, Shift, einfach(static_cast<double>(X) + lblPunkte.Left),
                   einfach(static_cast<double>(Y) + lblPunkte.Top));
}

} // namespace qmb

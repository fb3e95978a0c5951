// The pad: steps of PAD_SCHRITT on the pad timer in keyboard mode, and the
// PowerPad, which lasts exactly as long as a PowerPad input is held.
#include "game/Regeln.h"
#include "game/frmMain.h"
#include "platform/Zahlen.h"

namespace qmb {

void frmMain::tmrPad_Timer() {
    const int32_t richtung = PadRichtung;
    if (richtung == 1) {
        if (Pad.Left > Links.X1) Pad.Left = einfach(static_cast<double>(Pad.Left) - PAD_SCHRITT);
    } else if (richtung == 2) {
        if (einfach(static_cast<double>(Pad.Left) + Pad.Width) < Rechts.X1)
            Pad.Left = einfach(static_cast<double>(Pad.Left) + PAD_SCHRITT);
    }
}

// Every direction the pad gets goes through here: its timer moves it only
// while there is one, and rests (sleeps on the desktop) while there is none.
void frmMain::PadLenken(int32_t Richtung) {
    PadRichtung = Richtung;
    tmrPad.setRuhend(Richtung == 0);
}

void frmMain::PowerPadAn() {
    PowerPad = true;
    Pad.FillColor = ROT;
    Pad.BorderColor = ROT;
}

void frmMain::PowerPadAus() {
    PowerPad = false;
    Pad.FillColor = BLAU;
    Pad.BorderColor = BLAU;
}

} // namespace qmb

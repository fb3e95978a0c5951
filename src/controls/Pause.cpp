// Pausing and resuming a running game (Ctrl+P).
#include "game/frmMain.h"

namespace qmb {

void frmMain::mnuPause_Click() {
    if (!SpielLäuft) {
        Pausiert = false;
        mnuPause.Checked = false;
        Caption = TITEL_START;
        return;
    }
    // The music watch is left alone: the music plays on during a pause.
    tmrBälle.setEnabled(Pausiert);
    tmrBonusse.setEnabled(Pausiert);
    tmrPad.setEnabled(Pausiert);
    tmrSchüsse.setEnabled(Pausiert);
    Pausiert = !Pausiert;
    mnuPause.Checked = Pausiert;
    Caption = Pausiert ? TITEL_PAUSE : TITEL_SPIEL;
    if (optMaus.Value) MousePointer = Pausiert ? vbArrow : vbCustom;
    if (chkMaus.Value == 1) MausEinsperren(!Pausiert);
}

} // namespace qmb

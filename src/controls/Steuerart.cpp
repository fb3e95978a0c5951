// The choice of control mode on the settings panel, and the confinement of
// the pointer to the playfield while a game runs in mouse mode.
#include "game/frmMain.h"

namespace qmb {

void frmMain::optTastatur_Click() {
    optTastatur.Value = true;
    optMaus.Value = false;
    // Keyboard play never confines the pointer.
    chkMaus.Enabled = false;
    chkMaus.Value = 0;
}

void frmMain::optMaus_Click() {
    optMaus.Value = true;
    optTastatur.Value = false;
    chkMaus.Enabled = true;
}

Rechteck frmMain::GetClientScreenRect() {
    const Rechteck client = d.zeiger.GetClientRect();
    const Punkt obenLinks = d.zeiger.ClientToScreen({client.left, client.top});
    const Punkt untenRechts = d.zeiger.ClientToScreen({client.right, client.bottom});
    return {obenLinks.x, obenLinks.y, untenRechts.x, untenRechts.y};
}

void frmMain::MausEinsperren(bool Einsperren) {
    if (Einsperren)
        d.zeiger.ClipCursor(GetClientScreenRect());
    else
        d.zeiger.ClipCursor(d.zeiger.GetDesktopClientRect());
}

} // namespace qmb

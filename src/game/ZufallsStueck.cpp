// Background music: a random piece, the watch that starts the next one when a
// piece has ended during a game, and the two items of the audio menu.
#include "game/frmMain.h"
#include "platform/Zahlen.h"
#include "sound/modSound.h"

namespace qmb {

void frmMain::ZufallsStück() {
    d.zufall.Randomize(d.uhr.Timer());
    d.fenster.DoEvents();
    sound.MciSchließen("qmbgame");
    const float r = d.zufall.Rnd();
    // Rounding halves to even makes pieces 2 and 3 twice as likely as 1 and 4.
    const int16_t i = nearest16(static_cast<double>(r) * (4 - 1) + 1);
    sound.MciSpielen(sound.Lieder[static_cast<size_t>(i)], "qmbgame");
}

void frmMain::tmrRand_Timer() {
    d.zufall.Randomize(d.uhr.Timer());
    if (sound.StückZuEnde("qmbgame")) ZufallsStück();
}

void frmMain::mnuMusik_Click() {
    sound.MusikAn = !sound.MusikAn;
    mnuMusik.Checked = sound.MusikAn;
    if (sound.MusikAn)
        ZufallsStück();
    else
        sound.MciSchließen("qmbgame");
}

void frmMain::mnuNächsterSong_Click() { ZufallsStück(); }

} // namespace qmb

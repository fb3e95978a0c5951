// Background music: a random piece, the watch that starts the next one when a
// piece has ended during a game, and the two items of the audio menu.
#include "game/frmMain.h"
#include "platform/Zahlen.h"
#include "sound/modSound.h"

namespace qmb {

void frmMain::ZufallsStück() {
    d.zufall.Randomize(d.uhr.Timer());
    d.fenster.DoEvents();
    sound.MciSchließen(ALIAS_MUSIK);
    const float r = d.zufall.Rnd();
    // Rounding halves to even makes pieces 2 and 3 twice as likely as 1 and 4.
    const int16_t i = nearest16(static_cast<double>(r) * (LIEDER - 1) + 1);
    sound.MciSpielen(sound.Lieder[static_cast<size_t>(i)], ALIAS_MUSIK);
}

void frmMain::tmrRand_Timer() {
    d.zufall.Randomize(d.uhr.Timer());
    if (sound.StückZuEnde(ALIAS_MUSIK)) ZufallsStück();
}

void frmMain::mnuMusik_Click() {
    sound.MusikAn = !sound.MusikAn;
    mnuMusik.Checked = sound.MusikAn;
    if (sound.MusikAn)
        ZufallsStück();
    else
        sound.MciSchließen(ALIAS_MUSIK);
}

void frmMain::mnuNächsterSong_Click() { ZufallsStück(); }

} // namespace qmb

// Loading and closing the main window, and the buttons and menu items that
// only pass on to the game's procedures.
#include "app/Anleitung.h"
#include "game/frmMain.h"
#include "sound/modSound.h"

namespace qmb {

void frmMain::Form_Load() {
    if (phase_ != Phase::Neu) return;
    sound.SoundInitialisieren();
    ZufallsStück();
    for (int i = 1; i <= BALLPLÄTZE; ++i) Ball.Load(i);
    for (int i = 1; i <= BONUSPLÄTZE; ++i) Bonus.Load(i);
    MausEinsperren(false);
    liste.HighscoreDateiSetzen();
    phase_ = Phase::Geladen;
}

void frmMain::Form_Unload() {
    if (Entladen()) return;
    phase_ = Phase::Entladen;
    // A running game dies with the window: no tick may run on a closed one.
    tmrBälle.setEnabled(false);
    tmrBonusse.setEnabled(false);
    tmrSchüsse.setEnabled(false);
    tmrPad.setEnabled(false);
    tmrRand.setEnabled(false);
    MausEinsperren(false);
    d.fenster.Zeigen(Fenster::About, false);
    sound.SoundBeenden();
}

void frmMain::Unload() { Form_Unload(); }

void frmMain::cmdLos_Click() { SpielStarten(); }
void frmMain::cmdHilfe_Click() { mnuAnleitung_Click(); }
void frmMain::cmdBeenden_Click() { Unload(); }
void frmMain::mnuSpielStarten_Click() { SpielStarten(); }
void frmMain::mnuSpielbeenden_Click() { SpielEnde(); }
void frmMain::mnuQMBBeenden_Click() { Unload(); }
void frmMain::mnuHighScore_Click() { d.fenster.Zeigen(Fenster::HighScore, true); }
void frmMain::mnuAbout_Click() { d.fenster.Zeigen(Fenster::About, true); }

void frmMain::mnuAnleitung_Click() {
    // The game runs on while the instructions are open.
    d.fenster.MsgBox(AnleitungText(), Knöpfe::OK, Symbol::Information, ANLEITUNG_TITEL);
}

} // namespace qmb

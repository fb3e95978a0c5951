#include "app/qt/Programm.h"

#include <QApplication>

#include "app/qt/HauptFenster.h"
#include "app/qt/Spielfeld.h"
#include "highscore/qt/frmHighScore.h"
#include "sound/player/Musikspieler.h"

namespace qmb {

Programm::Programm(std::unique_ptr<Befehlsschnittstelle> musik)
    : musik_(musik ? std::move(musik) : erzeugeMusikspieler()), sound_(*musik_, programm_, dienste_),
      liste_(programm_, dienste_) {
    modell_ = std::make_unique<frmMain>(Dienste{dienste_, zufall_, uhr_, zeiger_}, sound_, liste_);
    frmMain& m = *modell_;
    for (Zeitgeber* z : {&m.tmrBälle, &m.tmrBonusse, &m.tmrSchüsse, &m.tmrPad, &m.tmrRand}) treiber_.anmelden(*z);
    fenster_ = new HauptFenster(m);
    fenster_->setAttribute(Qt::WA_DeleteOnClose, false);
    zeiger_.setSpielfeld(fenster_->feld());
    // X11 and Windows confine the pointer to a window of its own: the
    // playfield gets one there (it must, before it is first shown), so that
    // the menu bar stays out of reach. Elsewhere it is a plain widget.
    if (zeiger_.brauchtEigenesFenster()) fenster_->feld()->setAttribute(Qt::WA_NativeWindow);
    fenster_->setEinsperrbar(zeiger_.hinderungsgrund());
    fenster_->feld()->anteil = [this](const Zeitgeber& z) { return treiber_.anteil(z); };
    dienste_.setEltern(fenster_);
    // The window shows the game as it is whenever events are let in or a
    // dialog opens, and after every tick.
    dienste_.vorEreignissen = [this] { fenster_->spiegeln(); };
    treiber_.nachTick = [this](Zeitgeber&) { fenster_->spiegeln(); };
    dienste_.fensterZeigen = [this](Fenster f, bool modal) { zeigen(f, modal); };
}

Programm::~Programm() {
    delete about_.data();
    delete fenster_;
}

void Programm::starten() {
    modell_->Form_Load();
    fenster_->spiegeln();
    fenster_->show();
    // Without a window manager the window would not get the keyboard.
    fenster_->activateWindow();
    fenster_->raise();
}

void Programm::zeigen(Fenster f, bool modal) {
    if (f == Fenster::HighScore) {
        fenster_->spiegeln();
        frmHighScoreZeigen(liste_, dienste_, fenster_);
        return;
    }
    // One about window for the program's life, created on first use. It has
    // no parent: shown at the close of the main window it is the last window
    // left, and closing it ends the program.
    if (!about_) {
        about_ = new frmAbout(dienste_, shell_);
        about_->setWindowIcon(QApplication::windowIcon());
    }
    if (modal) {
        fenster_->spiegeln();
        about_->setWindowModality(Qt::ApplicationModal);
        about_->exec();
        about_->setWindowModality(Qt::NonModal);
    } else {
        about_->setWindowModality(Qt::NonModal);
        about_->show();
        about_->raise();
        about_->activateWindow();
    }
}

} // namespace qmb

#pragma once
// The whole program, wired: the ports with their Qt implementations, the
// music, the high-score list, the game model and its windows. main() makes
// one; the whole-program tests and the soak harness make one too.
#include <memory>

#include <QPointer>

#include "app/qt/frmAbout.h"
#include "game/frmMain.h"
#include "highscore/modQuambel.h"
#include "platform/Befehlsschnittstelle.h"
#include "platform/Zufall.h"
#include "platform/qt/QtFensterdienste.h"
#include "platform/qt/QtProgramm.h"
#include "platform/qt/QtShell.h"
#include "platform/qt/QtZeiger.h"
#include "platform/qt/QtZeitgeber.h"
#include "sound/modSound.h"

namespace qmb {

class HauptFenster;

class Programm {
public:
    // `musik` is the command port of the music; null takes the real player.
    explicit Programm(std::unique_ptr<Befehlsschnittstelle> musik = nullptr);
    ~Programm();

    // Loads the main window (music, game objects, high-score file) and shows it.
    void starten();

    frmMain& modell() { return *modell_; }
    HauptFenster& fenster() { return *fenster_; }
    QtZeitgeberTreiber& zeitgeber() { return treiber_; }
    modQuambel& liste() { return liste_; }
    modSound& sound() { return sound_; }
    frmAbout* about() { return about_; }

private:
    void zeigen(Fenster f, bool modal);

    QtFensterdienste dienste_;
    Generator24 zufall_;
    Systemzeit uhr_;
    QtZeiger zeiger_;
    QtProgramm programm_;
    QtShell shell_;
    std::unique_ptr<Befehlsschnittstelle> musik_;
    modSound sound_;
    modQuambel liste_;
    std::unique_ptr<frmMain> modell_;
    QtZeitgeberTreiber treiber_;
    HauptFenster* fenster_ = nullptr;
    QPointer<frmAbout> about_;
};

} // namespace qmb

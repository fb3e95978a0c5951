#pragma once
// A main window model over stand-in ports with every ball and bonus loaded,
// for tests and benchmarks that do not drive the timers.
#include "Attrappen.h"
#include "game/frmMain.h"
#include "sound/modSound.h"

namespace qmb::test {

struct Modell {
    SkriptFenster fenster;
    FesterZufall zufall;
    FesteZeit uhr;
    ZeigerProtokoll zeiger;
    BefehlsProtokoll mci;
    TestProgramm programm;
    modSound sound{mci, programm, fenster};
    LeereListe liste;
    frmMain m{Dienste{fenster, zufall, uhr, zeiger}, sound, liste};
    Modell() {
        for (int i = 1; i <= 100; ++i) m.Ball.Load(i);
        for (int i = 1; i <= 10; ++i) m.Bonus.Load(i);
    }
};

} // namespace qmb::test

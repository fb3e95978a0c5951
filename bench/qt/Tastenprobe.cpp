// quambel_tastenprobe: the real program (model, Qt view, timers, the key
// handling of every window) for measuring held keys under real X events.
// It keeps the first ball over the pad (through the mouse's path, in mouse
// mode), so that a game lasts, and prints one line per fire key held:
//
//   Feuer <ms held> ms: <shots> Schüsse
//
// Drive it with xdotool: F2, then `keydown Up`, wait, `keyup Up`. With the
// rules' one shot every seventh 30 ms tick, 3 s held give 15 shots.
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "app/qt/Anwendung.h"
#include "app/qt/HauptFenster.h"
#include "app/qt/Programm.h"
#include "game/frmMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTranslator deutsch;
    qmb::anwendungEinrichten(deutsch, "probe");
    qmb::Programm programm(nullptr);
    qmb::frmMain& m = programm.modell();
    using Uhr = std::chrono::steady_clock;
    Uhr::time_point ab;
    int16_t munition = 0;
    bool schoss = false;
    programm.zeitgeber().vorTick = [&](qmb::Zeitgeber& z) {
        if (!m.SpielLäuft) return;
        if (&z == &m.tmrBälle) {
            // The pad under the first ball in play.
            for (int i = 1; i <= qmb::BALLPLÄTZE; ++i)
                if (m.BallDaten[static_cast<size_t>(i)].Aktiv) {
                    m.Form_MouseMove(0, 0, m.Ball(i).Left + m.Ball(i).Width / 2, 3000);
                    break;
                }
        }
        if (m.Schießen && !schoss) ab = Uhr::now(), munition = m.Munition;
        if (!m.Schießen && schoss) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Uhr::now() - ab).count();
            std::printf("Feuer %lld ms: %d Schüsse\n", static_cast<long long>(ms), munition - m.Munition);
            std::fflush(stdout);
        }
        schoss = m.Schießen;
    };
    programm.starten();
    return app.exec();
}

// Quambel: keep as many balls in the air as you can.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QTranslator>

#include "app/qt/Anwendung.h"
#include "app/qt/Beendensignal.h"
#include "app/qt/HauptFenster.h"
#include "app/qt/Programm.h"
#include "app/qt/Spielfeld.h"
#include "platform/Systemdienste.h"

#ifndef QUAMBEL_VERSION
#define QUAMBEL_VERSION "0"
#endif

namespace {

// While the application object is made, Qt's platform messages are held back:
// if no display can be reached Qt ends with a fatal message (an abort, a core
// file and three lines of English); the player gets one German line and exit
// code 1 instead. When the display is there, the held messages go out as usual.
std::vector<std::string> zurückgehalten;
QtMessageHandler vorheriger = nullptr;

void beimStart(QtMsgType typ, const QMessageLogContext& ort, const QString& text) {
    if (typ == QtFatalMsg) {
        // Both ways to a desktop: X11 and Wayland.
        auto wert = [](const char* name) {
            const char* w = std::getenv(name);
            return w != nullptr && *w != '\0' ? w : "nicht gesetzt";
        };
        std::fprintf(stderr,
                     "Quambel: Keine Anzeige erreichbar (DISPLAY=%s, WAYLAND_DISPLAY=%s); das Spiel braucht eine "
                     "grafische Oberfläche.\n",
                     wert("DISPLAY"), wert("WAYLAND_DISPLAY"));
        std::_Exit(1);
    }
    zurückgehalten.push_back(qFormatLogMessage(typ, ort, text).toStdString());
}

// Qt ends the program itself when the display goes away: the xcb plugin
// says "The X11 connection broke" and calls exit(1), which runs the atexit
// functions; the wayland plugin says "The Wayland connection broke" (or
// "... experienced a fatal error") and calls _exit(1), which runs nothing,
// so its message is the last moment to act. Either way the music folder is
// removed, as at the window's close; the player may be gone, so nothing is
// asked of it. The wayland plugin may say so on its event thread: the
// folder is taken over by exactly one caller.
// The main thread may learn of a lost connection at the same time: it waits
// for the clean-up the other began, for Qt ends the process as soon as the
// message handler returns.
std::atomic<qmb::modSound*> musikBeimEnde{nullptr};
std::atomic<bool> musikGeräumt{false};

void musikordnerRäumen() {
    if (qmb::modSound* sound = musikBeimEnde.exchange(nullptr)) {
        sound->MusikordnerRäumen();
        musikGeräumt = true;
        return;
    }
    for (int i = 0; i < 2000 && !musikGeräumt; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void nachDemStart(QtMsgType typ, const QMessageLogContext& ort, const QString& text) {
    // (Warning or fatal, as the plugin's version has it.)
    if ((typ == QtWarningMsg || typ == QtFatalMsg) && (text.startsWith(QLatin1String("The Wayland connection")) ||
                                                       text.startsWith(QLatin1String("The X11 connection broke"))))
        musikordnerRäumen();
    vorheriger(typ, ort, text);
}

} // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    bool nurTakte = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--nur-takte") == 0) nurTakte = true;
        if (std::strcmp(argv[i], "--version") == 0) {
            qmb::konsoleAnbinden();
            std::printf("Quambel %s\n", QUAMBEL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            qmb::konsoleAnbinden();
            std::printf(
                "Aufruf: quambel [--nur-takte] [--version] [--help] – ein Ballspiel; Anleitung im Spiel mit F1; "
                "--nur-takte zeichnet die Bälle nur zu den Spieltakten statt flüssig in der Bildwiederholrate.\n");
            return 0;
        }
    }
    vorheriger = qInstallMessageHandler(beimStart);
    QApplication app(argc, argv);
    qInstallMessageHandler(vorheriger);
    for (const auto& zeile : zurückgehalten) std::fprintf(stderr, "%s\n", zeile.c_str());
    QTranslator qtDeutsch;
    qmb::anwendungEinrichten(qtDeutsch, QUAMBEL_VERSION);

    qmb::Programm programm;
    programm.fenster().feld()->setFlüssig(!nurTakte);
    // A logout or a kill ends the program as closing its window does.
    qmb::beiBeendenSignal([&programm] { programm.fenster().close(); });
    musikBeimEnde = &programm.sound();
    std::atexit(musikordnerRäumen);
    qInstallMessageHandler(nachDemStart);
    programm.starten();
    const int status = app.exec();
    // Closed as usual: the window's close has cleaned up, and the music
    // module goes with `programm` before the atexit functions run.
    musikBeimEnde = nullptr;
    return status;
}

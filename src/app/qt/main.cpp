// Quambel: keep as many balls in the air as you can.
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QTranslator>

#include "app/qt/Anwendung.h"
#include "app/qt/Programm.h"

#ifndef QUAMBEL_VERSION
#define QUAMBEL_VERSION "0"
#endif

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Quambel %s\n", QUAMBEL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Aufruf: quambel [--version] [--help] – ein Ballspiel; Anleitung im Spiel mit F1.\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QTranslator qtDeutsch;
    qmb::anwendungEinrichten(qtDeutsch, QUAMBEL_VERSION);

    qmb::Programm programm;
    programm.starten();
    return app.exec();
}

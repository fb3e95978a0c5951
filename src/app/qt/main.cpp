// Quambel: keep as many balls in the air as you can.
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/qt/Programm.h"

#ifndef QUAMBEL_VERSION
#define QUAMBEL_VERSION "0"
#endif

namespace {

// The fonts the window layout names, or their closest free look-alikes.
void schriftenEinrichten() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Wine ships an "MS Sans Serif" that fontconfig does not list.
    for (const char* pfad : {"/usr/share/wine/fonts/ms_sans_serif.ttf", "/usr/share/fonts/truetype/wine/ms_sans_serif.ttf"})
        if (QFile::exists(QString::fromLatin1(pfad))) {
            QFontDatabase::addApplicationFont(QString::fromLatin1(pfad));
            break;
        }
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans")});
#endif
}

} // namespace

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
    QApplication::setOrganizationName(QStringLiteral("Quambel"));
    QApplication::setApplicationName(QStringLiteral("Quambel"));
    QApplication::setApplicationVersion(QStringLiteral(QUAMBEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quambel"));
    Q_INIT_RESOURCE(bilder); // the pictures sit in a static library
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/bilder/quambel.svg")));

    // German standard buttons ("Ja", "Nein", "Abbrechen") whatever the
    // system's language: the whole game speaks German.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTranslator qtDeutsch;
    if (qtDeutsch.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtDeutsch);
    schriftenEinrichten();

    qmb::Programm programm;
    programm.starten();
    return app.exec();
}

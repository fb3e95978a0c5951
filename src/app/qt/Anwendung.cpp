#include "app/qt/Anwendung.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

#include "app/qt/Bilder.h"
#include "platform/qt/Schriften.h"
#include "platform/qt/Tasten.h"

void bilderEinbinden() { Q_INIT_RESOURCE(bilder); }

namespace {

// Message and input boxes and the menus in the dialog font at 8 point, as
// the settings panel: one plain look across the program's windows.
void schriftenEinrichten() {
    // From schrift(), which picks a scalable font: a bitmap font (Wine's
    // "MS Sans Serif" has three sizes only) draws small glyphs spread apart
    // at 18 pixels or on a 2x screen.
    QApplication::setFont(qmb::schrift(qmb::Schriftart::Dialog, 8));
}

} // namespace

namespace qmb {

void anwendungEinrichten(QTranslator& deutsch, const char* version) {
    ::bilderEinbinden();
    QApplication::setOrganizationName(QStringLiteral("Quambel"));
    QApplication::setApplicationName(QStringLiteral("Quambel"));
    QApplication::setApplicationVersion(QString::fromLatin1(version));
    // The application id, the desktop entry's name: Wayland matches the window to
    // its launcher entry and icon by it.
    QApplication::setDesktopFileName(QStringLiteral("example.quambel.Quambel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/bilder/quambel.svg")));

    // German standard buttons ("Ja", "Nein", "Abbrechen") whatever the
    // system's language: the whole game speaks German.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (deutsch.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&deutsch);
    schriftenEinrichten();
    // Held keys arrive as held keys in every window of the program.
    new Wiederholungen(qApp);
}

} // namespace qmb

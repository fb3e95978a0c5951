#include "app/qt/Anwendung.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

#include "app/qt/Bilder.h"

void bilderEinbinden() { Q_INIT_RESOURCE(bilder); }

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
}

} // namespace qmb

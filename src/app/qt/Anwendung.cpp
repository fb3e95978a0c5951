#include "app/qt/Anwendung.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QProxyStyle>

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

// The buttons of message and input boxes with pictures of our own, crisp at
// every scale, where the desktop shows pictures on buttons at all: the
// built-in ones are small bitmaps that blur when scaled up.
class KnopfStil : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap bild, const QStyleOption* o, const QWidget* w) const override {
        switch (bild) {
        case SP_DialogOkButton:
        case SP_DialogYesButton: return QIcon(QStringLiteral(":/bilder/Haken.svg"));
        case SP_DialogNoButton:
        case SP_DialogCancelButton: return QIcon(QStringLiteral(":/bilder/Kreuz.svg"));
        default: return QProxyStyle::standardIcon(bild, o, w);
        }
    }
};

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
    QApplication::setStyle(new KnopfStil);
    // Held keys arrive as held keys in every window of the program.
    new Wiederholungen(qApp);
}

} // namespace qmb

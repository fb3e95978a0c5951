#include "platform/qt/QtShell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace qmb {

bool QtShell::ShellAusführen(const std::string& Datei, int32_t, const std::string& Aktion) {
    // Qt hands the address to the desktop (xdg-open); there is no way to ask
    // for a maximized window, and only opening is needed.
    if (Aktion != "open") return false;
    const QUrl ziel(QString::fromStdString(Datei), QUrl::StrictMode);
    if (!ziel.isValid()) return false;
    return QDesktopServices::openUrl(ziel);
}

} // namespace qmb

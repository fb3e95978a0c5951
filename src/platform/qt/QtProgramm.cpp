#include "platform/qt/QtProgramm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#if defined(QUAMBEL_MUSIKDATEN)
#include "musik/Musikressourcen.h"
#endif

namespace qmb {

namespace {
std::string ohneTrenner(QString pfad) {
    pfad = QDir::toNativeSeparators(QDir::cleanPath(pfad));
    while (pfad.size() > 1 && (pfad.endsWith(QLatin1Char('/')) || pfad.endsWith(QLatin1Char('\\')))) pfad.chop(1);
    return pfad.toStdString();
}

// The runtime folder belongs to this user alone (mode 0700 by the login
// session); empty when there is none to use.
std::string laufzeitOrdner() {
    const QByteArray laufzeit = qgetenv("XDG_RUNTIME_DIR");
    if (laufzeit.isEmpty()) return {};
    const QFileInfo info(QString::fromLocal8Bit(laufzeit));
    return info.isAbsolute() && info.isDir() && info.isWritable() ? ohneTrenner(info.absoluteFilePath())
                                                                  : std::string();
}
} // namespace

std::string QtProgramm::AppPath() { return ohneTrenner(QCoreApplication::applicationDirPath()); }

std::span<const unsigned char> QtProgramm::LoadResData(int id, const std::string& typ) {
#if defined(QUAMBEL_MUSIKDATEN)
    if (typ == "CUSTOM") return Musikressource(id);
#else
    (void)id;
    (void)typ;
#endif
    return {};
}

std::string QtProgramm::Benutzerdatenordner() {
    return ohneTrenner(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool QtProgramm::Installiert() {
#if defined(Q_OS_UNIX)
    const QString ordner = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    return ordner.startsWith(QLatin1String("/usr/")) || ordner.startsWith(QLatin1String("/opt/"));
#else
    return false;
#endif
}

std::string QtProgramm::TempOrdner() {
    // The shared /tmp is the fallback (on Windows the profile's %TEMP%).
    const std::string laufzeit = laufzeitOrdner();
    return laufzeit.empty() ? ohneTrenner(QDir::tempPath()) : laufzeit;
}

bool QtProgramm::TempOrdnerGeteilt() {
#if defined(Q_OS_UNIX)
    return laufzeitOrdner().empty();
#else
    return false; // %TEMP% lies in the user's own profile
#endif
}

} // namespace qmb

#include "platform/qt/Schriften.h"

#include <cmath>

#include <QStringList>

namespace qmb {

QFont schrift(Schriftart art, double punkt, bool fett) {
    QFont f;
#if defined(Q_OS_WIN)
    // Windows has scalable fonts of its own for each kind.
    switch (art) {
    case Schriftart::Dialog:
        f.setFamilies(QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial")});
        break;
    case Schriftart::Arial: f.setFamilies(QStringList{QStringLiteral("Arial")}); break;
    case Schriftart::Comic: f.setFamilies(QStringList{QStringLiteral("Comic Sans MS"), QStringLiteral("Arial")}); break;
    }
#else
    // Free fonts of the same measure: Liberation Sans has Arial's metrics
    // and comes closest to Microsoft Sans Serif too (Wine's "MS Sans Serif"
    // is a bitmap font that cannot scale); Comic Neue is drawn after Comic Sans.
    const QString ersatz = QStringLiteral("DejaVu Sans");
    switch (art) {
    case Schriftart::Dialog:
    case Schriftart::Arial:
        f.setFamilies(QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), ersatz});
        break;
    case Schriftart::Comic: f.setFamilies(QStringList{QStringLiteral("Comic Neue"), ersatz}); break;
    }
#endif
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(static_cast<int>(std::lround(punkt * 96.0 / 72.0)));
    f.setBold(fett);
    return f;
}

} // namespace qmb

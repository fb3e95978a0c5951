#include "platform/qt/Bildflaeche.h"

#include <QGuiApplication>

namespace qmb {

std::unique_ptr<Bildfläche> eigeneBildfläche(QWidget* widget, Bildfläche::Malen malen) {
    [[maybe_unused]] const QString plattform = QGuiApplication::platformName();
#if defined(QUAMBEL_X11)
    if (plattform == QLatin1String("xcb")) return x11Bildfläche(widget, std::move(malen));
#endif
#if defined(QUAMBEL_WAYLAND)
    if (plattform.startsWith(QLatin1String("wayland"))) return waylandBildfläche(widget, std::move(malen));
#endif
    return nullptr;
}

} // namespace qmb

#include "platform/qt/QtZeiger.h"

#include <QGuiApplication>
#include <QScreen>

namespace qmb {

Rechteck QtZeiger::GetClientRect() {
    if (!feld_) return {};
    return {0, 0, feld_->width(), feld_->height()};
}

Rechteck QtZeiger::GetDesktopClientRect() {
    QScreen* s = feld_ && feld_->screen() ? feld_->screen() : QGuiApplication::primaryScreen();
    if (!s) return {};
    const QRect g = s->virtualGeometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

Punkt QtZeiger::ClientToScreen(Punkt p) {
    if (!feld_) return p;
    const QPoint q = feld_->mapToGlobal(QPoint(p.x, p.y));
    return {q.x(), q.y()};
}

void QtZeiger::ClipCursor(const Rechteck& r) {
    const Rechteck desktop = GetDesktopClientRect();
    const bool ganz = r.left <= desktop.left && r.top <= desktop.top && r.right >= desktop.right &&
                      r.bottom >= desktop.bottom;
    if (ganz || !feld_ || !feld_->isVisible()) {
        if (eingesperrt_) zeigerFreigeben();
        eingesperrt_ = false;
        return;
    }
    eingesperrt_ = zeigerFesthalten(feld_);
}

} // namespace qmb

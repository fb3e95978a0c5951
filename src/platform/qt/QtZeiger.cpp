#include "platform/qt/QtZeiger.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace qmb {

namespace {
// The offscreen platform has no pointer to hold.
class KeineEinsperrung : public Einsperrung {
public:
    bool festhalten(QWidget*) override { return false; }
    void freigeben() override {}
};
} // namespace

std::unique_ptr<Einsperrung> einsperrungFür(const QString& plattform) {
#if defined(Q_OS_WIN)
    if (plattform == QLatin1String("windows")) return windowsEinsperrung();
#endif
#if defined(QUAMBEL_X11)
    if (plattform == QLatin1String("xcb")) return x11Einsperrung();
#endif
#if defined(QUAMBEL_WAYLAND)
    if (plattform.startsWith(QLatin1String("wayland"))) return waylandEinsperrung();
#endif
    (void)plattform;
    return std::make_unique<KeineEinsperrung>();
}

QtZeiger::QtZeiger(QWidget* spielfeld) : einsperrung_(einsperrungFür(QGuiApplication::platformName())) {
    setSpielfeld(spielfeld);
}

void QtZeiger::setSpielfeld(QWidget* feld) {
    if (feld_) feld_->removeEventFilter(this);
    feld_ = feld;
    if (feld_) feld_->installEventFilter(this);
}

bool QtZeiger::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (eingesperrt_ && objekt == feld_ && (ereignis->type() == QEvent::Resize || ereignis->type() == QEvent::Move))
        eingesperrt_ = einsperrung_->festhalten(feld_);
    return false;
}

QtZeiger::~QtZeiger() {
    if (eingesperrt_) einsperrung_->freigeben();
}

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
    const bool ganz =
        r.left <= desktop.left && r.top <= desktop.top && r.right >= desktop.right && r.bottom >= desktop.bottom;
    if (ganz || !feld_ || !feld_->isVisible()) {
        if (eingesperrt_) einsperrung_->freigeben();
        eingesperrt_ = false;
        return;
    }
    eingesperrt_ = einsperrung_->festhalten(feld_);
}

} // namespace qmb

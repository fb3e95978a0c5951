#include "platform/qt/QtZeitgeber.h"

#include <QTimer>

namespace qmb {

QtZeitgeberTreiber::~QtZeitgeberTreiber() {
    for (auto& [z, u] : uhren_) const_cast<Zeitgeber*>(z)->setTreiber(nullptr);
}

void QtZeitgeberTreiber::anmelden(Zeitgeber& z) {
    if (uhren_.count(&z)) return;
    auto* t = new QTimer(this);
    // A coarse timer may be off by 5 % of its interval; the ball timer's
    // 40 ms would then wobble visibly. Precise timers keep the game's pace.
    t->setTimerType(Qt::PreciseTimer);
    Zeitgeber* zp = &z;
    QObject::connect(t, &QTimer::timeout, this, [this, zp] {
        if (!zp->Enabled()) return;
        uhren_[zp].seitTick.start();
        if (vorTick) vorTick(*zp);
        zp->Tick();
        if (nachTick) nachTick(*zp);
    });
    uhren_[&z] = Uhr{t, {}};
    z.setTreiber(this);
    geändert(z);
}

void QtZeitgeberTreiber::geändert(Zeitgeber& z) {
    auto it = uhren_.find(&z);
    if (it == uhren_.end()) return;
    QTimer* t = it->second.timer;
    if (z.Enabled()) {
        it->second.seitTick.start();
        // Enabling a timer (or giving it a new interval) starts a fresh
        // period: its first tick comes one whole interval later.
        t->start(z.Interval() > 0 ? z.Interval() : 1);
    } else {
        t->stop();
        it->second.seitTick.invalidate();
    }
}

double QtZeitgeberTreiber::anteil(const Zeitgeber& z) const {
    auto it = uhren_.find(&z);
    if (it == uhren_.end() || !it->second.seitTick.isValid() || z.Interval() <= 0) return 0.0;
    const double t = static_cast<double>(it->second.seitTick.nsecsElapsed()) / (z.Interval() * 1e6);
    return t < 1.0 ? t : 1.0;
}

} // namespace qmb

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
    QObject::connect(t, &QTimer::timeout, this, [this, zp, t] {
        if (!zp->Enabled()) return;
        Uhr& u = uhren_[zp];
        u.seitTick.start();
        // Woken from a rest for the rest of a beat: whole intervals again.
        if (t->interval() != u.intervall) t->start(u.intervall);
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
    Uhr& u = it->second;
    if (!z.Enabled()) {
        u.timer->stop();
        u.seitTick.invalidate();
        u.intervall = 0;
        return;
    }
    const int intervall = z.Interval() > 0 ? z.Interval() : 1;
    if (u.intervall != intervall) {
        // Enabling a timer (or giving it a new interval) starts a fresh
        // period: its first tick comes one whole interval later.
        u.intervall = intervall;
        u.seitTick.start();
        if (z.Ruhend())
            u.timer->stop();
        else
            u.timer->start(intervall);
        return;
    }
    if (z.Ruhend()) {
        u.timer->stop();
        return;
    }
    if (u.timer->isActive()) return;
    // Awake after a rest: the ticks it slept through would have changed
    // nothing, and the next one comes on the old beat, so that a key pressed
    // moves the pad as soon as it did when the timer never slept.
    const qint64 periode = intervall * qint64{1000000};
    const qint64 rest = periode - u.seitTick.nsecsElapsed() % periode;
    u.timer->start(static_cast<int>((rest + 500000) / 1000000));
}

double QtZeitgeberTreiber::anteil(const Zeitgeber& z) const {
    auto it = uhren_.find(&z);
    if (it == uhren_.end() || !it->second.seitTick.isValid() || z.Interval() <= 0) return 0.0;
    const double t = static_cast<double>(it->second.seitTick.nsecsElapsed()) / (z.Interval() * 1e6);
    return t < 1.0 ? t : 1.0;
}

} // namespace qmb

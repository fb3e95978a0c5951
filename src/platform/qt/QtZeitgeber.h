#pragma once
// Makes the game's timers tick on Qt: one precise QTimer per game timer, on
// the user-interface thread. Disabling a timer stops its QTimer at once, so
// no tick of a stopped timer is ever delivered, not even one already queued.
// A resting timer sleeps: its QTimer stops, and wakes on the timer's beat.
#include <functional>
#include <memory>
#include <unordered_map>

#include <QElapsedTimer>
#include <QObject>

#include "platform/Zeitgeber.h"

class QTimer;

namespace qmb {

class QtZeitgeberTreiber : public QObject, public Zeitgebertreiber {
public:
    explicit QtZeitgeberTreiber(QObject* eltern = nullptr) : QObject(eltern) {}
    ~QtZeitgeberTreiber() override;

    void anmelden(Zeitgeber& z);
    void geändert(Zeitgeber& z) override;

    // How far the timer is into its current interval: 0 right at a tick (or
    // at its start), 1 when the next tick is due or late; 0 for a timer that
    // is stopped or unknown. The view predicts motion with it.
    double anteil(const Zeitgeber& z) const;

    // Runs after every tick, e.g. to repaint what the tick changed.
    std::function<void(Zeitgeber&)> nachTick;
    // Runs just before every tick, with the timer that is about to tick
    // (the soak harness logs the moment here).
    std::function<void(Zeitgeber&)> vorTick;

private:
    struct Uhr {
        QTimer* timer;
        QElapsedTimer seitTick; // since the last tick, or the start of the period
        int intervall = 0;      // of the running period; 0 while disabled
    };
    std::unordered_map<const Zeitgeber*, Uhr> uhren_;
};

} // namespace qmb

#pragma once
// Makes the game's timers tick on Qt: one precise QTimer per game timer, on
// the user-interface thread. Disabling a timer stops its QTimer at once, so
// no tick of a stopped timer is ever delivered, not even one already queued.
#include <functional>
#include <memory>
#include <unordered_map>

#include <QObject>

#include "platform/Zeitgeber.h"

class QTimer;

namespace qmb {

class QtZeitgeberTreiber : public QObject, public Zeitgebertreiber {
public:
    explicit QtZeitgeberTreiber(QObject* eltern = nullptr) : QObject(eltern) {}
    ~QtZeitgeberTreiber() override;

    void anmelden(Zeitgeber& z);
    void geaendert(Zeitgeber& z) override;

    // Runs after every tick, e.g. to repaint what the tick changed.
    std::function<void(Zeitgeber&)> nachTick;
    // Runs just before every tick, with the timer that is about to tick
    // (the soak harness logs the moment here).
    std::function<void(Zeitgeber&)> vorTick;

private:
    std::unordered_map<Zeitgeber*, QTimer*> uhren_;
};

} // namespace qmb

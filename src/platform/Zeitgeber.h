#pragma once
// Interval timers of a window. The core owns the timer objects (interval,
// enabled flag, tick); a driver makes them tick: Qt's precise timers in the
// program, a virtual clock in tests and headless simulation.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qmb {

class Zeitgeber;

class Zeitgebertreiber {
public:
    virtual ~Zeitgebertreiber() = default;
    // Called whenever a timer is enabled, disabled, gets a new interval or
    // starts or ends a rest. Disabling must stop further ticks at once.
    virtual void geändert(Zeitgeber& z) = 0;
};

class Zeitgeber {
public:
    Zeitgeber(std::string name, int intervallMs) : name_(std::move(name)), intervall_(intervallMs) {}
    Zeitgeber(const Zeitgeber&) = delete;
    Zeitgeber& operator=(const Zeitgeber&) = delete;

    const std::string& Name() const { return name_; }
    int Interval() const { return intervall_; }
    bool Enabled() const { return an_; }

    void setEnabled(bool an) {
        if (an_ == an) return;
        an_ = an;
        if (treiber_) treiber_->geändert(*this);
    }
    void setInterval(int ms) {
        intervall_ = ms;
        if (treiber_) treiber_->geändert(*this);
    }
    // A resting timer stays enabled, but its ticks would change nothing for
    // now (the pad's timer while no arrow key is held). A driver may let it
    // sleep rather than wake the program for nothing, as long as it keeps
    // the beat: the first tick after the rest comes when it would have come.
    bool Ruhend() const { return ruhend_; }
    void setRuhend(bool ruhend) {
        if (ruhend_ == ruhend) return;
        ruhend_ = ruhend;
        if (treiber_) treiber_->geändert(*this);
    }

    // What one tick does; set once by the window that owns the timer.
    void setTick(std::function<void()> tick) { tick_ = std::move(tick); }
    // Runs one tick (the driver calls this). A disabled timer does not tick.
    void Tick() {
        if (an_ && tick_) {
            ++ticks_;
            tick_();
        }
    }
    uint64_t Ticks() const { return ticks_; }

    void setTreiber(Zeitgebertreiber* t) { treiber_ = t; }

private:
    std::string name_;
    int intervall_;
    bool an_ = false;
    bool ruhend_ = false;
    uint64_t ticks_ = 0;
    std::function<void()> tick_;
    Zeitgebertreiber* treiber_ = nullptr;
};

// A clock that only moves when told to: timers tick in the order in which
// they fall due, so a test can run a whole game in milliseconds, exactly
// repeatable. Enabling a timer schedules its first tick one interval later.
// Resting timers tick on: their ticks cost nothing here.
class VirtuelleUhr : public Zeitgebertreiber {
public:
    void anmelden(Zeitgeber& z);
    void geändert(Zeitgeber& z) override;

    int64_t jetzt() const { return jetzt_; }
    // Moves the clock on by `ms`, running every tick that falls due on the way.
    void vorspulen(int64_t ms);
    // Runs exactly the next due tick, if any timer is enabled; returns false otherwise.
    bool nächsterTick();

private:
    struct Eintrag {
        Zeitgeber* z;
        int64_t fällig;
        uint64_t reihenfolge;
    };
    std::vector<Eintrag> einträge_;
    int64_t jetzt_ = 0;
    uint64_t zähler_ = 0;
    Eintrag* nächster(int64_t bis);
};

} // namespace qmb

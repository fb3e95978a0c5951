#pragma once
// Held keys as a player holds them.
//
// Windows hands a window a key-down for every repeat of a held key and one
// key-up when it is let go; the game's rules count on that (the fire cadence
// starts anew only on a new press). X11 sends a held key as pairs of release
// and press with the same timestamp, and Qt 6.4 marks a pair as a repeat
// only when the press has already been read when it handles the release:
// most pairs arrive as a real release and a real press. Wiederholungen sits
// on the application and sees every key event where it enters a window: it
// holds a release back until the next key event shows what it was (a press
// of the same key with the same time: a repeat) or until a short wait
// passes, and hands on repeats as key-downs marked as repeats, no key-up.
#include <memory>

#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWindow>

namespace qmb {

class Wiederholungen : public QObject {
public:
    // At most this long a release waits for the press of its pair. The pair
    // leaves the X server together; it arrives apart by a fraction of a
    // millisecond (0.2 ms measured), more only when the machine is busy.
    static constexpr int WARTEZEIT_MS = 12;

    // Lives as long as the application; Qt forgets a filter that is deleted.
    explicit Wiederholungen(QObject* eltern = nullptr);

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    void senden(QWindow* fenster, QKeyEvent& ereignis);
    void loslassen();

    std::unique_ptr<QKeyEvent> zurück_; // the release held back
    QPointer<QWindow> fenster_;         // and where it was going
    QTimer warten_;
    QEvent* eigenes_ = nullptr; // the event being handed on: not filtered again
};

// Keys held when a window got the keyboard (from play into a dialogue, or
// from a dialogue back onto the settings panel) do not reach its controls:
// their repeats are dropped until the key is pressed anew in the window.
class FrischeTasten {
public:
    // True when the control must not see this key event.
    bool verwerfen(const QKeyEvent& k);
    // The window lost the keyboard: what is held now is held from elsewhere.
    void vergessen() { frisch_.clear(); }

private:
    QSet<int> frisch_;
};

} // namespace qmb

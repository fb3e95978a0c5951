#pragma once
// How the pointer is held inside the playfield on the desktop the program
// runs on. X11 grabs the pointer confined to a window, Windows clips it to a
// screen rectangle, Wayland asks the compositor for a confined pointer. Each
// lives in a file of its own (X11Zeiger.cpp, WindowsZeiger.cpp,
// WaylandZeiger.cpp), so that no system's headers meet another's, or Qt's.
#include <memory>

#include <QString>

class QWidget;

namespace qmb {

class Einsperrung {
public:
    virtual ~Einsperrung() = default;
    // Holds the pointer inside the playfield; true when it took effect.
    virtual bool festhalten(QWidget* feld) = 0;
    virtual void freigeben() = 0;
    // Whether the playfield needs a native window of its own for this: the
    // X11 grab and the Windows clip take their rectangle from one. Elsewhere
    // a native child only costs (on Wayland it breaks input and painting).
    virtual bool brauchtEigenesFenster() const { return false; }
    // Why this desktop cannot confine the pointer, in a short German
    // sentence for the player; empty when it can.
    virtual QString hinderungsgrund() const { return {}; }
};

// The confinement for the platform Qt runs on (its platform name, as
// QGuiApplication::platformName() gives it); never null.
std::unique_ptr<Einsperrung> einsperrungFür(const QString& plattform);

// The systems' own, each where it is built.
std::unique_ptr<Einsperrung> x11Einsperrung();
std::unique_ptr<Einsperrung> windowsEinsperrung();
std::unique_ptr<Einsperrung> waylandEinsperrung();

} // namespace qmb

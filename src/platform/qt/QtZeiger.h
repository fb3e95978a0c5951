#pragma once
// Pointer confinement on Qt. The game asks for a clip rectangle in screen
// pixels; X11 has no clip rectangle but a pointer grab confined to a window,
// so a clip inside the desktop becomes a grab confined to the playfield's own
// native window and the desktop clip becomes a release. Elsewhere (offscreen,
// Wayland) confinement is not available and the game runs without it.
#include <QPointer>
#include <QWidget>

#include "platform/Zeigerdienste.h"

namespace qmb {

class QtZeiger : public Zeigerdienste {
public:
    explicit QtZeiger(QWidget* spielfeld = nullptr) : feld_(spielfeld) {}
    void setSpielfeld(QWidget* feld) { feld_ = feld; }

    Rechteck GetClientRect() override;
    Rechteck GetDesktopClientRect() override;
    Punkt ClientToScreen(Punkt p) override;
    void ClipCursor(const Rechteck& r) override;

private:
    QPointer<QWidget> feld_;
    bool eingesperrt_ = false;
};

// The platform part (X11 in its own source file: Xlib's macros clash with
// Qt's names). Return true when the grab or release took effect.
bool zeigerFesthalten(QWidget* feld);
void zeigerFreigeben();

} // namespace qmb

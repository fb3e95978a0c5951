#pragma once
// Confinement of the mouse pointer, asked for in screen rectangles: the
// window's client rectangle, its conversion to screen coordinates, and a clip
// rectangle that confines the pointer. Releasing sets the clip to the whole
// desktop. Each desktop confines in its own way, so the adapters translate:
// on X11 a clip inside the desktop becomes a pointer grab confined to the
// playfield, and the desktop clip a release.
#include <cstdint>

namespace qmb {

struct Rechteck { // screen pixels; right and bottom exclusive
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rechteck&) const = default;
};
struct Punkt {
    int32_t x = 0, y = 0;
};

class Zeigerdienste {
public:
    virtual ~Zeigerdienste() = default;
    // The client rectangle of the main window (left and top are 0).
    virtual Rechteck GetClientRect() = 0;
    // The client rectangle of the desktop window: the whole screen.
    virtual Rechteck GetDesktopClientRect() = 0;
    // Converts a point of the main window's client area to screen coordinates.
    virtual Punkt ClientToScreen(Punkt p) = 0;
    // Restricts the pointer to the rectangle.
    virtual void ClipCursor(const Rechteck& r) = 0;
};

} // namespace qmb

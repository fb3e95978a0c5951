#pragma once
// A surface of its own for a widget's picture, where the toolkit's own way
// costs too much or shows a frame in pieces. On X11 Qt sends a frame as one
// request per rectangle, and a reader of the screen can see it half done
// (X11Bild.cpp). Qt 6.4 on Wayland copies the whole previous window buffer
// before every frame while the compositor still holds it (3.4 MB a frame at
// scale 2, 60 times a second): the moving playfield is shown on a surface
// of its own instead, with two or three buffers that each get repainted only
// where the picture changed since that buffer was last shown.
#include <functional>
#include <memory>

class QPainter;
class QRegion;
class QWidget;

namespace qmb {

class Bildfläche {
public:
    using Malen = std::function<void(QPainter&, const QRegion&)>;
    virtual ~Bildfläche() = default;
    // Shows the widget's picture on the surface, over the widget: repaints
    // `bereich` (widget coordinates) and whatever the buffer it paints into
    // missed, then hands it to the compositor. False when nothing could be
    // shown (no buffer free yet): the region is kept for the next frame;
    // a surface that is not on the screen then leaves the frame to the
    // widget.
    virtual bool zeigen(const QRegion& bereich) = 0;
    // Takes the surface away; the widget shows through again.
    virtual void verbergen() = 0;
    virtual bool sichtbar() const = 0;
};

// The surface for the platform Qt runs on, or null where the widget paints
// well enough itself (Windows flushes a frame in one piece; offscreen).
std::unique_ptr<Bildfläche> eigeneBildfläche(QWidget* widget, Bildfläche::Malen malen);

// One per desktop, built where that desktop is.
std::unique_ptr<Bildfläche> x11Bildfläche(QWidget* widget, Bildfläche::Malen malen);
std::unique_ptr<Bildfläche> waylandBildfläche(QWidget* widget, Bildfläche::Malen malen);

} // namespace qmb

#include "game/Vorhersage.h"

#include "platform/Zahlen.h"

#include <algorithm>

namespace qmb {

Ort vorhersagen(const Flug& f, const Spielraum& r, double t) {
    t = std::clamp(t, 0.0, 1.0);
    // The next step's vertical speed already includes this tick's gravity.
    const double dy = f.vy + f.Schwerkraft;

    // Walls and ceiling: the rules look one step ahead at the side walls
    // and turn the drawable at its place there, before it touches the wall;
    // at the ceiling a ball turns with half its speed, and the rules apply
    // the halved step twice. The drawing goes in a straight line to the
    // place the next tick gives, so it turns where the rules turn it and
    // meets the tick without a jump.
    const double x1 = f.Left + f.vx;
    double xEnde = x1;
    if (x1 + f.vx < r.Links)
        xEnde = 2.0 * r.Links - x1 - f.vx;
    else if (x1 + f.Width + f.vx > r.Rechts)
        xEnde = 2.0 * (static_cast<double>(r.Rechts) - f.Width) - x1 - f.vx;
    double x = f.Left + t * (xEnde - f.Left);
    double y = f.Top + t * dy;
    if (f.Top + dy < r.Oben && dy < 0) {
        if (r.decke == Spielraum::Decke::Spiegeln) {
            const double yEnde = 2.0 * rundeHalbGerade(-dy / 2.0) - f.Top + 2.0 * r.Oben;
            y = f.Top + t * (yEnde - f.Top);
        } else if (r.decke == Spielraum::Decke::Anhalten) {
            // A shot leaves at the next tick; until then it stops at the line.
            y = std::max<double>(y, r.Oben);
        }
    }

    const double unten = f.Top + f.Height;
    if (r.pad == Spielraum::Pad::Mitte && unten + dy > r.PadOben) {
        // The next tick decides, by where the pad is then: caught, the ball
        // turns on the pad's top at its place across; missed, it falls past.
        // Both ways first reach the pad's line: it goes down to it and waits
        // there, or, in its tick of grace below the line already, stays.
        // Drawn turning or falling on, it would jump back when the player
        // moves the pad in or out of its way before the tick.
        x = f.Left;
        y = unten > r.PadOben ? f.Top : std::min(y, static_cast<double>(r.PadOben) - f.Height);
    } else if (r.pad == Spielraum::Pad::Überlappung && y + f.Height > r.PadOben) {
        // Not through the pad: whether it catches a bonus is the next
        // tick's decision; until then it rests on the pad's surface.
        auto über = [&](double links) { return links < r.PadRechts && links + f.Width > r.PadLinks; };
        if (über(x) || über(f.Left)) y = std::min(y, std::max<double>(f.Top, r.PadOben - f.Height));
    }
    return {static_cast<float>(x), static_cast<float>(y)};
}

} // namespace qmb

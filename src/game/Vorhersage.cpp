#include "game/Vorhersage.h"

#include <algorithm>

namespace qmb {

Ort vorhersagen(const Flug& f, const Spielraum& r, double t) {
    t = std::clamp(t, 0.0, 1.0);
    // The next step's vertical speed already includes this tick's gravity.
    const double dy = f.vy + f.Schwerkraft;
    double x = f.Left + t * f.vx;
    double y = f.Top + t * dy;

    // The rules look one step ahead and mirror the step at the wall it would
    // cross; the drawing does the same with the part of the step taken.
    // Only a crossing made by this step is mirrored: at t = 0 the drawable
    // is drawn where it is, whatever its place.
    if (x < r.Links && f.Left >= r.Links)
        x = 2.0 * r.Links - x;
    else if (x + f.Width > r.Rechts && f.Left + f.Width <= r.Rechts)
        x = 2.0 * (static_cast<double>(r.Rechts) - f.Width) - x;

    if (y < r.Oben && f.Top >= r.Oben) {
        // A ball bounces at the ceiling with half its speed, but the rules
        // apply the halved step twice: in all, a mirror of the whole step.
        // A shot leaves at the next tick; until then it stops at the line.
        if (r.decke == Spielraum::Decke::Spiegeln)
            y = 2.0 * r.Oben - y;
        else if (r.decke == Spielraum::Decke::Anhalten)
            y = r.Oben;
    }

    // Not through the pad: whether it catches is the next tick's decision;
    // until then the drawable rests on the pad's surface.
    if (r.pad != Spielraum::Pad::Keins && y + f.Height > r.PadOben) {
        auto über = [&](double links) {
            if (r.pad == Spielraum::Pad::Mitte) {
                const double mitte = links + f.Width / 2.0;
                return mitte > r.PadLinks && mitte < r.PadRechts;
            }
            return links < r.PadRechts && links + f.Width > r.PadLinks;
        };
        if (über(x) || über(f.Left)) y = std::min(y, std::max<double>(f.Top, r.PadOben - f.Height));
        // A ball the pad catches keeps its place across in the catching
        // tick: drawn moving on, it would step back when the tick comes.
        if (r.pad == Spielraum::Pad::Mitte && über(f.Left) && f.Top + f.Height + dy > r.PadOben) x = f.Left;
    }
    return {static_cast<float>(x), static_cast<float>(y)};
}

} // namespace qmb

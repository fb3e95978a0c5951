#pragma once
// The fonts the window layouts name, as scalable fonts at their designed
// sizes. The layouts give point sizes at 96 dpi; they become pixel sizes so
// that every text keeps its place in its twip-sized control at any dpi, and
// Qt scales them cleanly at any device pixel ratio.
#include <QFont>

namespace qmb {

enum class Schriftart {
    Dialog, // "MS Sans Serif", the dialog and label font of the layouts
    Arial,
    Comic,  // "Comic Sans MS"
};

QFont schrift(Schriftart art, double punkt, bool fett = false);

} // namespace qmb

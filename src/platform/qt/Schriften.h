#pragma once
// The game's fonts, scalable, at the sizes its windows are laid out for.
// Sizes are given in points at 96 dpi and set as pixel sizes, so that every
// text keeps its place in its twip-sized control at any dpi, and Qt scales
// them cleanly at any device pixel ratio.
#include <QFont>

namespace qmb {

enum class Schriftart {
    Dialog, // the plain sans serif of dialogs, the settings panel and the score label
    Arial,
    Comic, // "Comic Sans MS"
};

QFont schrift(Schriftart art, double punkt, bool fett = false);

} // namespace qmb

#pragma once
// The windows and the playfield are laid out in twips, as the game computes
// positions; the Qt views convert to pixels here, 15 twips to a pixel at
// scale 1 (high-DPI scaling is Qt's, on top of this).
#include <QRect>
#include <QRectF>

namespace qmb {

inline constexpr double TWIPS_JE_PIXEL = 15.0;

// A control of a window's layout: whole twips to whole pixels, rounding down.
inline QRect pixel(int links, int oben, int breite, int höhe) {
    auto px = [](int twips) { return static_cast<int>(twips / TWIPS_JE_PIXEL); };
    return QRect(px(links), px(oben), px(breite), px(höhe));
}

// A drawable of the playfield: single-precision twips to fractional pixels.
inline QRectF alsPixel(float left, float top, float width, float height) {
    return {left / TWIPS_JE_PIXEL, top / TWIPS_JE_PIXEL, width / TWIPS_JE_PIXEL, height / TWIPS_JE_PIXEL};
}

} // namespace qmb

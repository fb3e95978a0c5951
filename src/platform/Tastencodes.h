#pragma once
// Key codes and mouse buttons as the game knows them (Windows virtual keys):
// the view translates each desktop's keys into these, and the handlers of
// the main window read only these.

namespace qmb {

inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyShift = 16;
inline constexpr int vbKeyControl = 17;
inline constexpr int vbKeyEscape = 27;
inline constexpr int vbKeySpace = 32;
inline constexpr int vbKeyLeft = 37;
inline constexpr int vbKeyUp = 38;
inline constexpr int vbKeyRight = 39;
inline constexpr int vbKeyDown = 40;
inline constexpr int vbKeyC = 67;
inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;

} // namespace qmb

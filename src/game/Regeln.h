#pragma once
// The numbers of the game's rules, each in one place: the ticks move the
// drawables by them, the view draws between ticks with them (Vorhersage.h),
// and the tests say with them what a tick must do.
#include <cstdint>

namespace qmb {

// Slots: balls 1 to 100, bonuses 1 to 10.
inline constexpr int16_t BALLPLÄTZE = 100;
inline constexpr int16_t BONUSPLÄTZE = 10;
// Every ball in play is one point, so a game is won when every ball slot is
// in use.
inline constexpr int16_t SIEGPUNKTE = BALLPLÄTZE;

// Added to the downward speed of a ball or a bonus before each of its steps
// (twips per tick per tick).
inline constexpr int32_t SCHWERKRAFT_BALL = 17;
inline constexpr int32_t SCHWERKRAFT_BONUS = 20;
// A shot rises this far each tick, straight up (twips).
inline constexpr int32_t SCHUSS_SCHRITT = 240;
// The pad's step on the pad timer in keyboard mode (twips); a new game puts
// it on this grid, so that its steps meet the walls.
inline constexpr int32_t PAD_SCHRITT = 120;

} // namespace qmb

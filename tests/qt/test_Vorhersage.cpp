// Where a ball, a bonus and a shot are drawn between two ticks, against
// numbers worked out by hand from the rules' steps.
#include <gtest/gtest.h>

#include "game/Vorhersage.h"

namespace qmb::test {
namespace {

// The field's walls at 360 and 6000 twips, its ceiling at 360; the pad's top
// at 6600, from 2520 to 3720.
const Spielraum BALL{360, 6000, 360, Spielraum::Decke::Spiegeln, 2520, 3720, 6600, Spielraum::Pad::Mitte};
const Spielraum BONUS{360, 6000, 360, Spielraum::Decke::Keine, 2520, 3720, 6600, Spielraum::Pad::Ueberlappung};
const Spielraum SCHUSS{-1e9f, 1e9f, 360, Spielraum::Decke::Anhalten};

TEST(Vorhersage, EinIntervallVonHandGerechnet) {
    struct Fall { const char* was; Flug f; Spielraum r; double t; Ort soll; };
    const Fall fälle[] = {
        // 3000 + 0.5·100; 3000 + 0.5·(−200 + 17)
        {"ball in free flight", {3000, 3000, 240, 240, 100, -200, 17}, BALL, 0.5, {3050, 2908.5f}},
        // 400 − 0.5·120 = 340 lies 20 past the wall at 360: mirrored to 380
        {"ball at the left wall", {400, 3000, 240, 240, -120, 0, 17}, BALL, 0.5, {380, 3008.5f}},
        // 400 − 283 = 117 lies 243 above the ceiling: 360 + 243
        {"ball off the ceiling", {400, 400, 240, 240, 0, -300, 17}, BALL, 1.0, {400, 603}},
        // 6300 + 0.8·217 would sink 113.6 into the pad: it rests on its top
        {"ball on the pad", {3000, 6300, 240, 240, 0, 200, 17}, BALL, 0.8, {3000, 6360}},
        // beside the pad it falls on; the next tick loses it
        {"ball beside the pad", {4000, 6300, 240, 240, 0, 200, 17}, BALL, 0.8, {4000, 6473.6f}},
        // 5660 + 360 crosses 6000 by 20: 5640 − 20; 1000 + 0.5·(40 + 20)
        {"bonus at the right wall", {5600, 1000, 360, 360, 120, 40, 20}, BONUS, 0.5, {5620, 1030}},
        // thrown up, a bonus passes the ceiling as the rules let it
        {"bonus above the ceiling", {3000, 400, 360, 360, 0, -300, 20}, BONUS, 0.5, {3000, 260}},
        // it leaves at the next tick; until then it stops at the line
        {"shot at the ceiling", {2520, 500, 30, 120, 0, -240, 0}, SCHUSS, 1.0, {2520, 360}},
    };
    for (const Fall& f : fälle) {
        EXPECT_EQ(vorhersagen(f.f, f.r, f.t), f.soll) << f.was;
        // At the tick itself the drawable is drawn exactly where it is.
        EXPECT_EQ(vorhersagen(f.f, f.r, 0.0), (Ort{f.f.Left, f.f.Top})) << f.was;
    }
}

} // namespace
} // namespace qmb::test

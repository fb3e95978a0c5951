#pragma once
// Where to draw a moving drawable between two ticks of its timer.
//
// The rules move balls every 40 ms and shots every 30 ms; drawn only at the
// ticks, a fast ball jumps more than its own width per frame. Between ticks
// the view therefore draws each ball, bonus and shot where its current speed
// carries it after the elapsed part of the interval: a prediction from the
// last tick, never an interpolation towards it, so nothing lags behind the
// game. The prediction never changes the game; the next tick decides.
namespace qmb {

struct Flug {
    float Left = 0, Top = 0, Width = 0, Height = 0; // twips, as the last tick left them
    double vx = 0, vy = 0;                          // twips per tick
    double Schwerkraft = 0;                         // added to vy before each step, as the rules do
};

struct Spielraum {
    float Links = 0, Rechts = 0; // the side walls: turned there as the rules turn, a step ahead
    float Oben = 0;              // the ceiling line
    // Balls bounce off the ceiling, shots end there, bonuses pass it.
    enum class Decke { Keine, Spiegeln, Anhalten };
    Decke decke = Decke::Keine;
    float PadLinks = 0, PadRechts = 0, PadOben = 0;
    // Caught by the pad under their centre (balls: they wait on the pad's
    // line for the tick's decision) or by any overlap (bonuses: they rest on
    // the pad over it); shots pay no heed to the pad.
    enum class Pad { Keins, Mitte, Überlappung };
    Pad pad = Pad::Keins;
};

struct Ort {
    float Left = 0, Top = 0;
    bool operator==(const Ort&) const = default;
};

// The drawn place after the fraction `t` (0 ≤ t ≤ 1) of the interval. At
// t = 0 it is the drawable's own place; at t = 1 the place the next step
// reaches when no catch or loss decides otherwise.
Ort vorhersagen(const Flug& f, const Spielraum& r, double t);

class frmMain;

// What the prediction needs of ball, bonus or shot i: its flight as its next
// tick takes it on and the room that tick moves it in. Each is given beside
// its tick, from the same rules, so the drawing cannot disagree with them.
struct Flugbahn {
    Flug flug;
    Spielraum raum;
};
Flugbahn ballFlug(const frmMain& m, int i);   // Baelle.cpp
Flugbahn bonusFlug(const frmMain& m, int i);  // Bonusse.cpp
Flugbahn schussFlug(const frmMain& m, int i); // Schuesse.cpp

} // namespace qmb

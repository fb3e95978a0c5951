#pragma once
// What the end of a game needs from the high-score list. The program plugs
// the list file in here; the game's own tests use a list in memory.
#include <cstdint>
#include <string>

namespace qmb {

class Bestenliste {
public:
    virtual ~Bestenliste() = default;
    virtual void HighscoreDateiSetzen() = 0;
    // True when this score enters the list.
    virtual bool IstHighscore(int16_t Punkte) = 0;
    // Enters the score; returns the place 1 to 10, 0 when it did not enter,
    // or NICHT_GESPEICHERT when the list failed (the player has been told).
    virtual int16_t HighscoreEintragen(const std::string& Name, int16_t Punkte) = 0;
    static constexpr int16_t NICHT_GESPEICHERT = -1;
};

} // namespace qmb

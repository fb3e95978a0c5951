#pragma once
// A synth stand-in that writes down every message with the block it came in.
#include <cstdint>
#include <vector>

#include "sound/player/Klangziel.h"

namespace qmb::test {

struct Nachricht {
    int block;
    int kanal;
    std::uint8_t art, d1, d2;
};

class Aufnahme : public Klangziel {
public:
    int block = 0;
    std::vector<Nachricht> liste;
    void nachricht(int kanal, std::uint8_t art, std::uint8_t d1, std::uint8_t d2) override {
        liste.push_back({block, kanal, art, d1, d2});
    }
    std::vector<Nachricht> noten() const {
        std::vector<Nachricht> n;
        for (const auto& m : liste)
            if (m.art == 0x90 || m.art == 0x80) n.push_back(m);
        return n;
    }
    // The last value a controller got on a channel, -1 if none.
    int regler(int kanal, int nummer) const {
        int w = -1;
        for (const auto& m : liste)
            if (m.kanal == kanal && m.art == 0xB0 && m.d1 == nummer) w = m.d2;
        return w;
    }
    int programm(int kanal) const {
        int p = -1;
        for (const auto& m : liste)
            if (m.kanal == kanal && m.art == 0xC0) p = m.d1;
        return p;
    }
    int biegung(int kanal) const {
        int b = -1;
        for (const auto& m : liste)
            if (m.kanal == kanal && m.art == 0xE0) b = m.d1 | (m.d2 << 7);
        return b;
    }
    int anzahl(int kanal, std::uint8_t art, int d1) const {
        int n = 0;
        for (const auto& m : liste)
            if (m.kanal == kanal && m.art == art && m.d1 == d1) ++n;
        return n;
    }
};

} // namespace qmb::test

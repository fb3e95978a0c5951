#pragma once
// A synth stand-in that writes down every message with the block it came in.
#include <cstdint>
#include <functional>
#include <vector>

#include "sound/player/Klangziel.h"

namespace qmb::test {

struct Nachricht {
    int block, kanal, art, d1, d2;
    bool operator==(const Nachricht&) const = default;
};

class Aufnahme : public Klangziel {
public:
    int block = 0;
    std::vector<Nachricht> liste;
    void nachricht(int kanal, std::uint8_t art, std::uint8_t d1, std::uint8_t d2) override {
        liste.push_back({block, kanal, art, d1, d2});
    }
    std::vector<Nachricht> nur(const std::function<bool(const Nachricht&)>& ob) const {
        std::vector<Nachricht> n;
        for (const auto& m : liste)
            if (ob(m)) n.push_back(m);
        return n;
    }
    std::vector<Nachricht> noten() const { return nur([](const Nachricht& m) { return m.art == 0x90 || m.art == 0x80; }); }
};

} // namespace qmb::test

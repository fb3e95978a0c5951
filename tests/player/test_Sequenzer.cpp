#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "SmfBauer.h"
#include "sound/player/Klangziel.h"
#include "sound/player/Sequenzer.h"

namespace qmb {
namespace {

using test::Spur;

struct Nachricht {
    int block, kanal, art, d1, d2;
    bool operator==(const Nachricht&) const = default;
};

// A synth stand-in that writes down every message with the block it came in.
struct Aufnahme : Klangziel {
    int block = 0;
    std::vector<Nachricht> liste;
    void nachricht(int kanal, std::uint8_t art, std::uint8_t d1, std::uint8_t d2) override { liste.push_back({block, kanal, art, d1, d2}); }
    std::vector<Nachricht> nur(const std::function<bool(const Nachricht&)>& ob) const {
        std::vector<Nachricht> n;
        std::copy_if(liste.begin(), liste.end(), std::back_inserter(n), ob);
        return n;
    }
    std::vector<Nachricht> noten() const { return nur([](const Nachricht& m) { return m.art == 0x90 || m.art == 0x80; }); }
};

// At 64000 frames a second one block is one millisecond; at 100 ticks a
// quarter and 10000 us a quarter one tick is 0.1 ms.
constexpr int Rate = 64000;

std::shared_ptr<const MidiStück> stück(Spur s) {
    auto st = std::make_shared<MidiStück>();
    EXPECT_EQ(leseMidi(test::smf(1, 100, {Spur().tempo(0, 10000).ende(), s}), *st), MidiFehler::Keiner);
    return st;
}

// Where the sequencer stands, whether it plays, whether it stopped at the end, in words.
std::string zustand(const Sequenzer& q) {
    return std::to_string(q.positionMs()) + " ms" + (q.spielt() ? ", spielt" : "") + (q.zuEnde() ? ", am Ende" : "");
}

void blöcke(Sequenzer& s, Aufnahme& a, int n) {
    for (int i = 0; i < n; ++i, ++a.block) s.block(&a);
}

// Sustain off and all notes off on sixteen channels.
std::vector<Nachricht> stille(int block) {
    std::vector<Nachricht> v;
    for (int k = 0; k < 16; ++k) v.insert(v.end(), {{block, k, 0xB0, 64, 0}, {block, k, 0xB0, 123, 0}});
    return v;
}

TEST(Sequenzer, EreignisseZumNächstenBlockUndDasEnde) {
    // 10.4 ms lies nearer to block 10 than to 11, 10.6 ms nearer to 11; the end is at 20 ms.
    Sequenzer q(stück(Spur().an(0, 0, 50).an(104, 0, 60).an(2, 0, 61).aus(94, 0, 50).ende()), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(0, false, &a));
    a.liste.clear();
    blöcke(q, a, 20);
    EXPECT_EQ(zustand(q), "20 ms, spielt");
    blöcke(q, a, 30);
    std::vector<Nachricht> soll = stille(20);
    soll.insert(soll.begin(), {{0, 0, 0x90, 50, 100}, {10, 0, 0x90, 60, 100}, {11, 0, 0x90, 61, 100}, {20, 0, 0x80, 50, 0}});
    EXPECT_EQ(a.liste, soll);
    q.fortsetzen(&a); // a plain play at the end stays there
    blöcke(q, a, 5);
    EXPECT_EQ(zustand(q), "20 ms, am Ende");
    // From beyond the end or before the start: refused, and nothing changes.
    EXPECT_FALSE(q.spielen(21, false, &a));
    EXPECT_FALSE(q.spielen(-1, false, &a));
    EXPECT_EQ(zustand(q), "20 ms, am Ende");
}

// A chord on every channel at once: all its notes sound in their block, none
// is held back to a later one.
TEST(Sequenzer, EinAkkordAufAllenKanälenKlingtImSelbenBlock) {
    Spur s;
    std::vector<Nachricht> soll;
    for (int k = 0; k < 16; ++k) {
        s.an(0, k, 60 + k);
        soll.push_back({0, k, 0x90, 60 + k, 100});
    }
    Sequenzer q(stück(s.ende(100)), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(0, false, &a));
    a.liste.clear();
    blöcke(q, a, 3);
    EXPECT_EQ(a.noten(), soll);
}

TEST(Sequenzer, WiederholenBehältDenÜberhang) {
    // 20.5 ms = 1312 frames: from 10 ms the end comes inside block 11, 32 frames over.
    Sequenzer q(stück(Spur().an(0, 0, 60).aus(205, 0, 60).ende()), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(10, true, &a));
    a.liste.clear();
    blöcke(q, a, 12);
    EXPECT_EQ(q.positionFrames(), 32 + 64);
    EXPECT_EQ(a.noten(), (std::vector<Nachricht>{{11, 0, 0x80, 60, 0}, {11, 0, 0x90, 60, 100}}));
    // Paused and continued with a plain play, it plays once to the end.
    q.anhalten(&a);
    q.fortsetzen(&a);
    EXPECT_FALSE(q.wiederholt());
    Sequenzer leer(stück(Spur().an(0, 0, 60).ende()), 0, Rate); // no length: repeat must not spin
    ASSERT_TRUE(leer.spielen(0, true, &a));
    blöcke(leer, a, 3);
    EXPECT_TRUE(leer.zuEnde());
}

TEST(Sequenzer, PauseLöstNotenUndPedalUndBringtEsWieder) {
    Sequenzer q(stück(Spur().cc(0, 0, 64, 127).an(0, 0, 60).aus(500, 0, 60).an(0, 0, 62).ende(100)), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(0, false, &a));
    blöcke(q, a, 20);
    a.liste.clear();
    q.anhalten(&a);
    blöcke(q, a, 100);
    EXPECT_EQ(a.liste, stille(20));
    a.liste.clear();
    q.fortsetzen(&a);
    EXPECT_EQ(a.nur([](const Nachricht& m) { return m.kanal == 0 && m.d1 == 64; }).back().d2, 127);
    blöcke(q, a, 31);
    EXPECT_EQ(a.noten(), (std::vector<Nachricht>{{150, 0, 0x80, 60, 0}, {150, 0, 0x90, 62, 100}}));
}

TEST(Sequenzer, SpielenAbStelltJedenKanalOhneNotenHer) {
    Spur s;
    s.cc(0, 0, 0, 1).programm(0, 0, 3).cc(0, 0, 0, 2); // bank 1 for program 3, bank 2 for a later change
    s.cc(0, 0, 101, 0).cc(0, 0, 100, 0).cc(0, 0, 6, 12).cc(0, 0, 101, 127).cc(0, 0, 100, 127); // bend range 12
    s.roh(0, {0xE1, 104, 7}).an(0, 0, 60).cc(1000, 0, 7, 90).cc(0, 0, 64, 127).cc(0, 0, 10, 20).an(1000, 0, 62).ende(100);
    Sequenzer q(stück(s), 16, Rate); // the second set of channels
    Aufnahme a;
    ASSERT_TRUE(q.spielen(150, false, &a));
    using V = std::vector<std::vector<int>>;
    const auto grund = [](int lautstärke, int pan) {
        return V{{0xB0, 64, 0}, {0xB0, 123, 0}, {0xB0, 121, 0}, {0xB0, 7, lautstärke}, {0xB0, 10, pan}, {0xB0, 91, 40}, {0xB0, 93, 0},
                 {0xB0, 101, 0}, {0xB0, 100, 0}, {0xB0, 6, 2}, {0xB0, 38, 0}, {0xB0, 101, 127}, {0xB0, 100, 127}};
    };
    V k16 = grund(90, 20), k17 = grund(100, 64), k18 = grund(100, 64);
    k16.insert(k16.end(), {{0xB0, 101, 0}, {0xB0, 100, 0}, {0xB0, 6, 12}, {0xB0, 101, 127}, {0xB0, 100, 127}, // bend range 12
                           {0xB0, 0, 1}, {0xB0, 32, 0}, {0xC0, 3, 0}, {0xB0, 0, 2}, {0xB0, 64, 127}});
    for (V* k : {&k17, &k18}) k->insert(k->end(), {{0xB0, 0, 0}, {0xB0, 32, 0}, {0xC0, 0, 0}});
    k17.push_back({0xE0, 104, 7});
    std::map<int, V> ist, soll{{16, k16}, {17, k17}};
    for (int k = 18; k < 32; ++k) soll[k] = k18; // the untouched ones at their start values
    for (const Nachricht& m : a.liste) ist[m.kanal].push_back({m.art, m.d1, m.d2});
    EXPECT_EQ(ist, soll);
    a.liste.clear();
    blöcke(q, a, 60);
    EXPECT_EQ(a.noten(), (std::vector<Nachricht>{{50, 16, 0x90, 62, 100}})); // the note at 0 stays silent
}

TEST(Sequenzer, OhneZielVergehtNurDieZeit) {
    Sequenzer q(stück(Spur().programm(0, 0, 4).an(0, 0, 60).programm(300, 0, 6).ende(100)), 0, Rate);
    ASSERT_TRUE(q.spielen(0, false, nullptr));
    for (int i = 0; i < 35; ++i) q.block(nullptr);
    Aufnahme a; // sound arrives late: the state the silent part reached is sent, and no note
    q.zustandSenden(a);
    EXPECT_EQ(a.nur([](const Nachricht& m) { return m.kanal == 0 && (m.art == 0xC0 || m.art == 0x90); }), (std::vector<Nachricht>{{0, 0, 0xC0, 6, 0}}));
    EXPECT_EQ(q.positionMs(), 35);
}

} // namespace
} // namespace qmb

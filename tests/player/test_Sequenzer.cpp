#include <gtest/gtest.h>

#include <memory>

#include "Aufnahme.h"
#include "SmfBauer.h"
#include "sound/player/Sequenzer.h"

namespace qmb {
namespace {

using test::Aufnahme;
using test::Spur;

// At 64000 frames a second one block is exactly one millisecond.
constexpr int Rate = 64000;

// 100 ticks a quarter at 10000 us a quarter: one tick is 0.1 ms.
std::shared_ptr<const MidiStück> stück(Spur s) {
    Spur t;
    t.tempo(0, 10000).ende();
    auto st = std::make_shared<MidiStück>();
    EXPECT_EQ(leseMidi(test::smf(1, 100, {t, s}), *st), MidiFehler::Keiner);
    return st;
}

void blöcke(Sequenzer& s, Aufnahme& a, int n) {
    for (int i = 0; i < n; ++i) {
        s.block(&a);
        ++a.block;
    }
}

TEST(Sequenzer, EreignisseKommenZumNaechstenBlockanfang) {
    Spur s;
    // 10.4 ms lies nearer to block 10 (frame 640..) than to block 11,
    // 10.6 ms nearer to block 11.
    s.an(0, 0, 50).an(104, 0, 60).an(2, 0, 61).aus(94, 0, 50).ende();
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(0, false, &a));
    blöcke(q, a, 30);
    const auto n = a.noten();
    ASSERT_GE(n.size(), 4u);
    EXPECT_EQ(n[0].block, 0);
    EXPECT_EQ(n[1].d1, 60);
    EXPECT_EQ(n[1].block, 10);
    EXPECT_EQ(n[2].d1, 61);
    EXPECT_EQ(n[2].block, 11);
    EXPECT_EQ(n[3].block, 20);
}

TEST(Sequenzer, SpielenAbStelltDenKanalzustandOhneNotenHer) {
    Spur s;
    s.programm(0, 0, 5).cc(0, 0, 7, 90).biegung(0, 1, 1000).an(0, 0, 60);
    s.programm(1000, 0, 7).cc(0, 0, 64, 127).cc(0, 0, 10, 20).cc(0, 3, 1, 55);
    s.an(1000, 0, 62).programm(0, 0, 9).aus(500, 0, 62).ende();
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(150, false, &a)); // between 100 ms and 200 ms
    EXPECT_TRUE(a.noten().empty());
    EXPECT_EQ(a.programm(0), 7);
    EXPECT_EQ(a.regler(0, 7), 90);
    EXPECT_EQ(a.regler(0, 64), 127);
    EXPECT_EQ(a.regler(0, 10), 20);
    EXPECT_EQ(a.regler(3, 1), 55);
    EXPECT_EQ(a.biegung(1), 1000);
    // Channels the piece leaves alone are reset to their start values.
    EXPECT_EQ(a.programm(2), 0);
    EXPECT_EQ(a.regler(2, 7), 100);
    EXPECT_EQ(a.anzahl(2, 0xB0, 121), 1);
    EXPECT_EQ(q.positionMs(), 150);

    blöcke(q, a, 60);
    const auto n = a.noten();
    ASSERT_EQ(n.size(), 1u); // the note at 200 ms; the one at 0 stays silent
    EXPECT_EQ(n[0].d1, 62);
    EXPECT_EQ(n[0].block, 50);
    EXPECT_EQ(a.programm(0), 9);
}

TEST(Sequenzer, BankUndParameterInRichtigerReihenfolge) {
    Spur s;
    // Bank 1 chosen for program 3, then bank 2 set for a later change that never comes.
    s.cc(0, 0, 0, 1).programm(0, 0, 3).cc(0, 0, 0, 2);
    // Pitch-bend range 12 through RPN 0, then the RPN closed again.
    s.cc(0, 0, 101, 0).cc(0, 0, 100, 0).cc(0, 0, 6, 12).cc(0, 0, 101, 127).cc(0, 0, 100, 127);
    s.an(100, 0, 60).ende(100);
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(5, false, &a));
    std::vector<std::pair<int, int>> folge; // controllers 0/6/100/101 and the program, in order
    for (const auto& m : a.liste) {
        if (m.kanal != 0) continue;
        if (m.art == 0xC0) folge.emplace_back(-1, m.d1);
        else if (m.art == 0xB0 && (m.d1 == 0 || m.d1 == 6 || m.d1 == 100 || m.d1 == 101)) folge.emplace_back(m.d1, m.d2);
    }
    const std::vector<std::pair<int, int>> erwartet{
        {101, 0}, {100, 0}, {6, 2}, {101, 127}, {100, 127},            // default bend range
        {101, 0}, {100, 0}, {6, 12}, {101, 127}, {100, 127},           // the piece's own
        {0, 1},   {-1, 3},  {0, 2}};
    EXPECT_EQ(folge, erwartet);
}

TEST(Sequenzer, ZweiterPlatzSpieltAufKanal16Bis31) {
    Spur s;
    s.programm(0, 9, 0).an(0, 9, 36).an(0, 2, 60).ende(100);
    Sequenzer q(stück(s), 16, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(0, false, &a));
    blöcke(q, a, 2);
    for (const auto& m : a.liste) {
        EXPECT_GE(m.kanal, 16);
        EXPECT_LE(m.kanal, 31);
    }
    const auto n = a.noten();
    ASSERT_EQ(n.size(), 2u);
    EXPECT_EQ(n[0].kanal, 25);
    EXPECT_EQ(n[1].kanal, 18);
}

TEST(Sequenzer, AmEndeStehtDiePositionAufDerLaenge) {
    Spur s;
    s.an(0, 0, 60).aus(200, 0, 60).ende(); // 20 ms
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    EXPECT_EQ(q.längeMs(), 20);
    ASSERT_TRUE(q.spielen(0, false, &a));
    blöcke(q, a, 19);
    EXPECT_TRUE(q.spielt());
    EXPECT_EQ(q.positionMs(), 19);
    blöcke(q, a, 1);
    EXPECT_EQ(q.positionMs(), 20); // at the end already, before the next block notices
    a.liste.clear();
    blöcke(q, a, 1);
    EXPECT_TRUE(q.zuEnde());
    EXPECT_FALSE(q.spielt());
    EXPECT_EQ(q.positionMs(), 20);
    ASSERT_EQ(a.noten().size(), 1u);    // the final note-off still went out
    EXPECT_EQ(a.noten()[0].art, 0x80);
    EXPECT_EQ(a.anzahl(5, 0xB0, 123), 1); // and all notes off on every channel
    blöcke(q, a, 50);
    EXPECT_EQ(q.positionMs(), 20);
    // A plain play at the end stays at the end.
    q.fortsetzen(&a);
    blöcke(q, a, 5);
    EXPECT_TRUE(q.zuEnde());
    EXPECT_EQ(q.positionMs(), 20);
}

TEST(Sequenzer, WiederholenSpringtAmEndeAufNull) {
    Spur s;
    s.an(0, 0, 60).aus(200, 0, 60).ende();
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(10, true, &a));
    blöcke(q, a, 10 + 7); // 10 ms to the end, then 7 into the second round
    EXPECT_TRUE(q.spielt());
    EXPECT_FALSE(q.zuEnde());
    EXPECT_EQ(q.positionMs(), 7);
    const auto n = a.noten();
    ASSERT_EQ(n.size(), 2u); // the note-off of round one, the note-on of round two
    EXPECT_EQ(n[0].art, 0x80);
    EXPECT_EQ(n[1].art, 0x90);
    EXPECT_EQ(n[1].block, 10);
    blöcke(q, a, 40);
    EXPECT_EQ(q.positionMs(), 7); // 47 ms past 0 is 7 ms into the third round
}

TEST(Sequenzer, PauseLoestNotenUndHaelt) {
    Spur s;
    s.cc(0, 0, 64, 127).an(0, 0, 60).aus(500, 0, 60).an(0, 0, 62).ende(100);
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(0, false, &a));
    blöcke(q, a, 20);
    a.liste.clear();
    q.anhalten(&a);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(a.regler(k, 64), 0) << k;
        EXPECT_EQ(a.anzahl(k, 0xB0, 123), 1) << k;
    }
    a.liste.clear();
    blöcke(q, a, 100);
    EXPECT_TRUE(a.liste.empty());
    EXPECT_EQ(q.positionMs(), 20);
    q.fortsetzen(&a);
    EXPECT_EQ(a.regler(0, 64), 127); // the pedal comes back with the piece
    EXPECT_TRUE(q.spielt());
    blöcke(q, a, 31);
    EXPECT_EQ(q.positionMs(), 51);
    ASSERT_EQ(a.noten().size(), 2u); // off 60, on 62 at 50 ms
    EXPECT_EQ(a.noten()[1].d1, 62);
    EXPECT_EQ(a.noten()[1].block, 20 + 100 + 30);
}

TEST(Sequenzer, GrenzenDesStuecks) {
    Spur s;
    s.an(0, 0, 60).ende(200);
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    EXPECT_FALSE(q.spielen(21, false, &a));
    EXPECT_FALSE(q.spielen(-1, false, &a));
    EXPECT_TRUE(a.liste.empty());
    EXPECT_FALSE(q.spielt());
    EXPECT_EQ(q.positionMs(), 0);
    EXPECT_TRUE(q.spielen(20, false, &a));
    EXPECT_TRUE(q.zuEnde());
    EXPECT_EQ(q.positionMs(), 20);
}

TEST(Sequenzer, StueckOhneDauerEndetAuchBeimWiederholen) {
    Spur s;
    s.an(0, 0, 60).ende();
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    EXPECT_EQ(q.längeMs(), 0);
    ASSERT_TRUE(q.spielen(0, true, &a));
    blöcke(q, a, 3);
    EXPECT_TRUE(q.zuEnde());
    EXPECT_EQ(q.positionMs(), 0);
}

TEST(Sequenzer, UeberfuellteBloeckeHolenNachOhneVerlust) {
    // 1500 controller changes at 0 ms, more than one block may send: they go
    // out over the next blocks, all of them and in order, and the note at
    // 10 ms is on time again.
    constexpr int Viele = 1500;
    static_assert(Viele > Sequenzer::EreignisseProBlock);
    Spur s;
    for (int i = 0; i < Viele; ++i) s.cc(0, 0, 1, i % 128);
    s.an(100, 0, 60).ende(100);
    Sequenzer q(stück(s), 0, Rate);
    Aufnahme a;
    ASSERT_TRUE(q.spielen(0, false, &a));
    a.liste.clear();
    blöcke(q, a, 1);
    EXPECT_EQ(a.anzahl(0, 0xB0, 1), Sequenzer::EreignisseProBlock);
    blöcke(q, a, 15);
    EXPECT_EQ(a.anzahl(0, 0xB0, 1), Viele);
    int i = 0;
    for (const auto& m : a.liste) {
        if (m.art == 0xB0 && m.d1 == 1) {
            EXPECT_EQ(m.d2, i % 128);
            ++i;
        }
    }
    ASSERT_EQ(a.noten().size(), 1u);
    EXPECT_EQ(a.noten()[0].block, 10);
}

TEST(Sequenzer, OhneZielVergehtNurDieZeit) {
    Spur s;
    s.programm(0, 0, 4).an(0, 0, 60).programm(300, 0, 6).ende(100);
    Sequenzer q(stück(s), 0, Rate);
    ASSERT_TRUE(q.spielen(0, false, nullptr));
    for (int i = 0; i < 35; ++i) q.block(nullptr);
    EXPECT_EQ(q.positionMs(), 35);
    // Sound arrives late: the state the silent part reached is sent.
    Aufnahme a;
    q.zustandSenden(a);
    EXPECT_EQ(a.programm(0), 6);
    EXPECT_TRUE(a.noten().empty());
}

} // namespace
} // namespace qmb

#include <gtest/gtest.h>

#include <sstream>

#include "SmfBauer.h"
#include "sound/player/MidiDatei.h"

namespace qmb {
namespace {

using namespace test;

// The whole reading as one line: length | tempo map (ms=us) | events
// (ms:status,data1,data2,track); or the error's text.
std::string gelesen(const Bytes& d) {
    MidiStück s;
    if (const MidiFehler f = leseMidi(d, s); f != MidiFehler::Keiner)
        return s.ereignisse.empty() && s.tempokarte.empty() ? fehlertext(f) : "not emptied";
    std::ostringstream o;
    o << s.längeMs << " |";
    for (const Tempopunkt& t : s.tempokarte) o << " " << t.ms << "=" << t.mikrosProViertel;
    o << " |";
    for (const MidiEreignis& e : s.ereignisse)
        o << " " << e.ms << ":" << std::hex << int(e.status) << std::dec << "," << int(e.daten1) << "," << int(e.daten2) << "," << e.spur;
    for (std::uint8_t b : s.sysexdaten) o << " x" << int(b);
    return o.str();
}

Bytes eineSpur(const Spur& s, std::uint16_t teilung = 500) { return smf(0, teilung, {s}); }

TEST(MidiDatei, GuteDateien) {
    const std::uint16_t smpte25 = std::uint16_t((0x100 - 25) << 8 | 40), ntsc = std::uint16_t((0x100 - 29) << 8 | 1);
    Bytes fremd = kopf(0, 1, 500), nachEnde = eineSpur(Spur().an(0, 0, 60).ende(10).an(0, 0, 61).roh(0, {1}));
    anhängen(fremd, Spur().roh(0, {1, 2, 3}), "XFIH");
    anhängen(fremd, Spur().an(0, 0, 60).aus(48, 0, 60)); // no end-of-track event
    const std::pair<Bytes, std::string> fälle[] = {
        // 480 a quarter: 960 ticks at 120 bpm, then 960 at 240 bpm
        {smf(0, 480, {Spur().an(0, 0, 60).aus(960, 0, 60).tempo(0, 250000).an(480, 0, 62).aus(240, 0, 62).ende(240)}),
         "1500 | 0=500000 1000=250000 | 0:90,60,100,0 1000:80,60,0,0 1250:90,62,100,0 1375:80,62,0,0"},
        // a tempo in a later track times the earlier ones; of two at one tick the last wins
        {smf(1, 500, {Spur().programm(0, 0, 5).an(0, 0, 60).aus(1000, 0, 60).ende(),
                      Spur().tempo(0, 1000000).tempo(0, 2000000).tempo(500, 1000000).ende()}),
         "3000 | 0=2000000 2000=1000000 | 0:c0,5,0,0 0:90,60,100,0 3000:80,60,0,0"},
        // same tick: track order, then file order; the longest track sets the length
        {smf(1, 500, {Spur().an(10, 0, 60).cc(0, 0, 7, 1).ende(), Spur().an(5, 1, 40).an(5, 1, 41).ende(100)}),
         "110 | 0=500000 | 5:91,40,100,1 10:90,60,100,0 10:b0,7,1,0 10:91,41,100,1"},
        // running status across meta and sysex events, one data byte for C0 and D0
        {eineSpur(Spur().roh(0, {0x91, 60, 100}).roh(10, {62, 90}).roh(0, {0xFF, 1, 2, 'h', 'i'}).roh(0, {64, 0})
                      .roh(0, {0xF0, 3, 0x7E, 9, 0xF7}).roh(0, {65, 1}).roh(4, {0xC2, 7}).roh(0, {9}).roh(0, {0xF7, 2, 1, 2})
                      .roh(0, {0xD2, 50}).ende()),
         "14 | 0=500000 | 0:91,60,100,0 10:91,62,90,0 10:91,64,0,0 10:f0,0,0,0 10:91,65,1,0 14:c2,7,0,0 14:c2,9,0,0 "
         "14:f7,0,0,0 14:d2,50,0,0 x126 x9 x247 x1 x2"},
        // SMPTE: 25 frames of 40 ticks, tempo events do not count; 29 means 29.97
        {eineSpur(Spur().tempo(0, 100000).an(500, 0, 60).ende(1500), smpte25), "2000 | 0=100000 | 500:90,60,100,0"},
        {eineSpur(Spur().ende(2997), ntsc), "100000 | 0=500000 |"},
        {fremd, "48 | 0=500000 | 0:90,60,100,0 48:80,60,0,0"},
        {nachEnde, "10 | 0=500000 | 0:90,60,100,0"},
    };
    for (const auto& [d, soll] : fälle) EXPECT_EQ(gelesen(d), soll);
}

// Files that would make the reader go past its bytes, take a data byte for
// a status, divide by zero, run its clock over or eat memory: refused. (That any bytes are either refused
// or read into a consistent piece, the fuzzer checks; the game only ever
// reads the files it wrote itself.)
TEST(MidiDatei, KaputteUndFeindseligeDateien) {
    const Bytes gut = eineSpur(Spur().an(0, 0, 60).ende(10), 96);
    Bytes zuLang = gut, riesig(MaxMidiDateigröße + 1, 0);
    zuLang[18] = 0x7F;
    std::copy(gut.begin(), gut.end(), riesig.begin());
    Spur weit;
    for (int i = 0; i < 17; ++i) weit.roh(0x0FFFFFFF, {0x90, 60, 0});
    const std::pair<Bytes, MidiFehler> fälle[] = {
        {{}, MidiFehler::KeinKopf},
        {{'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1}, MidiFehler::KopfZuKurz},
        {kopf(1, 1025, 96), MidiFehler::ZuVieleSpuren},
        {eineSpur(Spur().ende(), 0), MidiFehler::TeilungNull},
        {zuLang, MidiFehler::Abgeschnitten},
        {eineSpur(Spur().roh(0, {0xFF, 0x01, 0x40, 'x'})), MidiFehler::Abgeschnitten},
        {eineSpur(Spur().roh(0, {0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x00})), MidiFehler::Abgeschnitten},
        {eineSpur(Spur{{0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100}}), MidiFehler::ZahlZuLang},
        {eineSpur(Spur().roh(0, {60, 100})), MidiFehler::OhneLaufstatus},
        {eineSpur(weit), MidiFehler::ZuLang},
        {riesig, MidiFehler::DateiZuGroß},
    };
    for (const auto& [d, f] : fälle) EXPECT_EQ(gelesen(d), fehlertext(f));
}

} // namespace
} // namespace qmb

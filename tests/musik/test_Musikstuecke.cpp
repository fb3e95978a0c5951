#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "musik/Musikressourcen.h"
#include "sound/player/MidiDatei.h"
#include "sound/player/Musikspieler.h"

namespace qmb {
namespace {

struct Stück {
    int id;
    const char* name;
    double abMs; // where the game starts playing it; 0 for the background pieces
};
const Stück stücke[] = {{101, "lost", 2600}, {102, "won", 2500}, {103, "game1", 0}, {104, "game2", 0}, {105, "game3", 0}, {106, "game4", 0}};

// The file compiled from the piece's notes, beside the build.
std::string pfad(const Stück& s) { return QUAMBEL_MIDI_ORDNER "/" + std::string(s.name) + ".mid"; }

// The piece the program carries under its number: the very bytes compiled for it.
MidiStück lesen(const Stück& s) {
    MidiStück st;
    const std::span<const unsigned char> b = Musikressource(s.id);
    std::ifstream ein(pfad(s), std::ios::binary);
    EXPECT_EQ(std::string(b.begin(), b.end()), std::string(std::istreambuf_iterator<char>(ein), {})) << s.name;
    EXPECT_EQ(leseMidi(std::span<const std::uint8_t>(b.data(), b.size()), st), MidiFehler::Keiner) << s.name;
    return st;
}

// Format 1 with a tempo track, five or more voices, drums on channel 10, every
// channel's program before its first note, dynamics, and music all the way:
// a background piece of one to three minutes, a jingle whose tune starts where
// the game starts it and sounds five seconds on.
TEST(Musik, FormUndLänge) {
    for (const Stück& s : stücke) {
        const MidiStück st = lesen(s);
        std::set<int> spuren, kanäle, stärken;
        std::map<int, double> programm, ersteNote;
        std::vector<std::pair<double, double>> klänge; // a note sounds to its end, and at least half a second
        double melodie = st.längeMs;
        for (const MidiEreignis& e : st.ereignisse) {
            const int k = e.status & 0x0F;
            if ((e.status & 0xF0) == 0xC0 && !programm.count(k)) programm[k] = e.ms;
            if ((e.status & 0xF0) != 0x90 || e.daten2 == 0) continue;
            spuren.insert(e.spur);
            kanäle.insert(k);
            stärken.insert(e.daten2);
            ersteNote.emplace(k, e.ms);
            if (e.spur == 1) melodie = std::min(melodie, e.ms);
            auto aus = std::find_if(&e + 1, st.ereignisse.data() + st.ereignisse.size(), [&](const MidiEreignis& x) {
                return (x.status == (0x80 | k) || (x.status == (0x90 | k) && x.daten2 == 0)) && x.daten1 == e.daten1;
            });
            klänge.emplace_back(e.ms, std::max(e.ms + 500, aus == st.ereignisse.data() + st.ereignisse.size() ? st.längeMs : aus->ms));
        }
        EXPECT_TRUE(spuren.size() >= 5 && !spuren.count(0)) << s.name;
        EXPECT_TRUE(kanäle.count(9)) << s.name << ": no drums on channel 10";
        for (int k : kanäle) EXPECT_LE(programm.count(k) ? programm[k] : 1e12, k == 9 ? 1e12 : ersteNote[k]) << s.name << " channel " << k + 1;
        EXPECT_GE(stärken.size(), 4u) << s.name;
        EXPECT_GE(*stärken.begin(), 20) << s.name;
        const double von = s.abMs ? s.abMs + 100 : 500, bis = s.abMs ? s.abMs + 5000 : st.längeMs - 2000;
        if (s.abMs) EXPECT_TRUE(melodie >= s.abMs - 1 && melodie <= s.abMs + 500) << s.name << ": tune at " << melodie;
        else EXPECT_TRUE(st.längeMs >= 60'000 && st.längeMs <= 180'000) << s.name;
        EXPECT_GE(st.längeMs, bis) << s.name;
        for (double t = von; t < bis; t += 250)
            EXPECT_TRUE(std::any_of(klänge.begin(), klänge.end(), [&](auto& k) { return k.first <= t && t < k.second; }))
                << s.name << " silent at " << t << " ms";
    }
}

// How loud the pieces come out of the player: peaks at or below -3 dBFS, so that nothing clips on the way to the
// card, and every piece within 2 dB of the others (RMS from where the game
// starts it to its end), so that no piece sends the player to the volume knob.
TEST(Musik, PegelUndLautheit) {
    Spielereinstellungen e;
    e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
    double leisestes = 0, lautestes = -200;
    for (const Stück& s : stücke) {
        Befehlsspieler p(e);
        if (!p.warteAufKlang()) GTEST_SKIP() << "no SoundFont installed";
        std::string antwort;
        ASSERT_EQ(p.mciSendString("open " + pfad(s) + " alias x", antwort), 0u) << s.name;
        ASSERT_EQ(p.mciSendString("play x from " + std::to_string(int(s.abMs)), antwort), 0u);
        double spitze = 0, quadrate = 0, werte = 0;
        for (double ms = s.abMs, länge = lesen(s).längeMs; ms < länge; ms += 1000)
            for (float x : p.vorrücken(1000)) {
                spitze = std::max(spitze, double(std::abs(x)));
                quadrate += double(x) * x;
                ++werte;
            }
        const double spitzeDb = 20 * std::log10(spitze), lautheitDb = 10 * std::log10(quadrate / werte);
        std::printf("%-6s Spitze %6.1f dBFS, Lautheit %6.1f dB\n", s.name, spitzeDb, lautheitDb);
        EXPECT_LE(spitzeDb, -3.0) << s.name;
        leisestes = std::min(leisestes, lautheitDb);
        lautestes = std::max(lautestes, lautheitDb);
    }
    // The pieces are balanced for the SoundFont the game takes by default;
    // another one (FluidR3, chosen through QUAMBEL_SOUNDFONT) weighs its
    // instruments differently, and only its peaks count.
    if (!std::getenv("QUAMBEL_SOUNDFONT")) {
        EXPECT_LE(lautestes - leisestes, 2.0);
    }
}

} // namespace
} // namespace qmb

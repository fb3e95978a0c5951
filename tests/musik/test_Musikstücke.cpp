#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "musik/Musikressourcen.h"
#include "sound/player/MidiDatei.h"
#include "sound/player/Musikspieler.h"

namespace qmb {
namespace {

struct Stück {
    int id;
    const char* name;
    bool jingle;
    double abMs; // where the game starts playing it
};

const Stück stücke[] = {
    {101, "lost", true, 2600},  {102, "won", true, 2500},   {103, "game1", false, 0},
    {104, "game2", false, 0},   {105, "game3", false, 0},   {106, "game4", false, 0},
};

std::string PrintToString(const Stück& s) { return s.name; }

// The compiled files beside the build, from the build's own list.
std::map<int, std::string> dateien() {
    std::map<int, std::string> aus;
    std::istringstream ein(QUAMBEL_MIDI_DATEIEN);
    std::string eintrag;
    while (std::getline(ein, eintrag, '|')) {
        const size_t gleich = eintrag.find('=');
        if (gleich != std::string::npos) aus[std::stoi(eintrag.substr(0, gleich))] = eintrag.substr(gleich + 1);
    }
    return aus;
}

MidiStück lesen(int id) {
    MidiStück st;
    const std::span<const unsigned char> b = Musikressource(id);
    EXPECT_EQ(leseMidi(std::span<const std::uint8_t>(b.data(), b.size()), st), MidiFehler::Keiner) << id;
    return st;
}

// Every note as a span of time: on, off, channel.
struct Klang {
    double an, aus;
    int kanal;
    int spur;
};

std::vector<Klang> klänge(const MidiStück& st) {
    std::vector<Klang> aus;
    std::map<std::pair<int, int>, std::vector<size_t>> offen;
    for (const MidiEreignis& e : st.ereignisse) {
        const int art = e.status & 0xF0, kanal = e.status & 0x0F;
        if (art == 0x90 && e.daten2 > 0) {
            offen[{kanal, e.daten1}].push_back(aus.size());
            aus.push_back({e.ms, st.längeMs, kanal, e.spur});
        } else if (art == 0x80 || art == 0x90) {
            auto& o = offen[{kanal, e.daten1}];
            if (!o.empty()) {
                aus[o.front()].aus = e.ms;
                o.erase(o.begin());
            }
        }
    }
    return aus;
}

// A note sounds at `ms`, or one began within the last half second (a drum
// hit or a staccato chord is short, but its sound is not).
bool klingtBei(const std::vector<Klang>& k, double ms) {
    return std::any_of(k.begin(), k.end(), [&](const Klang& x) { return x.an <= ms && ms < std::max(x.aus, x.an + 500); });
}

class Musikstück : public ::testing::TestWithParam<Stück> {};

// ---------------------------------------------------------------- form

TEST_P(Musikstück, FormatEinsMitSechsSpurenUndSchlagzeugAufKanalZehn) {
    const MidiStück st = lesen(GetParam().id);
    EXPECT_EQ(st.format, 1);
    EXPECT_GE(st.spuren, 6);
    std::set<int> spurenMitNoten, kanäle;
    for (const Klang& k : klänge(st)) spurenMitNoten.insert(k.spur), kanäle.insert(k.kanal);
    // Tempo track without notes, then melody, harmony, bass, drums and more.
    EXPECT_GE(spurenMitNoten.size(), 5u);
    EXPECT_FALSE(spurenMitNoten.count(0)) << "the first track is the tempo track";
    EXPECT_TRUE(kanäle.count(9)) << "no drums on channel 10";
    // Each melodic channel chooses its General MIDI program before it plays.
    for (int k : kanäle) {
        if (k == 9) continue;
        double programm = -1, ersteNote = -1;
        for (const MidiEreignis& e : st.ereignisse) {
            if ((e.status & 0x0F) != k) continue;
            if ((e.status & 0xF0) == 0xC0 && programm < 0) programm = e.ms;
            if ((e.status & 0xF0) == 0x90 && e.daten2 > 0 && ersteNote < 0) ersteNote = e.ms;
        }
        EXPECT_GE(programm, 0) << "channel " << k + 1 << " has no program";
        EXPECT_LE(programm, ersteNote) << "channel " << k + 1;
    }
}

TEST_P(Musikstück, LautstärkenHabenDynamik) {
    std::set<int> stärken;
    for (const MidiEreignis& e : lesen(GetParam().id).ereignisse)
        if ((e.status & 0xF0) == 0x90 && e.daten2 > 0) stärken.insert(e.daten2);
    EXPECT_GE(stärken.size(), 4u) << "hardly any dynamics";
    ASSERT_FALSE(stärken.empty());
    EXPECT_GE(*stärken.begin(), 20);
}

TEST_P(Musikstück, LängeUndHauptteilAmRichtigenOrt) {
    const Stück& s = GetParam();
    const MidiStück st = lesen(s.id);
    const std::vector<Klang> k = klänge(st);
    ASSERT_FALSE(k.empty());
    if (!s.jingle) {
        EXPECT_GE(st.längeMs, 60'000);
        EXPECT_LE(st.längeMs, 180'000);
        // Something sounds all the way through, up to the last two seconds.
        for (double t = 500; t < st.längeMs - 2000; t += 500) EXPECT_TRUE(klingtBei(k, t)) << s.name << " silent at " << t << " ms";
        return;
    }
    // The melody (track 1) must not start before the point the game starts
    // from, or its beginning would be cut off; from there on music sounds
    // for at least five more seconds.
    double melodie = st.längeMs;
    for (const Klang& x : k)
        if (x.spur == 1) melodie = std::min(melodie, x.an);
    EXPECT_GE(melodie, s.abMs - 1) << s.name;
    EXPECT_LE(melodie, s.abMs + 500) << s.name << ": the tune starts long after the game starts the jingle";
    for (double t = s.abMs + 100; t <= s.abMs + 5000; t += 250)
        EXPECT_TRUE(klingtBei(k, t)) << s.name << " silent at " << t << " ms";
    EXPECT_GE(st.längeMs, s.abMs + 5000);
}

TEST_P(Musikstück, EingebetteteBytesSindDieÜbersetzteDatei) {
    const auto d = dateien();
    ASSERT_TRUE(d.count(GetParam().id)) << "build list: " << QUAMBEL_MIDI_DATEIEN;
    std::ifstream ein(d.at(GetParam().id), std::ios::binary);
    ASSERT_TRUE(ein) << d.at(GetParam().id);
    const std::vector<unsigned char> datei((std::istreambuf_iterator<char>(ein)), std::istreambuf_iterator<char>());
    const std::span<const unsigned char> b = Musikressource(GetParam().id);
    EXPECT_EQ(std::vector<unsigned char>(b.begin(), b.end()), datei);
}

TEST(Musikressource, NurDieSechsNummernHabenDaten) {
    EXPECT_TRUE(Musikressource(100).empty());
    EXPECT_TRUE(Musikressource(107).empty());
    EXPECT_TRUE(Musikressource(0).empty());
    EXPECT_EQ(dateien().size(), 6u);
}

// ---------------------------------------------------------------- sound

// One offline player with the SoundFont of the system for all pieces: the
// General MIDI font takes a moment to load.
class Klangprobe : public ::testing::TestWithParam<Stück> {
protected:
    static void SetUpTestSuite() {
        Spielereinstellungen e;
        e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
        spieler_ = std::make_unique<Befehlsspieler>(e);
        klingt_ = spieler_->warteAufKlang();
    }
    static void TearDownTestSuite() { spieler_.reset(); }

    unsigned senden(const std::string& befehl) {
        std::string antwort;
        return spieler_->mciSendString(befehl, antwort);
    }

    struct Pegel {
        double rmsDb, spitze;
    };
    // Lets `ms` of the playing piece pass and measures what comes out.
    Pegel messen(double ms) {
        const std::vector<float> a = spieler_->vorrücken(ms);
        double summe = 0, spitze = 0;
        for (float v : a) summe += double(v) * v, spitze = std::max(spitze, double(std::fabs(v)));
        const double rms = a.empty() ? 0 : std::sqrt(summe / double(a.size()));
        return {20 * std::log10(rms + 1e-12), spitze};
    }

    static std::unique_ptr<Befehlsspieler> spieler_;
    static bool klingt_;
};
std::unique_ptr<Befehlsspieler> Klangprobe::spieler_;
bool Klangprobe::klingt_ = false;

// Audible: well above the noise floor and near what a game sound plays at.
constexpr double Hörbar = -40;

TEST_P(Klangprobe, KlingtWoEsKlingenSoll) {
    if (!klingt_)
        GTEST_SKIP() << "no General MIDI SoundFont found (install timgm6mb-soundfont or fluid-soundfont-gm, "
                        "or set QUAMBEL_SOUNDFONT)";
    const Stück& s = GetParam();
    const std::string datei = dateien().at(s.id);
    ASSERT_EQ(senden("open " + datei + " type MPEGVideo alias x"), 0u) << datei;
    const double länge = lesen(s.id).längeMs;
    auto spielen = [&](double ab) { EXPECT_EQ(senden("play x from " + std::to_string(static_cast<long>(ab))), 0u); };
    if (s.jingle) {
        // As the game plays it: from its starting point, second by second.
        spielen(s.abMs);
        for (int i = 0; i < 5; ++i) {
            const Pegel p = messen(1000);
            EXPECT_GT(p.rmsDb, Hörbar) << s.name << " in second " << i + 1 << " after " << s.abMs << " ms";
            EXPECT_LT(p.spitze, 1.0) << s.name << " clips in second " << i + 1;
        }
    } else {
        // Eight windows spread from the start to shortly before the end.
        const double fenster = 2500;
        for (int i = 0; i < 8; ++i) {
            const double ab = (länge - 3000 - fenster) * i / 7;
            spielen(ab);
            const Pegel p = messen(fenster);
            EXPECT_GT(p.rmsDb, Hörbar) << s.name << " from " << ab << " ms";
            EXPECT_LT(p.spitze, 1.0) << s.name << " clips from " << ab << " ms";
        }
    }
    EXPECT_EQ(senden("stop x"), 0u);
    EXPECT_EQ(senden("close x"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Stücke, Musikstück, ::testing::ValuesIn(stücke),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Stücke, Klangprobe, ::testing::ValuesIn(stücke),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qmb

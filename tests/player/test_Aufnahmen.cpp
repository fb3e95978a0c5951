#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

#include "SmfBauer.h"
#include "platform/Dateisystem.h"
#include "sound/player/Aufnahmen.h"
#include "sound/player/Musikspieler.h"

namespace qmb {
namespace {

using namespace test;

struct Schritt {
    double ms;          // time that passes before the command
    std::string befehl; // for the piece opened as qmbgame
};

// What a player gave, and whether its synth had a voice from a moment on.
struct Hörprobe {
    std::vector<float> klang; // interleaved, 32000 frames a second
    double stillAb = -1; // since when the synth has had no voice
};

// The file a recording is kept in: its key in 16 hex digits.
std::string dateiname(std::uint64_t schlüssel) {
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(schlüssel));
    return std::string(name) + ".qmbklang";
}

struct Aufnahmen_ : ::testing::Test {
    Ordner ordner;
    const std::string lager = (ordner.pfad / "aufnahmen").string();
    // One tick a millisecond. At 1000 ms 60 and 64 sound, 79 began half a
    // block before (a play from 1000 leaves it out), 67 begins; 72 and 76
    // go on long after those have died away.
    const std::string c = ordner.schreiben("game3.qmb", smf(0, 500, {Spur().programm(0, 0, 19).an(0, 0, 60).an(400, 0, 64)
                                                                        .an(599, 0, 79).an(1, 0, 67).aus(200, 0, 60).aus(400, 0, 64).an(200, 0, 72)
                                                                        .aus(600, 0, 67).aus(600, 0, 79).an(0, 0, 76).aus(2000, 0, 72).aus(1000, 0, 76).ende(100)}));
    std::string schrift;
    void SetUp() override {
        for (const std::string& p : FluidKlang::schriftKandidaten())
            if (std::error_code f; schrift.empty() && std::filesystem::is_regular_file(p, f)) schrift = p;
        if (schrift.empty()) GTEST_SKIP() << "no SoundFont installed";
    }
    std::shared_ptr<MidiStück> stück(const std::string& pfad) {
        auto s = std::make_shared<MidiStück>();
        EXPECT_EQ(leseMidiDatei(pfad, *s), MidiFehler::Keiner);
        return s;
    }
    // Plays the piece by the book; `vorher` ms of silence first put the
    // synth's clock that far ahead (its reverb modulates with it).
    Hörprobe hören(const std::vector<Schritt>& buch, double bis, bool mitAufnahmen, Klangeinstellungen klang, double vorher = 0) {
        Spielereinstellungen e;
        e.klang = klang;
        e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
        e.schriften = {schrift};
        if (mitAufnahmen) e.aufnahmen = lager;
        Befehlsspieler s(e);
        EXPECT_TRUE(s.warteAufKlang());
        s.vorrücken(vorher);
        std::string antwort;
        EXPECT_EQ(s.mciSendString("open " + c + " type MPEGVideo alias qmbgame", antwort), 0u);
        Hörprobe h;
        double jetzt = 0;
        auto bis_ = [&](double ende) {
            for (; jetzt < ende; jetzt += 10) {
                const std::vector<float> neu = s.vorrücken(10);
                h.klang.insert(h.klang.end(), neu.begin(), neu.end());
                if (s.klang()->stimmen() > 0) h.stillAb = -1;
                else if (h.stillAb < 0) h.stillAb = jetzt;
            }
        };
        for (const Schritt& x : buch) {
            bis_(jetzt + x.ms);
            EXPECT_EQ(s.mciSendString(x.befehl, antwort), 0u) << x.befehl;
        }
        bis_(bis);
        return h;
    }
};

// The level of the difference between two sounds from frame `ab` on, in dB
// of full scale (RMS); -inf when they are the same there.
double unterschiedDb(const std::vector<float>& a, const std::vector<float>& b, std::size_t ab) {
    double summe = 0;
    for (std::size_t i = 2 * ab; i < a.size(); ++i) summe += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    return 10 * std::log10(summe / double(a.size() - 2 * ab));
}

// With a recording the piece sounds as the synth plays it live. Without
// reverb and chorus that holds sample for sample in every case: from the
// start; over and over (repeating stays live); from a point in the middle,
// live until the notes begun before it have died away, then from the
// recording; across a stop, whose notes the synth takes over. With them,
// what differs once the recording took over is reverb alone: that of the
// notes before the point, and its fine grain, which runs on the synth's own
// clock, so that two live plays whose synths started half a second apart
// differ as much.
TEST_F(Aufnahmen_, KlingenWieLive) {
    struct Fall {
        std::vector<Schritt> buch;
        double übernommenBis; // ms by which the recording took over for good (-1: it never may)
    };
    const Fall fälle[] = {
        {{{0, "play qmbgame from 0"}}, 0},
        {{{0, "play qmbgame repeat from 0"}}, -1},
        // Each before the last note ends.
        {{{0, "play qmbgame from 1000"}}, 5000},
        {{{0, "play qmbgame from 0"}, {900, "stop qmbgame"}, {500, "play qmbgame"}}, 6500},
        {{{0, "play qmbgame from 0"}, {1500, "stop qmbgame"}, {2500, "play qmbgame"}}, 8500},
    };
    for (const bool effekte : {false, true}) {
        Klangeinstellungen klang;
        klang.effekte = effekte;
        ASSERT_EQ(Aufnahmen(lager, systemDateisystem()).aufnehmen(*stück(c), schrift, klang), 0);
        for (const Fall& f : fälle) {
            const std::string name = f.buch.back().befehl + (effekte ? " mit Effekten" : "");
            const Hörprobe live = hören(f.buch, 9000, false, klang), gespeichert = hören(f.buch, 9000, true, klang);
            ASSERT_EQ(live.klang.size(), gespeichert.klang.size());
            // Taken over by then; or never, when the synth still plays at the end.
            const double still = gespeichert.stillAb;
            EXPECT_TRUE(f.übernommenBis < 0 ? still < 0 : still >= 0 && still <= f.übernommenBis) << name << ": still ab " << still;
            if (!effekte) {
                // The cross-fade of equal sounds rounds in the last bits.
                EXPECT_LT(unterschiedDb(live.klang, gespeichert.klang, 0), -140) << name;
                continue;
            }
            // Identical while the synth plays, and from the start up to the
            // recording's end (after which a live synth gives the last of its
            // reverb, which a player never sends out).
            const double gleichBis = f.übernommenBis > 0 ? gespeichert.stillAb - 20 : f.übernommenBis == 0 ? 6500 : 9000;
            const auto frames = std::size_t(32 * gleichBis);
            EXPECT_TRUE(std::equal(live.klang.begin(), live.klang.begin() + 2 * frames, gespeichert.klang.begin())) << name;
            if (f.übernommenBis <= 0) continue;
            Hörprobe später = hören(f.buch, 9500, false, klang, 500);
            später.klang.erase(später.klang.begin(), später.klang.begin() + 2 * 16000);
            EXPECT_LE(unterschiedDb(live.klang, gespeichert.klang, frames), unterschiedDb(live.klang, später.klang, frames) + 1) << name;
            }
    }
}

// A recording is found again only for the same piece, SoundFont and
// settings, and only whole: anything else is not found (and recorded anew),
// never played.
TEST_F(Aufnahmen_, NurGanzUndPassend) {
    Aufnahmen aufnahmen(lager, systemDateisystem());
    const auto stück = this->stück(c);
    const Klangeinstellungen klang;
    const std::uint64_t schlüssel = Aufnahmen::schlüssel(*stück, schrift, klang);
    ASSERT_EQ(aufnahmen.aufnehmen(*stück, schrift, klang), 0);
    const std::string datei = lager + "/" + dateiname(schlüssel);
    const std::int64_t frames = Aufnahme::öffnen(datei, schlüssel)->frames();
    EXPECT_GT(frames, 6000 * 32); // the piece and its last notes dying away
    // Another piece, SoundFont or setting is another key.
    MidiStück anders = *stück;
    anders.ereignisse[3].daten2 = 99;
    Klangeinstellungen lauter = klang, schneller = klang;
    lauter.lautstärke = 0.6;
    schneller.abtastrate = 44100;
    for (const std::uint64_t k : {Aufnahmen::schlüssel(anders, schrift, klang), Aufnahmen::schlüssel(*stück, c, klang),
                                  Aufnahmen::schlüssel(*stück, schrift, lauter), Aufnahmen::schlüssel(*stück, schrift, schneller)})
        EXPECT_NE(k, schlüssel);
    EXPECT_EQ(Aufnahmen::schlüssel(*this->stück(c), schrift, klang), schlüssel);
    EXPECT_EQ(Aufnahme::öffnen(datei, schlüssel + 1), nullptr);
    // A folder that cannot be made (a file lies on the way): no recording, and nothing else.
    EXPECT_EQ(Aufnahmen(c + "/drin", systemDateisystem()).aufnehmen(*stück, schrift, klang), ENOTDIR);
    // Damaged: cut short, eight bytes more in front of an intact tail, the tail overwritten.
    const auto größe = std::filesystem::file_size(datei);
    const std::function<void()> schäden[] = {
        [&] { std::filesystem::resize_file(datei, größe - 1); },
        [&] {
            std::ifstream ein(datei, std::ios::binary);
            const std::string inhalt((std::istreambuf_iterator<char>(ein)), {});
            std::ofstream(datei, std::ios::binary) << "12345678" << inhalt;
        },
        [&] { std::fstream(datei, std::ios::in | std::ios::out | std::ios::binary).seekp(-20, std::ios::end).write("kaputt", 6); },
    };
    for (const auto& schaden : schäden) {
        schaden();
        EXPECT_EQ(Aufnahmen(lager, systemDateisystem()).finden(schlüssel), nullptr);
        ASSERT_EQ(aufnahmen.aufnehmen(*stück, schrift, klang), 0);
        EXPECT_EQ(Aufnahmen(lager, systemDateisystem()).finden(schlüssel)->frames(), frames);
    }
}

// The program has a piece recorded in the background when it first opens it
// and plays it live meanwhile; the folder keeps no left-overs of copies that
// died while recording, and no more than a dozen recordings.
TEST_F(Aufnahmen_, ImHintergrundUndAufgeräumt) {
    std::filesystem::create_directories(lager);
    const auto alt = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (int i = 0; i < Aufnahmen::Höchstens + 2; ++i) {
        const std::string name = ordner.schreiben("aufnahmen/alt" + std::to_string(i) + ".qmbklang", {1});
        std::filesystem::last_write_time(name, alt - std::chrono::minutes(i));
    }
    ordner.schreiben("aufnahmen/halb.qmbklang.999999999", {1}); // of a copy long gone
    ordner.schreiben("aufnahmen/fremd.txt", {1});
    Spielereinstellungen e;
    e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
    e.schriften = {schrift};
    e.aufnahmen = lager;
    Befehlsspieler s(e);
    ASSERT_TRUE(s.warteAufKlang());
    std::string antwort;
    s.mciSendString("open " + c + " type MPEGVideo alias qmbgame", antwort);
    s.mciSendString("play qmbgame from 0", antwort);
    const std::uint64_t schlüssel = Aufnahmen::schlüssel(*stück(c), schrift, Klangeinstellungen{});
    // Recorded at idle priority: on a busy machine that may take a while. The
    // player, not the file on disk, must have it before time passes, or the
    // piece plays on live from where the recording came.
    for (int i = 0; i < 24000 && !s.aufnahmeBereit("qmbgame"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(s.aufnahmeBereit("qmbgame"));
    // Once there, the piece that waited for it sounds from it, the synth rests.
    const std::vector<float> klang = s.vorrücken(4500);
    EXPECT_GT(*std::max_element(klang.end() - 6400, klang.end()), 0.001f);
    EXPECT_EQ(s.klang()->stimmen(), 0);
    std::vector<std::string> namen;
    for (const auto& eintrag : std::filesystem::directory_iterator(lager)) namen.push_back(eintrag.path().filename().string());
    std::sort(namen.begin(), namen.end());
    // The new one and the eleven youngest old ones.
    std::vector<std::string> soll{"fremd.txt"};
    for (int i = 0; i < Aufnahmen::Höchstens - 1; ++i) soll.push_back("alt" + std::to_string(i) + ".qmbklang");
    soll.push_back(dateiname(schlüssel));
    std::sort(soll.begin(), soll.end());
    EXPECT_EQ(namen, soll);
}

} // namespace
} // namespace qmb

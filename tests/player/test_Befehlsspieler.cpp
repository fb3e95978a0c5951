#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "Attrappen.h"
#include "SmfBauer.h"
#include "sound/player/Musikspieler.h"

namespace qmb {
namespace {

using test::smf;
using test::Spur;

struct Schritt {
    double ms;          // time that passes before the command
    std::string befehl; // {a} {b}: pieces of 1500 and 3000 ms, {l}: a with a blank in the path,
                        // {t}: a text file, {f}: a missing file
    unsigned code = 0;
    std::string antwort = "";
};

struct Spieler : ::testing::Test {
    test::Ordner ordner;
    // 1500 ms: 960 ticks at 120 bpm, then 960 at 240 bpm; 3000 ms of notes at 120 bpm.
    const std::string a = ordner.schreiben("game1.qmb", smf(0, 480, {Spur().programm(0, 0, 19).an(0, 0, 60).aus(960, 0, 60)
                                                                        .tempo(0, 250000).an(0, 0, 64).aus(960, 0, 64).ende()}));
    const std::string b = ordner.schreiben("won.qmb", smf(0, 96, {Spur().programm(0, 0, 40).an(0, 0, 60).an(0, 9, 36).aus(576, 0, 60).aus(0, 9, 36).ende()}));

    // Offline at 64000 frames a second: one block to the millisecond.
    Spielereinstellungen offline(std::string schrift = "") {
        Spielereinstellungen e;
        e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
        e.schriften = {schrift.empty() ? (ordner.pfad / "kein.sf2").string() : schrift};
        if (schrift.empty()) e.klang.abtastrate = 64000;
        return e;
    }
    std::string ersetzt(std::string s) {
        std::filesystem::copy_file(a, ordner.pfad / "mit Leer" / "x.qmb", std::filesystem::copy_options::skip_existing);
        const std::pair<std::string, std::string> platz[] = {{"{a}", a}, {"{b}", b}, {"{l}", (ordner.pfad / "mit Leer" / "x.qmb").string()},
                                                             {"{t}", ordner.schreiben("t.qmb", {'k', 'e', 'i', 'n'})}, {"{f}", (ordner.pfad / "f.qmb").string()}};
        for (const auto& [name, pfad] : platz)
            for (auto i = s.find(name); i != std::string::npos; i = s.find(name)) s.replace(i, name.size(), pfad);
        return s;
    }
    void abspielen(Befehlsspieler& s, const std::vector<Schritt>& buch, const std::function<void(double)>& warten) {
        for (const Schritt& x : buch) {
            warten(x.ms);
            std::string antwort = "alt";
            EXPECT_EQ(s.mciSendString(ersetzt(x.befehl), antwort), x.code) << x.befehl;
            EXPECT_EQ(antwort, x.antwort) << x.befehl;
        }
    }
    unsigned senden(Befehlsspieler& s, const std::string& befehl) {
        std::string antwort;
        return s.mciSendString(ersetzt(befehl), antwort);
    }
};

const std::vector<Schritt> Uhrbuch = {
    {0, "open {a} type MPEGVideo alias qmbgame"}, {0, "status qmbgame length", 0, "1500"}, {1000, "status qmbgame position", 0, "0"},
    {0, "play qmbgame from 0"}, {250, "status qmbgame position", 0, "250"}, {0, "stop qmbgame"},
    {300, "status qmbgame position", 0, "250"}, {0, "play qmbgame"}, {100.5, "status qmbgame position", 0, "350"},
    {0.5, "status qmbgame position", 0, "351"}, {0, "play qmbgame from 1000"}, {700, "status qmbgame position", 0, "1500"},
    {0, "play qmbgame"}, {100, "status qmbgame position", 0, "1500"},
};

TEST_F(Spieler, Drehbuch) {
    std::vector<Schritt> buch = Uhrbuch;
    buch.insert(buch.end(), {
        // The jingle beside it: over and over, then further on once, then repeat from the end is from 0.
        {0, "open {b} type MPEGVideo alias qmbscore"}, {0, "play qmbscore repeat from 0"}, {3400, "status qmbscore position", 0, "400"},
        {0, "play qmbscore from 2500"}, {600, "status qmbscore position", 0, "3000"}, {1000, "status qmbscore position", 0, "3000"},
        {0, "play qmbscore repeat"}, {120, "status qmbscore position", 0, "120"},
        // Any case, quoted names, a closed alias free again.
        {0, "close qmbgame"}, {0, "OPEN \"{l}\" TYPE mpegvideo ALIAS QmbGame"}, {0, "Status qmbgame LENGTH", 0, "1500"},
        {0, "Play QMBGAME From 100"}, {0, "status qmbGame position", 0, "100"},
        // Mistakes change nothing.
        {0, "status nix length", MciUnbekanntesGerät, "0"}, {0, "fly qmbgame", MciUnbekannterBefehl}, {0, "stop", MciParameterFehlt},
        {0, "open {f} type MPEGVideo alias x", MciDateiFehlt}, {0, "open {t} type MPEGVideo alias x", MciUngültigeDatei},
        {0, "open {b} type MPEGVideo alias QMBGAME", MciAliasBelegt}, {0, "open {b} type MPEGVideo alias dritter", MciKeinGerätFrei},
        {0, "play qmbgame from 1501", MciAußerhalb}, {0, "play qmbgame from -5", MciKeineZahl}, {0, "stop qmbgame now", MciUnbekanntesWort},
        {50, "status qmbgame position", 0, "150"}, {0, "close qmbgame"}, {0, "status qmbgame position", MciUnbekanntesGerät, "0"},
    });
    Befehlsspieler s(offline());
    abspielen(s, buch, [&](double ms) { s.vorrücken(ms); });
}

// Without sound the player says so in one line and runs on the clock (here
// an injected one), so positions and the end of a piece behave as with sound.
void stummAufDerUhr(Spieler& t, Spielereinstellungen e, const std::string& grund) {
    auto jetzt = std::make_shared<std::atomic<std::int64_t>>(5'000'000'000);
    e.ausgabe = Spielereinstellungen::Ausgabe::Gerät;
    e.klang.abtastrate = 64000;
    e.uhr = [jetzt] { return std::chrono::nanoseconds(jetzt->load()); };
    ::testing::internal::CaptureStderr();
    Befehlsspieler s(e);
    EXPECT_FALSE(s.warteAufKlang());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Quambel: keine Tonausgabe (" + grund + "), Musik läuft stumm weiter\n");
    t.abspielen(s, Uhrbuch, [&](double ms) { *jetzt += std::int64_t(ms * 1e6); });
    EXPECT_TRUE(s.vorrücken(100).empty()); // offline rendering is not for this mode
}

TEST_F(Spieler, OhneSoundFontStummAufDerUhr) { stummAufDerUhr(*this, offline(), "kein SoundFont"); }

class MitSoundFont : public Spieler {
protected:
    void SetUp() override {
        for (const std::string& p : FluidKlang::schriftKandidaten())
            if (std::error_code f; schrift.empty() && std::filesystem::is_regular_file(p, f)) schrift = p;
        if (schrift.empty()) GTEST_SKIP() << "no SoundFont installed";
    }
    static double rms(const std::vector<float>& t) {
        double summe = 0;
        for (float x : t) summe += double(x) * x;
        return t.empty() ? 0.0 : std::sqrt(summe / double(t.size()));
    }
    std::string schrift;
};

TEST_F(MitSoundFont, OhneAudiogerätStummAufDerUhr) {
    Spielereinstellungen e = offline(schrift);
    e.treiber = {"kein-solcher-treiber"}; // as without a sound card
    stummAufDerUhr(*this, e, "kein Audiogerät");
}

TEST_F(MitSoundFont, KlingtZuZweitUndVerstummtInDerPause) {
    Befehlsspieler p(offline(schrift));
    ASSERT_TRUE(p.warteAufKlang());
    ASSERT_EQ(senden(p, "open {a} type MPEGVideo alias qmbgame"), 0u);
    ASSERT_EQ(senden(p, "open {b} type MPEGVideo alias qmbscore"), 0u);
    EXPECT_LT(rms(p.vorrücken(200)), 1e-6); // nothing plays yet
    ASSERT_EQ(senden(p, "play qmbgame from 0"), 0u);
    EXPECT_GT(rms(p.vorrücken(500)), 1e-3);
    ASSERT_EQ(senden(p, "stop qmbgame"), 0u);
    p.vorrücken(1500); // the released notes die away
    EXPECT_EQ(p.klang()->stimmen(), 0);
    // The second piece sounds on channels 16 to 31, its drums on 25.
    ASSERT_EQ(senden(p, "play qmbscore from 0"), 0u);
    EXPECT_GT(rms(p.vorrücken(500)), 1e-3);
    EXPECT_EQ(p.klang()->bank(25), 128);
    EXPECT_EQ(p.klang()->programm(0), 19);
    EXPECT_EQ(p.klang()->programm(16), 40);
}

// The driver takes what the render thread stored ahead, in buffers of its
// own size: the very sound of rendering block by block; a dry store is
// silence and one underrun.
TEST_F(MitSoundFont, TreiberpufferJederLängeGebenDenselbenKlang) {
    Befehlsspieler blockweise(offline(schrift)), gepuffert(offline(schrift));
    for (Befehlsspieler* s : {&blockweise, &gepuffert}) {
        ASSERT_TRUE(s->warteAufKlang());
        ASSERT_EQ(senden(*s, "open {a} type MPEGVideo alias qmbgame"), 0u);
        ASSERT_EQ(senden(*s, "play qmbgame from 900"), 0u);
    }
    const std::vector<float> soll = blockweise.vorrücken(700); // 482 blocks, 30848 frames
    ASSERT_EQ(soll.size(), 2u * 30848);
    std::vector<float> l(30848 + 5000, 1.0f), r(l), ist;
    const int größen[] = {100, 37, 1000, 64, 1, 441, 2048};
    for (int i = 0, fertig = 0, n; fertig < 30848; fertig += n) {
        n = std::min(größen[i++ % 7], 30848 - fertig);
        gepuffert.vorausRendern();
        gepuffert.ausgabeFüllen(l.data() + fertig, r.data() + fertig, n);
    }
    for (int i = 0; i < 30848; ++i) ist.insert(ist.end(), {l[i], r[i]});
    EXPECT_TRUE(ist == soll);
    EXPECT_EQ(gepuffert.unterläufe(), 0);
    gepuffert.ausgabeFüllen(l.data() + 30848, r.data() + 30848, 5000); // more than the lead
    EXPECT_EQ(gepuffert.unterläufe(), 1);
    EXPECT_EQ(std::count(l.end() - (5000 - Befehlsspieler::Vorlauf + 30848 % 64), l.end(), 0.0f), 5000 - Befehlsspieler::Vorlauf + 30848 % 64);
    // Closing the last piece drops the store: silence, and no underrun.
    ASSERT_EQ(senden(gepuffert, "play qmbgame from 0"), 0u);
    gepuffert.vorausRendern();
    ASSERT_EQ(senden(gepuffert, "close qmbgame"), 0u);
    gepuffert.vorausRendern();
    gepuffert.ausgabeFüllen(l.data(), r.data(), 1000);
    EXPECT_EQ(std::count(l.begin(), l.begin() + 1000, 0.0f) + std::count(r.begin(), r.begin() + 1000, 0.0f), 2000);
    EXPECT_EQ(gepuffert.unterläufe(), 1);
}

} // namespace
} // namespace qmb

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <thread>

#include "SmfBauer.h"
#include "sound/player/Musikspieler.h"

namespace qmb {
namespace {

using namespace test;

struct Schritt {
    double ms;          // time that passes before the command
    std::string befehl; // {a} {b}: pieces of 1500 and 3000 ms, {l}: a with a blank in the path,
                        // {t}: a text file, {f}: a missing file
    unsigned code = 0;
    std::string antwort = "";
};

struct Spieler : ::testing::Test {
    Ordner ordner;
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
    void abspielen(Befehlsspieler& s, const std::vector<Schritt>& buch, const std::function<void(double)>& warten = [](double) {}) {
        for (const Schritt& x : buch) {
            warten(x.ms);
            std::string antwort = "alt";
            EXPECT_EQ(s.mciSendString(ersetzt(x.befehl), antwort), x.code) << x.befehl;
            EXPECT_EQ(antwort, x.antwort) << x.befehl;
        }
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
    static double rms(const std::vector<float>& t) { return std::sqrt(std::inner_product(t.begin(), t.end(), t.begin(), 0.0) / double(t.size())); }
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
    abspielen(p, {{0, "open {a} type MPEGVideo alias qmbgame"}, {0, "open {b} type MPEGVideo alias qmbscore"}});
    EXPECT_LT(rms(p.vorrücken(200)), 1e-6); // nothing plays yet
    abspielen(p, {{0, "play qmbgame from 0"}});
    EXPECT_GT(rms(p.vorrücken(500)), 1e-3);
    abspielen(p, {{0, "stop qmbgame"}});
    p.vorrücken(1500); // the released notes die away
    EXPECT_EQ(p.klang()->stimmen(), 0);
    // The second piece sounds on channels 16 to 31, its drums on 25.
    abspielen(p, {{0, "play qmbscore from 0"}});
    EXPECT_GT(rms(p.vorrücken(500)), 1e-3);
    EXPECT_EQ(p.klang()->bank(25), 128) << "the drum kit's bank";
    EXPECT_EQ(p.klang()->programm(0), 19) << "the first piece's organ";
    EXPECT_EQ(p.klang()->programm(16), 40) << "the second piece's violin";
}

// The driver takes what the render thread stored ahead, in buffers of its
// own size: the very sound of rendering block by block; a dry store is
// silence and one underrun; closing the last piece fades out what is stored.
TEST_F(MitSoundFont, TreiberpufferJederLängeGebenDenselbenKlang) {
    Befehlsspieler blockweise(offline(schrift)), gepuffert(offline(schrift));
    for (Befehlsspieler* s : {&blockweise, &gepuffert}) {
        ASSERT_TRUE(s->warteAufKlang());
        abspielen(*s, {{0, "open {a} type MPEGVideo alias qmbgame"}, {0, "play qmbgame from 900"}});
    }
    const std::vector<float> soll = blockweise.vorrücken(500);
    const int n = static_cast<int>(soll.size() / 2);
    std::vector<float> l(n + 5000, 1.0f), r(l), ist;
    // From the start the driver waits for a store: before the render thread
    // has stored anything it gets silence, not an underrun.
    gepuffert.vorausRendern(0);
    gepuffert.ausgabeFüllen(l.data(), r.data(), 64);
    EXPECT_EQ(gepuffert.unterläufe(), 0);
    const int größen[] = {100, 37, 1000, 64, 1, 441, 2048};
    for (int i = 0, fertig = 0, k; fertig < n; fertig += k) {
        k = std::min(größen[i++ % 7], n - fertig);
        gepuffert.vorausRendern();
        gepuffert.ausgabeFüllen(l.data() + fertig, r.data() + fertig, k);
    }
    for (int i = 0; i < n; ++i) ist.insert(ist.end(), {l[i], r[i]});
    EXPECT_TRUE(ist == soll);
    // Closing the last piece: what is stored fades out, then silence, no underrun.
    const std::vector<float> weiter = blockweise.vorrücken(20);
    abspielen(gepuffert, {{0, "close qmbgame"}});
    gepuffert.ausgabeFüllen(l.data(), r.data(), 1000);
    // Each frame keeps a smaller share of what would have sounded, from the
    // first frame on (none at full strength), down to silence.
    ASSERT_NE(weiter[0], 0.0f) << "the piece sounds where it is closed";
    float anteil = 1.0f; // the share of the frame before
    for (int i = 0; i < 1000; ++i) {
        if (i >= Befehlsspieler::Ausblendung) {
            ASSERT_TRUE(l[i] == 0.0f && r[i] == 0.0f) << i;
        } else if (weiter[2 * i] != 0.0f) {
            const float jetzt = l[i] / weiter[2 * i];
            ASSERT_TRUE(jetzt >= 0.0f && jetzt < anteil) << i;
            ASSERT_NEAR(r[i], weiter[2 * i + 1] * jetzt, 1e-6f) << i;
            anteil = jetzt;
        }
    }
    EXPECT_EQ(gepuffert.unterläufe(), 0);
    // The next piece waits for a full store: a render thread held up after
    // two blocks gives silence, not two blocks and an underrun.
    abspielen(gepuffert, {{0, "open {a} type MPEGVideo alias qmbgame"}, {0, "play qmbgame from 0"}});
    gepuffert.vorausRendern(2);
    gepuffert.ausgabeFüllen(l.data(), r.data(), 1000);
    EXPECT_EQ(std::count(l.begin(), l.begin() + 1000, 0.0f), 1000);
    EXPECT_EQ(gepuffert.unterläufe(), 0);
    // A dry store while music plays is silence and one underrun.
    gepuffert.vorausRendern();
    gepuffert.ausgabeFüllen(l.data(), r.data(), Befehlsspieler::Vorlauf + 5000);
    EXPECT_EQ(gepuffert.unterläufe(), 1);
    EXPECT_EQ(std::count(l.begin() + Befehlsspieler::Vorlauf, l.begin() + Befehlsspieler::Vorlauf + 5000, 0.0f), 5000);
    EXPECT_NE(l[Befehlsspieler::Vorlauf - 1], 0.0f);
}

// With a real audio driver (ALSA's "null" device, which plays into nothing):
// the output is open only while something can sound, and the buffers asked
// for keep a closed piece's tail under 0.1 s while still riding out a busy
// machine.
TEST_F(MitSoundFont, AusgabeNurOffenWährendEtwasKlingt) {
    Spielereinstellungen e = offline(schrift);
    e.ausgabe = Spielereinstellungen::Ausgabe::Gerät;
    e.treiber = {"alsa:null"};
    Befehlsspieler s(e);
    ASSERT_TRUE(s.warteAufKlang());
    const double rate = s.klang()->einstellung("synth.sample-rate");
    const double gerät = s.klang()->einstellung("audio.period-size") * s.klang()->einstellung("audio.periods") / rate;
    EXPECT_TRUE(gerät >= 0.04 && gerät <= 0.08) << gerät;
    EXPECT_TRUE(Befehlsspieler::Anlauf / rate >= 0.08 && Befehlsspieler::Vorlauf / rate <= 0.3);
    auto warteBis = [&](bool offen) {
        for (int i = 0; i < 2000 && s.ausgabeOffen() != offen; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return s.ausgabeOffen() == offen;
    };
    EXPECT_TRUE(warteBis(false)); // nothing plays after loading
    abspielen(s, {{0, "open {a} type MPEGVideo alias qmbgame"}});
    EXPECT_TRUE(warteBis(false));
    // Over and over: ALSA's null device takes sound as fast as it is made, so
    // a piece played once may be over before a look at the output finds it open.
    abspielen(s, {{0, "play qmbgame repeat from 0"}});
    EXPECT_TRUE(warteBis(true));
    abspielen(s, {{0, "close qmbgame"}});
    EXPECT_TRUE(warteBis(false));
    // The render thread now sleeps until a command wakes it: the next play must.
    abspielen(s, {{0, "open {a} type MPEGVideo alias qmbgame"}, {0, "play qmbgame repeat from 0"}});
    EXPECT_TRUE(warteBis(true));
}

} // namespace
} // namespace qmb

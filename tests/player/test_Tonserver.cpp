#include <gtest/gtest.h>
#include <pulse/simple.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <thread>

#include "SmfBauer.h"
#include "sound/player/Musikspieler.h"
#include "sound/player/Tonausgabe.h"

extern char** environ;

namespace qmb {
namespace {

constexpr int Rate = 32000;

// A PulseAudio server of the test's own on a null sink at the output's rate
// and format: what reaches the sink comes back from its monitor sample for
// sample, so the recording shows exactly what the server played.
struct Tonserver : ::testing::Test {
    test::Ordner ordner;
    pid_t pid = 0;
    pa_simple* aufnahme = nullptr;
    std::mutex sperre; // of the recording
    std::vector<float> gehört;
    std::atomic<bool> ende{false};
    std::thread leser;

    void SetUp() override {
        const std::string dir = ordner.pfad.string(), sockel = dir + "/native";
        std::vector<std::string> a = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                      "-L", "module-null-sink sink_name=probe rate=32000 format=float32le channels=2",
                                      "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + sockel};
        std::vector<char*> argv(a.size() + 1);
        std::transform(a.begin(), a.end(), argv.begin(), [](std::string& s) { return s.data(); });
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + sockel).c_str(), 1);
        if (posix_spawnp(&pid, "pulseaudio", nullptr, nullptr, argv.data(), environ) != 0) GTEST_SKIP() << "no pulseaudio";
        const pa_sample_spec art{PA_SAMPLE_FLOAT32LE, Rate, 2};
        const pa_buffer_attr puffer{static_cast<std::uint32_t>(-1), 0, 0, 0, 1024};
        for (int i = 0; i < 1000 && !aufnahme; ++i) { // the server is up once it takes a recording
            aufnahme = pa_simple_new(nullptr, "Probe", PA_STREAM_RECORD, "probe.monitor", "Probe", &art, nullptr, &puffer, nullptr);
            if (!aufnahme) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_NE(aufnahme, nullptr);
        leser = std::thread([this] {
            float b[256];
            while (!ende && pa_simple_read(aufnahme, b, sizeof b, nullptr) == 0) {
                std::lock_guard l(sperre);
                gehört.insert(gehört.end(), b, b + 256);
            }
        });
    }
    // Waits up to 5 s for a condition to hold; whether it does.
    template <class F> static bool warte(F bedingung) {
        for (int i = 0; i < 1000 && !bedingung(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return bedingung();
    }
    void TearDown() override {
        ende = true;
        if (leser.joinable()) leser.join();
        if (aufnahme) pa_simple_free(aufnahme);
        if (pid > 0 && ::kill(pid, SIGTERM) == 0) ::waitpid(pid, nullptr, 0);
    }
};

// Two signals told apart by their values, never zero: frame i of piece s.
float probe(int s, std::int64_t i, int kanal) { return (kanal ? -1.0f : 1.0f) * (0.1f + 0.4f * s + float(i % 997) / 4000.0f); }

// The server plays what the source gives, with nothing lost or repeated
// across its requests; taking back fades what it queued from where it had
// read, and the next piece follows the fade at once.
TEST_F(Tonserver, SpieltGenauUndNimmtZurück) {
    std::mutex m;
    struct Stand {
        int stück;             // which signal the source gives
        std::int64_t gegeben;  // frames of it given so far
        std::int64_t vorrat;   // frames of it there are
    } q{0, 0, 3 * Rate};
    auto gesperrt = [&](auto f) { std::lock_guard l(m); return f(); };
    Tonquelle quelle{[&](float* l, float* r, int n) {
                         return gesperrt([&] {
                             n = int(std::min<std::int64_t>(n, q.vorrat - q.gegeben));
                             for (int i = 0; i < 2 * n; ++i) (i % 2 ? r : l)[i / 2] = probe(q.stück, q.gegeben + i / 2, i % 2);
                             q.gegeben += n;
                             return n;
                         });
                     },
                     [] {}};
    auto ausgabe = tonserver(Rate, quelle);
    ASSERT_NE(ausgabe, nullptr);
    ASSERT_TRUE(warte([&] { std::lock_guard l(sperre); return !gehört.empty(); }));
    ASSERT_TRUE(ausgabe->starten());
    // Half a second of the first piece; then the source runs dry, what is
    // queued is taken back, and a second piece of 8000 frames is stored,
    // as the player does when a piece is closed and the next one opened.
    ASSERT_TRUE(warte([&] { return gesperrt([&] { return q.gegeben >= Rate / 2; }); }));
    const std::int64_t bisDahin = gesperrt([&] { return q.vorrat = q.gegeben; });
    ausgabe->zurücknehmen(256);
    gesperrt([&] { return q = Stand{1, 0, 8000}; });
    ausgabe->nachschub();
    EXPECT_TRUE(warte([&] { return ausgabe->verklungen(); }));
    ausgabe->beenden();
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the recording catches up
    std::lock_guard l(sperre);
    const auto anfang = std::find_if(gehört.begin(), gehört.end(), [](float x) { return x != 0.0f; }) - gehört.begin();
    std::vector<float> ist(gehört.begin() + anfang, gehört.end()), soll;
    // A server whose sink already runs may lose the first few milliseconds
    // of a stream (it starts the stream inside the period it is playing).
    const auto erster = std::int64_t(std::lround((ist.at(0) - 0.1) * 4000));
    EXPECT_LT(erster, 160);
    // Where the first piece breaks off (it was queued ~160 ms ahead).
    std::int64_t k = erster;
    while (2 * (k - erster) < std::int64_t(ist.size()) && ist[2 * (k - erster)] == probe(0, k, 0)) ++k;
    EXPECT_TRUE(k > Rate / 4 && k < bisDahin) << k << " of " << bisDahin;
    for (std::int64_t i = erster; i < k + 256; ++i) {
        const float g = i < k ? 1.0f : float(256 - (i - k)) / 257.0f;
        soll.insert(soll.end(), {probe(0, i, 0) * g, probe(0, i, 1) * g});
    }
    for (int i = 0; i < 8000; ++i) soll.insert(soll.end(), {probe(1, i, 0), probe(1, i, 1)});
    ist.resize(std::max(ist.size(), soll.size()));
    soll.resize(ist.size());
    const auto abweichung = std::mismatch(ist.begin(), ist.end(), soll.begin()).first - ist.begin();
    EXPECT_EQ(abweichung, std::ptrdiff_t(ist.size())) << "first differing sample, fade begins at " << 2 * (k - erster);
}

// The player through the server: a piece closed while it sounds and the next
// one played at once, as the game changes pieces; then the output closes
// once nothing sounds.
TEST_F(Tonserver, SpielerWechseltStückeUndSchließt) {
    const auto schriften = FluidKlang::schriftKandidaten();
    if (std::none_of(schriften.begin(), schriften.end(), [](auto& p) { return std::filesystem::is_regular_file(p); })) GTEST_SKIP() << "no SoundFont installed";
    // Four seconds of an organ chord at 120 bpm.
    const std::string stück = ordner.schreiben("orgel.qmb", test::smf(0, 480, {test::Spur().programm(0, 0, 19).an(0, 0, 60).an(0, 0, 67).aus(3840, 0, 60).aus(0, 0, 67).ende()}));
    Spielereinstellungen e;
    e.treiber = {"tonserver"};
    Befehlsspieler s(e);
    ASSERT_TRUE(s.warteAufKlang());
    EXPECT_TRUE(warte([&] { return !s.ausgabeOffen(); })) << "open after loading with nothing to play";
    auto befehl = [&](const std::string& b) { std::string a; EXPECT_EQ(s.mciSendString(b, a), 0u) << b; };
    // Whether the recording comes to hold sound after sample `ab`.
    auto hören = [&](std::size_t ab) {
        return warte([&] { std::lock_guard l(sperre); return std::any_of(gehört.begin() + std::ptrdiff_t(std::min(ab, gehört.size())), gehört.end(), [](float x) { return x != 0.0f; }); });
    };
    befehl("open \"" + stück + "\" type MPEGVideo alias qmbgame");
    befehl("play qmbgame from 0");
    ASSERT_TRUE(hören(0));
    befehl("close qmbgame");
    const std::size_t geschlossen = [&] { std::lock_guard l(sperre); return gehört.size(); }();
    befehl("open \"" + stück + "\" type MPEGVideo alias qmbgame");
    befehl("play qmbgame from 0");
    EXPECT_TRUE(hören(geschlossen + 2 * 6400)) << "the next piece is heard";
    befehl("close qmbgame");
    EXPECT_TRUE(warte([&] { return !s.ausgabeOffen(); }));
}

} // namespace
} // namespace qmb

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
// It ends itself a second after its last client, should the test die.
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
        const std::string protokoll = "module-native-protocol-unix auth-anonymous=1 socket=" + sockel;
        const char* argv[] = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=1", "--use-pid-file=no", "-L",
                              "module-null-sink sink_name=probe rate=32000 format=float32le channels=2", "-L", protokoll.c_str(), nullptr};
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + sockel).c_str(), 1);
        if (posix_spawnp(&pid, "pulseaudio", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) GTEST_SKIP() << "no pulseaudio";
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
float probe(int s, std::int64_t i, int kanal) { return (kanal ? -1.0f : 1.0f) * (0.1f + 0.3f * s + float(i % 8192) / 40000.0f); }

// The server plays what the source gives, with nothing lost or repeated
// across its requests. Taking back fades what it queued from where it had
// read; a piece stored at once follows the fade at once, one stored after
// the server ran dry starts anew, from its first frame.
TEST_F(Tonserver, SpieltGenauUndNimmtZurück) {
    std::mutex m;
    struct Stand {
        int stück;            // which signal the source gives
        std::int64_t gegeben; // frames of it given so far
        std::int64_t vorrat;  // frames of it there are
    } q{0, 0, 3 * Rate};
    auto gesperrt = [&](auto f) { std::lock_guard l(m); return f(); };
    Tonquelle quelle{[&](float* l, float* r, int n) {
                         return gesperrt([&] {
                             n = int(std::min<std::int64_t>(n, q.vorrat - q.gegeben));
                             for (int i = 0; i < n; ++i) {
                                 l[i] = probe(q.stück, q.gegeben + i, 0);
                                 r[i] = probe(q.stück, q.gegeben + i, 1);
                             }
                             q.gegeben += n;
                             return n;
                         });
                     },
                     [] {}};
    auto länge = [&] { std::lock_guard l(sperre); return gehört.size(); };
    // Whether the recording ends in n samples of silence.
    auto stille = [&](std::ptrdiff_t n) { std::lock_guard l(sperre); return std::ssize(gehört) >= n && std::all_of(gehört.end() - n, gehört.end(), [](float x) { return x == 0.0f; }); };
    auto ausgabe = tonserver(Rate, quelle);
    ASSERT_NE(ausgabe, nullptr);
    ASSERT_TRUE(warte([&] { return länge() > 0; }));
    ASSERT_TRUE(ausgabe->starten());
    // Half a second of the first piece; then the source runs dry, what is
    // queued is taken back, and a second piece of 8000 frames is stored at
    // once, as the player does when a piece is closed and the next one opened.
    ASSERT_TRUE(warte([&] { return gesperrt([&] { return q.gegeben >= Rate / 2; }); }));
    gesperrt([&] { return q.vorrat = q.gegeben; });
    ausgabe->zurücknehmen(256);
    gesperrt([&] { return q = Stand{1, 0, 8000}; });
    ausgabe->nachschub();
    // About 90 ms of it heard: taken back too, and the third piece stored
    // only once the server has played everything and stopped, as after a
    // render thread held up too long: it starts again, at the piece's start.
    std::size_t bisher = länge();
    ASSERT_TRUE(warte([&] { return länge() > bisher + 6000; }));
    gesperrt([&] { return q.vorrat = q.gegeben; });
    ausgabe->zurücknehmen(256);
    ASSERT_TRUE(warte([&] { return ausgabe->verklungen() && stille(640); }));
    gesperrt([&] { return q = Stand{2, 0, 8000}; });
    ausgabe->nachschub();
    ASSERT_TRUE(warte([&] { return ausgabe->verklungen() && stille(6400); })); // the recording caught up
    std::lock_guard l(sperre);
    const auto anfang = std::find_if(gehört.begin(), gehört.end(), [](float x) { return x != 0.0f; }) - gehört.begin();
    std::vector<float> ist(gehört.begin() + anfang, gehört.end()), soll;
    // What should have been heard, piece by piece: silence, the piece until
    // it was taken back and its fade; the last piece whole. A server whose
    // sink runs may lose up to a device buffer (32 ms) of a stream that
    // starts or starts again (it begins inside the period it is playing):
    // where the first and the last piece begin is read from what was heard.
    std::int64_t lücken[3] = {};
    for (int s = 0; s < 3; ++s) {
        for (; soll.size() < ist.size() && ist[soll.size()] == 0.0f; ++lücken[s]) soll.insert(soll.end(), {0.0f, 0.0f});
        const std::size_t ab = soll.size();
        const std::int64_t von = s == 1 ? 0 : std::lround((ist.at(ab) - 0.1 - 0.3 * s) * 40000);
        EXPECT_LT(von, 1024) << "frames lost at the start of piece " << s;
        std::int64_t k = s == 2 ? 8000 : von; // where it breaks off
        while (s < 2 && ab + 2 * (k - von) < ist.size() && ist[ab + 2 * (k - von)] == probe(s, k, 0)) ++k;
        for (std::int64_t i = von; i < (s == 2 ? k : k + 256); ++i) {
            const float g = i < k ? 1.0f : float(256 - (i - k)) / 257.0f;
            soll.insert(soll.end(), {probe(s, i, 0) * g, probe(s, i, 1) * g});
        }
    }
    EXPECT_LT(lücken[1], 1600) << "the second piece follows the fade";
    soll.resize(std::max(ist.size(), soll.size())); // the silence after the last piece
    const auto abweichung = std::mismatch(ist.begin(), ist.end(), soll.begin(), soll.end()).first - ist.begin();
    EXPECT_EQ(abweichung, std::ptrdiff_t(soll.size())) << "first differing sample";
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
    // The second round is heard from 200 ms after the first closed on.
    for (std::size_t runde = 0, ab = 0; runde < 2; ++runde) {
        befehl("open \"" + stück + "\" type MPEGVideo alias qmbgame");
        befehl("play qmbgame from 0");
        EXPECT_TRUE(hören(ab)) << "round " << runde;
        ab = [&] { std::lock_guard l(sperre); return gehört.size(); }() + 2 * 6400;
        befehl("close qmbgame");
    }
    EXPECT_TRUE(warte([&] { return !s.ausgabeOffen(); }));
}

} // namespace
} // namespace qmb

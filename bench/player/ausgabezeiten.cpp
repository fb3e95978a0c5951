// quambel_ausgabezeiten: how quickly a piece is heard after "play" and how
// quickly it is silent after "close", through the real audio driver and the
// sound server: parec records the server's null sink while pieces start and
// close, every chunk stamped when it arrives. Run it as scripts/messen.sh
// does, with PulseAudio on a null sink named "stumm".
//
//   quambel_ausgabezeiten [RUNDEN]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "musik/Musikressourcen.h"
#include "sound/Stuecke.h"
#include "sound/player/Musikspieler.h"

namespace {

using Uhr = std::chrono::steady_clock;
constexpr int Rate = 8000;         // the recording: mono, 8 kHz is plenty to see sound
constexpr double Schwelle = 0.001; // -60 dBFS: below this a piece counts as silent

double ms(Uhr::time_point t) { return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count(); }

// Every recorded sample above the threshold, as the time it was played (ms).
struct Aufnahme {
    std::mutex m;
    std::vector<double> laut;
    std::atomic<bool> ende{false};
    FILE* parec = nullptr;
    std::thread t;
    bool starten() {
        parec = ::popen(("parec -d stumm.monitor --raw --format=float32le --channels=1 --rate=" + std::to_string(Rate) +
                         " --latency-msec=5")
                            .c_str(),
                        "r");
        if (!parec) return false;
        t = std::thread([this] {
            float b[40]; // 5 ms
            while (!ende) {
                const size_t n = std::fread(b, sizeof(float), 40, parec);
                if (n == 0) break;
                const double jetzt = ms(Uhr::now());
                std::lock_guard l(m);
                for (size_t i = 0; i < n; ++i)
                    if (std::abs(b[i]) > Schwelle) laut.push_back(jetzt - double(n - i) * 1000.0 / Rate);
            }
        });
        return true;
    }
    void beenden() {
        ende = true;
        std::system("pkill -x parec");
        t.join();
        ::pclose(parec);
    }
};

void zeile(const char* was, std::vector<double> v, const char* ziel) {
    if (v.empty()) return;
    std::sort(v.begin(), v.end());
    double summe = 0;
    for (double x : v) summe += x;
    std::printf("| %s | %.0f ms / %.0f ms | %s |\n", was, summe / double(v.size()), v.back(), ziel);
}

} // namespace

int main(int argc, char** argv) {
    const int runden = argc > 1 ? std::atoi(argv[1]) : 10;
    qmb::Befehlsspieler s;
    if (!s.warteAufKlang()) return 1; // the player has said why
    const auto datei = std::filesystem::temp_directory_path() / "quambel-ausgabezeiten.mid";
    const auto stück = qmb::Musikressource(qmb::RESSOURCE_LIED_1);
    std::ofstream(datei, std::ios::binary)
        .write(reinterpret_cast<const char*>(stück.data()), std::streamsize(stück.size()));
    Aufnahme a;
    if (!a.starten()) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::string antwort;
    std::vector<std::pair<double, double>> spiele; // play, close
    for (int i = 0; i < runden; ++i) {
        s.mciSendString("open \"" + datei.string() + "\" type MPEGVideo alias qmbgame", antwort);
        const double an = ms(Uhr::now());
        s.mciSendString("play qmbgame from " + std::to_string(10000 + 5000 * i),
                        antwort); // inside the piece: it sounds at once
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const double zu = ms(Uhr::now());
        s.mciSendString("close qmbgame", antwort);
        spiele.emplace_back(an, zu);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000)); // the output closes meanwhile
    }
    a.beenden();
    std::filesystem::remove(datei);
    std::vector<double> hören, stille;
    for (const auto& [an, zu] : spiele) {
        const auto erst = std::lower_bound(a.laut.begin(), a.laut.end(), an);
        const auto nach = std::lower_bound(a.laut.begin(), a.laut.end(), zu + 900);
        if (erst != a.laut.end() && *erst < zu) hören.push_back(*erst - an);
        if (nach != a.laut.begin() && *(nach - 1) > an) stille.push_back(std::max(0.0, *(nach - 1) - zu));
    }
    std::printf("| Messung (%d Runden, Null-Senke des Tonservers, Schwelle -60 dBFS) | Mittel / höchstens | Ziel |\n"
                "| --- | --- | --- |\n",
                runden);
    zeile("play bis zum ersten Klang (Ausgabe öffnen, Vorrat, Gerät, Tonserver)", hören, "≤ 100 ms");
    zeile("close bis zur Stille (Ausblenden, Gerätepuffer, Tonserver)", stille, "≤ 100 ms");
    std::printf("| Aussetzer | %ld | 0 |\n", s.unterläufe());
    return 0;
}

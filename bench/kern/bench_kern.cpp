// The cost of one tick of each game timer in a busy game. Every state is
// reached through the game's own handlers (a start by F2, five-ball bonuses
// caught on the pad, shots fired by fresh presses, bonuses put in by
// BonusErstellen), then saved; each measured tick runs on a fresh copy of
// that state, so that every iteration does the same work. The copy is made
// outside the timed region.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Attrappen.h"
#include "game/Bestenliste.h"
#include "game/frmMain.h"
#include "platform/Zahlen.h"
#include "platform/Zufall.h"
#include "sound/modSound.h"

namespace qmb {
namespace {

class OhneListe : public Bestenliste {
public:
    void HighscoreDateiSetzen() override {}
    bool IstHighscore(int16_t) override { return false; }
    int16_t HighscoreEintragen(const std::string&, int16_t) override { return 0; }
};

// A loaded main window with stand-in ports and the program's own generator.
struct Tisch {
    test::SkriptFenster fenster;
    Generator24 zufall{0x2A5F1};
    test::FesteZeit uhr;
    test::ZeigerProtokoll zeiger;
    test::BefehlsProtokoll mci;
    test::TestProgramm programm;
    OhneListe liste;
    std::string ordner;
    modSound sound{mci, programm, fenster};
    frmMain form{Dienste{fenster, zufall, uhr, zeiger}, sound, liste};

    Tisch() {
        ordner = (std::filesystem::temp_directory_path() /
                  ("quambel_bench_kern_" + std::to_string(reinterpret_cast<uintptr_t>(this))))
                     .string();
        std::filesystem::create_directories(ordner);
        programm.tempOrdner = ordner;
        for (int id = RESSOURCE_VERLOREN; id < RESSOURCE_LIED_1 + LIEDER; ++id)
            programm.ressourcen[id] = {'M', 'T', 'h', 'd'};
        form.Form_Load();
        form.mnuSpielStarten_Click();
        if (!form.SpielLäuft) throw std::runtime_error("the game did not start");
    }
    ~Tisch() {
        form.Form_Unload();
        std::error_code f;
        std::filesystem::remove_all(ordner, f);
    }

    int bälle() const {
        int n = 0;
        for (int i = 1; i <= BALLPLÄTZE; ++i) n += form.BallDaten[static_cast<size_t>(i)].Aktiv != 0;
        return n;
    }
};

// The values behind a tuple of references.
template <typename... T>
std::tuple<T...> werte(std::tuple<T&...> bezüge) {
    return bezüge;
}

// Everything a tick reads or writes: the game's state and the generator.
struct Stand {
    decltype(werte(std::declval<frmMain&>().Spielstand())) spiel;
    Generator24 zufall;

    explicit Stand(Tisch& t) : spiel(t.form.Spielstand()), zufall(t.zufall) {}
    void zurück(Tisch& t) const {
        t.form.Spielstand() = spiel;
        t.zufall = zufall;
    }
};

// Fills the field up to `ziel` balls the way a player does: five-ball
// bonuses caught on the pad, then shots from the left gun into the balls
// that stand above it.
void bälleBis(Tisch& t, int ziel) {
    frmMain& f = t.form;
    while (t.bälle() + 5 <= ziel) {
        f.BonusErstellen(1, 6300, nearest32(f.Pad.Left), 0, 0);
        f.tmrBonusse_Timer();
    }
    while (t.bälle() < ziel) {
        f.Form_MouseUp(vbLeftButton, 0, 0, 0);
        f.Form_MouseDown(vbLeftButton, 0, 0, 0); // a fresh press fires on the next tick
        f.tmrSchüsse_Timer();
    }
    f.Form_MouseUp(vbLeftButton, 0, 0, 0);
    if (t.bälle() != ziel || f.Punkte != ziel || !f.SpielLäuft)
        throw std::runtime_error("could not put the balls into play");
}

template <typename Tick>
void messen(benchmark::State& state, Tisch& t, const std::vector<Stand>& stände, Tick tick) {
    size_t k = 0;
    for (auto _ : state) {
        const Stand& s = stände[k++ % stände.size()];
        s.zurück(t);
        const auto a = std::chrono::steady_clock::now();
        tick();
        const auto b = std::chrono::steady_clock::now();
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(b - a).count());
    }
    if (!t.form.SpielLäuft) state.SkipWithError("the game ended during the measured tick");
}

// One ball tick with `n` balls in flight. The balls come off the pad in a
// bunch; the measured ticks are the 6th to the 17th after that, when they are
// spread across the field, some turning at the ceiling or the walls, and none
// has come back down to the pad yet.
void BM_tmrBälle(benchmark::State& state) {
    Tisch t;
    const int n = static_cast<int>(state.range(0));
    bälleBis(t, std::min(n, 99));
    if (n == 100) {
        // A running game never holds 100 balls (the 100th wins at once), but
        // all 100 slots can be in use for the span of one tick: the last one
        // is filled here by hand to measure the full slot array.
        t.form.Ball(100) = t.form.Ball(1);
        t.form.BallDaten[100] = t.form.BallDaten[1];
        t.form.BallDaten[100].vx = -t.form.BallDaten[1].vx;
    }
    for (int i = 0; i < 5; ++i) t.form.tmrBälle_Timer();
    std::vector<Stand> stände;
    for (int i = 0; i < 12; ++i) {
        stände.emplace_back(t);
        t.form.tmrBälle_Timer();
    }
    messen(state, t, stände, [&] { t.form.tmrBälle_Timer(); });
    state.counters["Bälle"] = n;
}
BENCHMARK(BM_tmrBälle)->Arg(1)->Arg(50)->Arg(99)->Arg(100)->UseManualTime();

// One shot tick with `n` shots in flight (tapped fire: one shot per tick),
// with `bälle` balls in play beside the guns' lines, so that every shot is
// tested against every ball and none hits.
void BM_tmrSchüsse(benchmark::State& state) {
    Tisch t;
    const int n = static_cast<int>(state.range(0));
    const int bälle = static_cast<int>(state.range(1));
    frmMain& f = t.form;
    if (bälle > 1) {
        bälleBis(t, bälle);
        // Move the balls off the pad, out of both guns' lines.
        for (int i = 1; i <= BALLPLÄTZE; ++i)
            if (f.BallDaten[static_cast<size_t>(i)].Aktiv) f.Ball(i).Left = 480;
        // Let the shots that missed while filling the field fly out.
        for (int i = 0; i < 30; ++i) f.tmrSchüsse_Timer();
    }
    f.Munition = 1000;
    for (int i = 0; i < n; ++i) {
        f.Form_KeyUp(vbKeyControl, 0);
        f.Form_KeyDown(vbKeyControl, 0);
        f.tmrSchüsse_Timer();
    }
    f.Form_KeyUp(vbKeyControl, 0);
    if (f.Schuss.Anzahl() != n) throw std::runtime_error("shots missing");
    const std::vector<Stand> stände{Stand(t)};
    messen(state, t, stände, [&] { f.tmrSchüsse_Timer(); });
    if (f.Schuss.Anzahl() != n) state.SkipWithError("a shot was lost in the measured tick");
    state.counters["Schüsse"] = n;
}
BENCHMARK(BM_tmrSchüsse)->Args({20, 1})->Args({20, 99})->UseManualTime();

// One bonus tick with ten bonuses in play, put in by BonusErstellen at random
// places on the top wall, falling for a few ticks first.
void BM_tmrBonusse(benchmark::State& state) {
    Tisch t;
    frmMain& f = t.form;
    for (int i = 0; i < 10; ++i) f.BonusErstellen(-1, 0, 0, 0, 0);
    if (f.GetFreeBonusNumber() != 0) throw std::runtime_error("bonuses missing");
    for (int i = 0; i < 5; ++i) f.tmrBonusse_Timer();
    std::vector<Stand> stände;
    for (int i = 0; i < 8; ++i) {
        stände.emplace_back(t);
        f.tmrBonusse_Timer();
    }
    messen(state, t, stände, [&] { f.tmrBonusse_Timer(); });
    state.counters["Bonusse"] = 10;
}
BENCHMARK(BM_tmrBonusse)->UseManualTime();

// The pad timer, for completeness: one keyboard step.
void BM_tmrPad(benchmark::State& state) {
    Tisch t;
    t.form.optTastatur_Click();
    t.form.PadRichtung = 2;
    const std::vector<Stand> stände{Stand(t)};
    messen(state, t, stände, [&] { t.form.tmrPad_Timer(); });
}
BENCHMARK(BM_tmrPad)->UseManualTime();

} // namespace
} // namespace qmb

BENCHMARK_MAIN();

// How fast the player makes sound, and how long the SoundFont takes to load.
//
// Synthesis runs offline exactly as in the audio callback: the sequencer sends
// what is due, then the synth renders one 64-frame block. The counter
// "Echtzeitfaktor" is seconds of music per second of wall time; below 1 the
// sound card would starve. "Stimmen" is the highest number of voices seen.
//
//   build/<dir>/bench/player/bench_player --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "SmfBauer.h"
#include "platform/Dateisystem.h"
#include "sound/player/Aufnahmen.h"
#include "sound/player/FluidKlang.h"
#include "sound/player/MidiDatei.h"
#include "sound/player/Sequenzer.h"

#if QUAMBEL_MUSIKDATEN
#include "musik/Musikressourcen.h"
#include "sound/Stuecke.h"
#endif

namespace {

using qmb::test::Spur;

std::string ersteSchrift() {
    for (const std::string& p : qmb::FluidKlang::schriftKandidaten()) {
        std::error_code f;
        if (std::filesystem::is_regular_file(p, f)) return p;
    }
    return {};
}

// 60 s at 140 beats a minute, 96 ticks a quarter: fifteen melodic channels in
// sixteenths with chords every beat, pitch bends and controller moves, and a
// drum part on every sixteenth. Far busier than any piece of the game.
std::vector<std::uint8_t> dichtesStück() {
    constexpr int Sechzehntel = 24;
    constexpr int Schritte = 140 * 4 * 60 / 60; // sixteenths in 60 s
    std::vector<Spur> spuren;
    Spur tempo;
    tempo.tempo(0, 60'000'000 / 140).ende(Schritte * Sechzehntel);
    spuren.push_back(tempo);
    for (int k = 0; k < 16; ++k) {
        Spur s;
        if (k == 9) {
            for (int i = 0; i < Schritte; ++i) {
                const int note = i % 4 == 0 ? 36 : i % 4 == 2 ? 38 : 42;
                s.an(0, 9, note, 110).aus(Sechzehntel, 9, note);
            }
        } else {
            s.programm(0, k, (k * 8 + 1) % 128).cc(0, k, 7, 90).cc(0, k, 10, (k * 8) % 128);
            for (int i = 0; i < Schritte; ++i) {
                const int grund = 36 + (k * 5) % 36 + (i % 8);
                const bool akkord = i % 4 == 0;
                s.an(0, k, grund, 90);
                if (akkord) s.an(0, k, grund + 4, 80).an(0, k, grund + 7, 80);
                if (i % 16 == 8) s.roh(0, {std::uint8_t(0xE0 | k), 0, (8192 + 1024) >> 7}).cc(0, k, 11, 100 - i % 30);
                s.aus(Sechzehntel, k, grund);
                if (akkord) s.aus(0, k, grund + 4).aus(0, k, grund + 7);
                if (i % 16 == 8) s.roh(0, {std::uint8_t(0xE0 | k), 0, 8192 >> 7});
            }
        }
        s.ende();
        spuren.push_back(s);
    }
    return qmb::test::smf(1, 96, spuren);
}

std::shared_ptr<const qmb::MidiStück> lesen(std::span<const std::uint8_t> daten) {
    auto st = std::make_shared<qmb::MidiStück>();
    if (qmb::leseMidi(daten, *st) != qmb::MidiFehler::Keiner) return nullptr;
    return st;
}

// Renders the whole piece (or its first `höchstensMs`) and reports the
// real-time factor of the rendering alone.
void synthese(benchmark::State& state, std::shared_ptr<const qmb::MidiStück> stück, int polyphonie,
              double höchstensMs) {
    const std::string schrift = ersteSchrift();
    if (schrift.empty()) {
        state.SkipWithError("no SoundFont installed");
        return;
    }
    if (!stück) {
        state.SkipWithError("piece cannot be read");
        return;
    }
    qmb::Klangeinstellungen e;
    e.polyphonie = polyphonie;
    std::string grund;
    auto klang = qmb::FluidKlang::erzeugen(schrift, e, grund);
    if (!klang) {
        state.SkipWithError(grund.c_str());
        return;
    }
    std::array<float, qmb::Sequenzer::Blocklänge> l{}, r{};
    double musik = 0, wand = 0;
    int stimmen = 0;
    for (auto _ : state) {
        qmb::Sequenzer q(stück, 0, e.abtastrate);
        const auto blöcke = static_cast<std::int64_t>(std::min<double>(höchstensMs, static_cast<double>(q.längeMs())) *
                                                      e.abtastrate / 1000.0 / qmb::Sequenzer::Blocklänge);
        const auto anfang = std::chrono::steady_clock::now();
        q.spielen(0, false, klang.get());
        for (std::int64_t b = 0; b < blöcke; ++b) {
            q.block(klang.get());
            klang->rendern(l.data(), r.data(), qmb::Sequenzer::Blocklänge);
            if ((b & 255) == 0) stimmen = std::max(stimmen, klang->stimmen());
        }
        benchmark::DoNotOptimize(l.data());
        wand += std::chrono::duration<double>(std::chrono::steady_clock::now() - anfang).count();
        musik += static_cast<double>(blöcke) * qmb::Sequenzer::Blocklänge / e.abtastrate;
        state.PauseTiming();
        q.verstummen(klang.get());
        for (int i = 0; i < 2000; ++i)
            klang->rendern(l.data(), r.data(), qmb::Sequenzer::Blocklänge); // let it die away
        state.ResumeTiming();
    }
    state.counters["Echtzeitfaktor"] = wand > 0 ? musik / wand : 0;
    state.counters["Stimmen"] = stimmen;
    state.counters["Musik_s"] = musik / static_cast<double>(state.iterations());
}

void BM_DichtesStück(benchmark::State& state) {
    static const auto daten = dichtesStück();
    synthese(state, lesen(daten), static_cast<int>(state.range(0)), 60'000);
}
// The player's own polyphony, then FluidSynth's default of 256.
BENCHMARK(BM_DichtesStück)
    ->Arg(qmb::Klangeinstellungen{}.polyphonie)
    ->Arg(256)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

#if QUAMBEL_MUSIKDATEN
void BM_Spielmusik(benchmark::State& state) {
    const auto daten = qmb::Musikressource(static_cast<int>(state.range(0)));
    synthese(state, lesen({daten.data(), daten.size()}), qmb::Klangeinstellungen{}.polyphonie, 600'000);
}
BENCHMARK(BM_Spielmusik)
    ->DenseRange(qmb::RESSOURCE_LIED_1, qmb::RESSOURCE_LIED_1 + qmb::LIEDER - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The same piece played from its recording, read 64 frames at a time as the
// player does (recorded once before, outside the timing).
void BM_AufnahmeSpielmusik(benchmark::State& state) {
    const auto daten = qmb::Musikressource(static_cast<int>(state.range(0)));
    const auto stück = lesen({daten.data(), daten.size()});
    const std::string schrift = ersteSchrift();
    const qmb::Klangeinstellungen e;
    const auto ordner = std::filesystem::temp_directory_path() / "quambel-bench-aufnahmen";
    qmb::Aufnahmen lager(ordner.string(), qmb::systemDateisystem());
    if (schrift.empty() || lager.aufnehmen(*stück, schrift, e) != 0) {
        state.SkipWithError("keine Aufnahme");
        return;
    }
    const auto aufnahme = lager.finden(qmb::Aufnahmen::schlüssel(*stück, schrift, e));
    std::array<float, qmb::Sequenzer::Blocklänge> l{}, r{};
    double musik = 0, wand = 0;
    for (auto _ : state) {
        const auto anfang = std::chrono::steady_clock::now();
        for (std::int64_t f = 0; f < aufnahme->frames(); f += qmb::Sequenzer::Blocklänge)
            aufnahme->lesen(f, l.data(), r.data(), qmb::Sequenzer::Blocklänge);
        benchmark::DoNotOptimize(l.data());
        wand += std::chrono::duration<double>(std::chrono::steady_clock::now() - anfang).count();
        musik += static_cast<double>(aufnahme->frames()) / e.abtastrate;
    }
    state.counters["Echtzeitfaktor"] = wand > 0 ? musik / wand : 0;
    std::filesystem::remove_all(ordner);
}
BENCHMARK(BM_AufnahmeSpielmusik)
    ->DenseRange(qmb::RESSOURCE_LIED_1, qmb::RESSOURCE_LIED_1 + qmb::LIEDER - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
#endif

// Creating the synth with each GM SoundFont that is installed.
void soundFontLaden(benchmark::State& state, const std::string& pfad) {
    for (auto _ : state) {
        std::string grund;
        auto klang = qmb::FluidKlang::erzeugen(pfad, qmb::Klangeinstellungen{}, grund);
        if (!klang) {
            state.SkipWithError(grund.c_str());
            return;
        }
        benchmark::DoNotOptimize(klang.get());
        state.PauseTiming();
        klang.reset();
        state.ResumeTiming();
    }
}

void BM_ReaderDichtesStück(benchmark::State& state) {
    static const auto daten = dichtesStück();
    for (auto _ : state) {
        qmb::MidiStück st;
        benchmark::DoNotOptimize(qmb::leseMidi(daten, st));
        state.counters["Ereignisse"] = static_cast<double>(st.ereignisse.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * daten.size()));
}
BENCHMARK(BM_ReaderDichtesStück)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qmb::fluidStummschalten();
    std::vector<std::string> gesehen;
    for (const std::string& p : qmb::FluidKlang::schriftKandidaten()) {
        std::error_code f;
        if (!std::filesystem::is_regular_file(p, f)) continue;
        const std::string echt = std::filesystem::canonical(p, f).string();
        if (std::find(gesehen.begin(), gesehen.end(), echt) != gesehen.end()) continue;
        gesehen.push_back(echt);
        benchmark::RegisterBenchmark(("BM_SoundFontLaden/" + std::filesystem::path(echt).filename().string()).c_str(),
                                     soundFontLaden, echt)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#pragma once
// A loaded main window with every port replaced by a stand-in: scripted
// dialogues, chosen random draws, a fixed time of day, a recorded pointer,
// a real music module over a command recorder, a high-score list in memory,
// and the five timers on a virtual clock. Tests drive it through the same
// handlers the window uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Attrappen.h"
#include "game/Bestenliste.h"
#include "game/frmMain.h"
#include "platform/Zahlen.h"
#include "platform/Zeitgeber.h"
#include "sound/modSound.h"

namespace qmb::test {

// The ten best results, kept in memory; remembers every entry it was asked for.
class SpeicherListe : public Bestenliste {
public:
    std::vector<std::pair<std::string, int16_t>> plätze; // best first
    std::vector<std::pair<std::string, int16_t>> eintragungen;
    std::vector<int16_t> anfragen;
    bool dateiGesetzt = false;

    void HighscoreDateiSetzen() override { dateiGesetzt = true; }
    bool IstHighscore(int16_t punkte) override {
        anfragen.push_back(punkte);
        return plätze.size() < 10 || punkte > plätze.back().second;
    }
    int16_t HighscoreEintragen(const std::string& name, int16_t punkte) override {
        eintragungen.emplace_back(name, punkte);
        if (plätze.size() >= 10 && punkte <= plätze.back().second) return 0;
        auto it = std::find_if(plätze.begin(), plätze.end(),
                               [&](const auto& p) { return punkte > p.second; });
        const auto platz = static_cast<int16_t>(it - plätze.begin() + 1);
        plätze.insert(it, {name, punkte});
        if (plätze.size() > 10) plätze.pop_back();
        return platz;
    }
    // A full list whose last place holds `letzter` points.
    void füllen(int16_t letzter) {
        plätze.clear();
        for (int i = 0; i < 10; ++i) plätze.emplace_back("Platz" + std::to_string(i + 1), letzter + 9 - i);
    }
};

struct Spielaufbau {
    SkriptFenster fenster;
    FesterZufall zufall;
    FesteZeit uhr;
    ZeigerProtokoll zeiger;
    BefehlsProtokoll mci;
    TestProgramm programm;
    SpeicherListe liste;
    std::string ordner;
    Zufallsquelle& quelle; // the chosen draws, or a real generator
    modSound sound{mci, programm, fenster};
    frmMain form{Dienste{fenster, quelle, uhr, zeiger}, sound, liste};
    VirtuelleUhr takt;

    explicit Spielaufbau(Zufallsquelle* andereQuelle = nullptr)
        : quelle(andereQuelle ? *andereQuelle : static_cast<Zufallsquelle&>(zufall)) {
        ordner = (std::filesystem::temp_directory_path() /
                  ("quambel_kern_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "_" + std::to_string(reinterpret_cast<uintptr_t>(this))))
                     .string();
        std::filesystem::create_directories(ordner);
        programm.tempOrdner = ordner;
        programm.appPfad = ordner;
        for (int id = 101; id <= 106; ++id) programm.ressourcen[id] = {'M', 'T', 'h', 'd'};
        for (Zeitgeber* z : {&form.tmrBälle, &form.tmrBonusse, &form.tmrSchüsse, &form.tmrPad, &form.tmrRand})
            takt.anmelden(*z);
        form.Form_Load();
        vergessen();
    }
    ~Spielaufbau() {
        fenster.beiDoEvents = nullptr;
        fenster.beiDialog = nullptr;
        form.Form_Unload();
        std::error_code f;
        std::filesystem::remove_all(ordner, f);
    }
    Spielaufbau(const Spielaufbau&) = delete;
    Spielaufbau& operator=(const Spielaufbau&) = delete;

    // Forgets what the stand-ins have recorded so far.
    void vergessen() {
        fenster.protokoll.clear();
        mci.befehle.clear();
        zeiger.clips.clear();
        zufall.gezogen = 0;
        fenster.doEventsAnzahl = 0;
    }

    // Starts a game the way F2 does; the first ball gets vx from the draw r.
    void starten(float r = 0.5f) {
        zufall.werte = {r};
        form.mnuSpielStarten_Click();
        zufall.werte.clear();
        vergessen();
    }

    // Puts ball i into play at the given place with the given speeds, and
    // counts it in the score the way the game does.
    void ball(int i, float left, float top, int32_t vx, int32_t vy) {
        if (form.BallDaten[static_cast<size_t>(i)].Aktiv == 0) {
            form.Punkte = static_cast<int16_t>(form.Punkte + 1);
            if (form.Punkte > form.Rekord) form.Rekord = form.Punkte;
        }
        form.Ball(i).Left = left;
        form.Ball(i).Top = top;
        form.Ball(i).Visible = true;
        form.BallDaten[static_cast<size_t>(i)] = Flugdaten{vx, vy, WAHR};
    }
    // Takes ball i out of play (and out of the score).
    void ballWeg(int i) {
        if (form.BallDaten[static_cast<size_t>(i)].Aktiv != 0) form.Punkte = static_cast<int16_t>(form.Punkte - 1);
        form.BallDaten[static_cast<size_t>(i)] = form.LeerDaten;
        form.Ball(i).Left = 0;
        form.Ball(i).Top = 0;
        form.Ball(i).Visible = false;
    }
    // Slots 1..n in play, parked high up in the middle, falling slowly.
    void bälle(int n) {
        for (int i = 1; i <= n; ++i) ball(i, 3000, 2000, 0, 0);
    }
    int bälleImSpiel() const {
        int n = 0;
        for (int i = 1; i <= 100; ++i) n += form.BallDaten[static_cast<size_t>(i)].Aktiv != 0;
        return n;
    }

    // Puts a bonus of the given kind into slot i.
    void bonus(int i, int art, float left, float top, int32_t vx, int32_t vy) {
        Bild& b = form.Bonus(i);
        b.Left = left;
        b.Top = top;
        b.Visible = true;
        b.Tag = std::to_string(art);
        b.Picture = static_cast<Motiv>(art);
        form.BonusDaten[static_cast<size_t>(i)] = Flugdaten{vx, vy, WAHR};
    }
    int bonusseImSpiel() const {
        int n = 0;
        for (int i = 1; i <= 10; ++i) n += form.BonusDaten[static_cast<size_t>(i)].Aktiv != 0;
        return n;
    }

    std::vector<int> schüsse() const {
        std::vector<int> v;
        for (int s = form.Schuss.naechster(0); s != -1; s = form.Schuss.naechster(s)) v.push_back(s);
        return v;
    }

    // The label's text for these counters.
    static std::string label(int punkte, int rekord, int munition) {
        return "Punkte: " + std::to_string(punkte) + "\r\nRekord: " + std::to_string(rekord) +
               "\r\nMunition: " + std::to_string(munition);
    }

    bool einSpielTimerLäuft() const {
        return form.tmrBälle.Enabled() || form.tmrBonusse.Enabled() || form.tmrSchüsse.Enabled() ||
               form.tmrPad.Enabled() || form.tmrRand.Enabled();
    }
};

// The same as a GoogleTest fixture.
class Spielfeld : public ::testing::Test, public Spielaufbau {};

} // namespace qmb::test

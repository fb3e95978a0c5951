#pragma once
// The main window model over stand-in ports, with every ball and bonus
// loaded: as it is for the widget, sound and paint tests; loaded like the
// program loads it, with its five timers on a virtual clock, for the game's
// own tests, which set up the field and compare whole states through the
// helpers below.
#include <filesystem>
#include <random>
#include <sstream>

#include "Attrappen.h"
#include "game/frmMain.h"
#include "platform/Zahlen.h"
#include "platform/Zeitgeber.h"
#include "sound/modSound.h"

namespace qmb::test {

// A ball's or a bonus's place and speeds, and whether its slot is in use.
struct Flug {
    float left = 0, top = 0;
    int32_t vx = 0, vy = 0;
    bool aktiv = false;
    bool operator==(const Flug&) const = default;
    friend std::ostream& operator<<(std::ostream& o, const Flug& f) {
        return o << '{' << f.left << ' ' << f.top << ' ' << f.vx << ' ' << f.vy << (f.aktiv ? " aktiv}" : "}");
    }
};

struct Modell {
    SkriptFenster fenster;
    FesterZufall zufall;
    FesteZeit uhr;
    ZeigerProtokoll zeiger;
    BefehlsProtokoll mci;
    TestProgramm programm;
    modSound sound{mci, programm, fenster};
    SpeicherListe liste;
    Zufallsquelle& quelle; // the chosen draws, or a real generator
    frmMain m{Dienste{fenster, quelle, uhr, zeiger}, sound, liste};
    VirtuelleUhr takt;
    Ablauf ablauf; // the calls of window, pointer, music and list, in order
    std::filesystem::path ordner;

    explicit Modell(Zufallsquelle* andere = nullptr) : quelle(andere ? *andere : zufall) {
        fenster.ablauf = zeiger.ablauf = mci.ablauf = liste.ablauf = &ablauf;
        for (int i = 1; i <= 100; ++i) m.Ball.Load(i);
        for (int i = 1; i <= 10; ++i) m.Bonus.Load(i);
    }
    ~Modell() {
        if (ordner.empty()) return;
        fenster.beiDoEvents = nullptr, fenster.beiDialog = nullptr;
        m.Form_Unload();
        std::error_code f;
        std::filesystem::remove_all(ordner, f);
    }
    Modell(const Modell&) = delete;

    // A private music folder and the timers on the virtual clock.
    void einrichten() {
        ordner = std::filesystem::temp_directory_path() / ("quambel-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(ordner);
        programm.tempOrdner = programm.appPfad = ordner.string();
        for (int id = 101; id <= 106; ++id) programm.ressourcen[id] = {'M', 'T', 'h', 'd'};
        for (Zeitgeber* z : {&m.tmrBälle, &m.tmrBonusse, &m.tmrSchüsse, &m.tmrPad, &m.tmrRand}) takt.anmelden(*z);
    }
    void laden() { einrichten(), m.Form_Load(), vergessen(); }
    // Forgets what the stand-ins have recorded so far, but the pointer's last clip.
    void vergessen() {
        fenster.protokoll.clear(), mci.befehle.clear(), ablauf.clear();
        if (zeiger.clips.size() > 1) zeiger.clips.erase(zeiger.clips.begin(), zeiger.clips.end() - 1);
        zufall.gezogen = fenster.doEventsAnzahl = 0;
    }
    // Starts a game the way F2 does; the first ball gets vx from the draw r.
    void starten(float r = 0.5f) { zufall.werte = {r}, m.mnuSpielStarten_Click(), vergessen(); }

    static Flug flug(const auto& bild, const Flugdaten& d) { return {bild.Left, bild.Top, d.vx, d.vy, d.Aktiv != 0}; }
    Flug ball(int i) const { return flug(m.Ball(i), m.BallDaten[static_cast<size_t>(i)]); }
    Flug bonus(int i) const { return flug(m.Bonus(i), m.BonusDaten[static_cast<size_t>(i)]); }
    // Puts ball i into play (or out of it), counting it in the score as the game does.
    void ball(int i, Flug f) {
        m.Punkte = static_cast<int16_t>(m.Punkte + f.aktiv - ball(i).aktiv);
        m.Rekord = std::max(m.Rekord, m.Punkte);
        m.Ball(i).Left = f.left, m.Ball(i).Top = f.top, m.Ball(i).Visible = f.aktiv;
        m.BallDaten[static_cast<size_t>(i)] = {f.vx, f.vy, static_cast<int16_t>(f.aktiv ? WAHR : 0)};
    }
    void bälle(int n) { // slots 1..n in play, high up in the middle
        for (int i = 1; i <= n; ++i) ball(i, {3000, 2000, 0, 0, true});
    }
    void bonus(int i, int art, Flug f) {
        m.Bonus(i).Left = f.left, m.Bonus(i).Top = f.top, m.Bonus(i).Visible = true;
        m.Bonus(i).Tag = std::to_string(art);
        m.Bonus(i).Picture = static_cast<Motiv>(art);
        m.BonusDaten[static_cast<size_t>(i)] = {f.vx, f.vy, WAHR};
    }
    int imSpiel(int bis = 100) const { // balls in play, or with 10 bonuses
        int n = 0;
        for (int i = 1; i <= bis; ++i) n += (bis == 100 ? ball(i) : bonus(i)).aktiv;
        return n;
    }
    std::vector<int> schüsse() const {
        std::vector<int> v;
        for (int s = m.Schuss.nächster(0); s != -1; s = m.Schuss.nächster(s)) v.push_back(s);
        return v;
    }
    static std::string label(int punkte, int rekord, int munition) {
        return "Punkte: " + std::to_string(punkte) + "\r\nRekord: " + std::to_string(rekord) +
               "\r\nMunition: " + std::to_string(munition);
    }
    bool einSpielTimerLäuft() const { return stand().find("Timer-----") == std::string::npos; }

    // The window's whole state in one line: a test compares it whole.
    std::string stand() const {
        auto j = [](bool b) { return b ? "+" : "-"; };
        bool stimmig = true; // every ball and bonus in play shown, every free slot hidden at 0, 0
        for (int i = 1; i <= 100; ++i) stimmig &= ball(i).aktiv ? m.Ball(i).Visible : ball(i) == Flug{} && !m.Ball(i).Visible;
        for (int i = 1; i <= 10; ++i) stimmig &= bonus(i).aktiv ? m.Bonus(i).Visible : bonus(i) == Flug{} && !m.Bonus(i).Visible;
        std::string text;
        for (char c : m.lblPunkte.Caption) text += c == '\r' ? "" : c == '\n' ? "|" : std::string(1, c);
        const Farbe farbe = m.Pad.FillColor == m.Pad.BorderColor ? m.Pad.FillColor : 0;
        std::ostringstream s;
        s << "Spiel" << j(m.SpielLäuft) << " Pause" << j(m.Pausiert) << " '" << m.Caption << "' Zeiger "
          << m.MousePointer << (zeiger.eingesperrt() ? " eingesperrt" : " frei") << " Feld"
          << j(m.fraSpielEinstellungen.Visible) << " F2" << j(m.mnuSpielStarten.Visible) << " F3"
          << j(m.mnuSpielbeenden.Visible) << " P" << j(m.mnuPause.Enabled) << j(m.mnuPause.Checked) << " Timer"
          << j(m.tmrBälle.Enabled()) << j(m.tmrBonusse.Enabled()) << j(m.tmrSchüsse.Enabled())
          << j(m.tmrPad.Enabled()) << j(m.tmrRand.Enabled()) << " Musik" << j(m.mnuMusik.Checked) << ' '
          << (m.optMaus.Value ? "Maus" : "") << (m.optTastatur.Value ? "Tastatur" : "") << j(m.chkMaus.Value == 1)
          << j(m.chkMaus.Enabled) << " Pad " << m.Pad.Left << j(m.Pad.Visible)
          << (farbe == ROT ? " rot" : farbe == BLAU ? " blau" : " bunt") << " Power" << j(m.PowerPad)
          << " Richtung " << m.PadRichtung << " Feuer" << j(m.Schießen) << m.SchussTakt << j(m.RechtesGewehr)
          << " Punkte " << m.Punkte << '/' << m.Rekord << '/' << m.Munition << " '" << text << "' Ball1 "
          << ball(1) << " Bälle " << imSpiel(100) << " Bonusse " << imSpiel(10) << " Schüsse " << m.Schuss.Anzahl()
          << (stimmig ? "" : " unstimmig");
        return s.str();
    }
};

} // namespace qmb::test

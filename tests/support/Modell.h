#pragma once
// The main window model over stand-in ports, with every ball and bonus
// loaded: as it is for the widget, sound and paint tests; loaded like the
// program loads it, with its five timers on a virtual clock, for the game's
// own tests, which set up the field and compare whole states through the
// helpers below.
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

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

// The main window as the player sees it, field by field: its frame, and the
// field of play below. The defaults are the window between games; a test
// names only the fields it expects otherwise, and a failure names each field
// that differs.
struct Spielfläche {
    float pad = 2640;
    bool padSichtbar = false;
    std::string padFarbe = "blau";
    bool power = false, feuer = false, rechtesGewehr = false;
    int richtung = 0, schussTakt = 0, punkte = 0, rekord = 0, munition = 0;
    std::string anzeige = "";
    Flug ball1 = {};
    int bälle = 0, bonusse = 0, schüsse = 0;
    bool stimmig = true; // every ball and bonus in play shown, every free slot hidden at 0, 0
    bool operator==(const Spielfläche&) const = default;
};
struct Stand {
    std::string titel = "Quambel - F2 zum Starten drücken", steuerart = "Maus";
    int zeiger = vbArrow;
    bool spiel = false, pause = false, eingesperrt = false, einstellungen = true, f2 = true, f3 = false;
    bool pauseAn = false, pauseHaken = false, musik = true, mausHaken = true, mausHakenAn = true;
    bool tmrBälle = false, tmrBonusse = false, tmrSchüsse = false, tmrPad = false, tmrRand = false;
    Spielfläche spielfeld = {};
    bool operator==(const Stand&) const = default;
};
inline ::testing::AssertionResult gleicherStand(const char*, const char*, const Stand& ist, const Stand& soll) {
    ::testing::AssertionResult fehler = ::testing::AssertionFailure();
#define FELD(f)                                                                                                        \
    if (!(ist.f == soll.f))                                                                                            \
        fehler << "\n  " #f ": " << ::testing::PrintToString(ist.f) << ", expected " << ::testing::PrintToString(soll.f);
#define SF(f) FELD(spielfeld.f)
    FELD(titel) FELD(steuerart) FELD(zeiger) FELD(spiel) FELD(pause) FELD(eingesperrt) FELD(einstellungen) FELD(f2)
    FELD(f3) FELD(pauseAn) FELD(pauseHaken) FELD(musik) FELD(mausHaken) FELD(mausHakenAn) FELD(tmrBälle)
    FELD(tmrBonusse) FELD(tmrSchüsse) FELD(tmrPad) FELD(tmrRand) SF(pad) SF(padSichtbar) SF(padFarbe) SF(power)
    SF(feuer) SF(rechtesGewehr) SF(richtung) SF(schussTakt) SF(punkte) SF(rekord) SF(munition) SF(anzeige) SF(ball1)
    SF(bälle) SF(bonusse) SF(schüsse) SF(stimmig)
#undef SF
#undef FELD
    return ist == soll ? ::testing::AssertionSuccess() : fehler;
}
#define EXPECT_STAND(ist, soll) EXPECT_PRED_FORMAT2(gleicherStand, ist, soll)

// A key, or a mouse button on the window or on the score label.
struct Knopf {
    enum Ort { Taste, Maus, Label } ort;
    int code;
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
        fenster.beiDoEvents = nullptr;
        fenster.beiDialog = nullptr;
        m.Form_Unload();
        std::error_code f;
        std::filesystem::remove_all(ordner, f);
    }

    // A private music folder and the timers on the virtual clock.
    void einrichten() {
        ordner = std::filesystem::temp_directory_path() / ("quambel-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(ordner);
        programm.tempOrdner = programm.appPfad = ordner.string();
        for (int id = 101; id <= 106; ++id) programm.ressourcen[id] = {'M', 'T', 'h', 'd'};
        for (Zeitgeber* z : {&m.tmrBälle, &m.tmrBonusse, &m.tmrSchüsse, &m.tmrPad, &m.tmrRand}) takt.anmelden(*z);
    }
    void laden() {
        einrichten();
        m.Form_Load();
        vergessen();
    }
    // Forgets what the stand-ins have recorded so far, but the pointer's last clip.
    void vergessen() {
        fenster.protokoll.clear();
        mci.befehle.clear();
        ablauf.clear();
        if (zeiger.clips.size() > 1) zeiger.clips.erase(zeiger.clips.begin(), zeiger.clips.end() - 1);
        zufall.gezogen = fenster.doEventsAnzahl = 0;
    }
    // Starts a game the way F2 does; the first ball gets vx from the draw r.
    void starten(float r = 0.5f) {
        zufall.werte = {r};
        m.mnuSpielStarten_Click();
        vergessen();
    }

    void drücken(Knopf k, bool unten) {
        if (k.ort == Knopf::Label) unten ? m.lblPunkte_MouseDown(k.code, 0, 5, 5) : m.lblPunkte_MouseUp(k.code, 0, 5, 5);
        else if (k.ort == Knopf::Maus) unten ? m.Form_MouseDown(k.code, 0, 5, 5) : m.Form_MouseUp(k.code, 0, 5, 5);
        else unten ? m.Form_KeyDown(k.code, 0) : m.Form_KeyUp(k.code, 0);
    }
    static Flug flug(const auto& bild, const Flugdaten& d) { return {bild.Left, bild.Top, d.vx, d.vy, d.Aktiv != 0}; }
    Flug ball(int i) const { return flug(m.Ball(i), m.BallDaten[static_cast<size_t>(i)]); }
    Flug bonus(int i) const { return flug(m.Bonus(i), m.BonusDaten[static_cast<size_t>(i)]); }
    // Puts ball i into play (or out of it), counting it in the score as the game does.
    void ball(int i, Flug f) {
        m.Punkte = static_cast<int16_t>(m.Punkte + f.aktiv - ball(i).aktiv);
        m.Rekord = std::max(m.Rekord, m.Punkte);
        m.Ball(i).Left = f.left;
        m.Ball(i).Top = f.top;
        m.Ball(i).Visible = f.aktiv;
        m.BallDaten[static_cast<size_t>(i)] = {f.vx, f.vy, static_cast<int16_t>(f.aktiv ? WAHR : 0)};
    }
    // The score set as the game sets it, shown at once.
    void punkte(int p) {
        m.Punkte = static_cast<int16_t>(p);
        m.PunkteStandAktualisieren();
    }
    // The last ball falls beside the pad, below its top edge, and is lost.
    void letzterBallWeg() {
        ball(1, {500, 6400, 0, 0, true});
        m.tmrBälle_Timer();
    }
    void schuss(int n, float left, float top) {
        m.Schuss.Load(n);
        m.Schuss(n).Left = left;
        m.Schuss(n).Top = top;
        m.Schuss(n).Visible = true;
    }
    void bälle(int n) { // slots 1..n in play, high up in the middle
        for (int i = 1; i <= n; ++i) ball(i, {3000, 2000, 0, 0, true});
    }
    void bonus(int i, int art, Flug f) {
        m.Bonus(i).Left = f.left;
        m.Bonus(i).Top = f.top;
        m.Bonus(i).Visible = true;
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
    bool einSpielTimerLäuft() const { return m.tmrBälle.Enabled() || m.tmrBonusse.Enabled() || m.tmrSchüsse.Enabled() || m.tmrPad.Enabled(); }

    Stand stand() const {
        bool stimmig = true;
        for (int i = 1; i <= 100; ++i) stimmig &= ball(i).aktiv ? m.Ball(i).Visible : ball(i) == Flug{} && !m.Ball(i).Visible;
        for (int i = 1; i <= 10; ++i) stimmig &= bonus(i).aktiv ? m.Bonus(i).Visible : bonus(i) == Flug{} && !m.Bonus(i).Visible;
        const Farbe farbe = m.Pad.FillColor == m.Pad.BorderColor ? m.Pad.FillColor : 0;
        const Spielfläche feld{
            .pad = m.Pad.Left, .padSichtbar = m.Pad.Visible, .padFarbe = farbe == ROT ? "rot" : farbe == BLAU ? "blau" : "bunt",
            .power = m.PowerPad, .feuer = m.Schießen, .rechtesGewehr = m.RechtesGewehr, .richtung = m.PadRichtung,
            .schussTakt = m.SchussTakt, .punkte = m.Punkte, .rekord = m.Rekord, .munition = m.Munition,
            .anzeige = m.lblPunkte.Caption, .ball1 = ball(1), .bälle = imSpiel(100), .bonusse = imSpiel(10),
            .schüsse = m.Schuss.Anzahl(), .stimmig = stimmig};
        return {.titel = m.Caption, .steuerart = m.optMaus.Value ? "Maus" : m.optTastatur.Value ? "Tastatur" : "",
                .zeiger = m.MousePointer, .spiel = m.SpielLäuft, .pause = m.Pausiert, .eingesperrt = zeiger.eingesperrt(),
                .einstellungen = m.fraSpielEinstellungen.Visible, .f2 = m.mnuSpielStarten.Visible,
                .f3 = m.mnuSpielbeenden.Visible, .pauseAn = m.mnuPause.Enabled, .pauseHaken = m.mnuPause.Checked,
                .musik = m.mnuMusik.Checked, .mausHaken = m.chkMaus.Value == 1, .mausHakenAn = m.chkMaus.Enabled,
                .tmrBälle = m.tmrBälle.Enabled(), .tmrBonusse = m.tmrBonusse.Enabled(),
                .tmrSchüsse = m.tmrSchüsse.Enabled(), .tmrPad = m.tmrPad.Enabled(), .tmrRand = m.tmrRand.Enabled(),
                .spielfeld = feld};
    }
    // The window's frame alone, without the field of play.
    Stand rahmen() const {
        Stand s = stand();
        s.spielfeld = {};
        return s;
    }
};
} // namespace qmb::test

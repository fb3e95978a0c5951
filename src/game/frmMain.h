#pragma once
// The main window as the game sees it: the playfield's drawables, the slot
// records, the game's counters and flags, the five timers, and the window's
// own visible state (caption, settings panel, menus, pointer). Everything is
// plain data; every handler is a member function. The Qt window is a view
// that forwards its events here and mirrors this state afterwards.
#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "game/Bestenliste.h"
#include "game/Flugdaten.h"
#include "game/Regeln.h"
#include "platform/Fensterdienste.h"
#include "platform/Tastencodes.h"
#include "platform/Zeichenobjekte.h"
#include "platform/Zeigerdienste.h"
#include "platform/Zeitgeber.h"
#include "platform/Zufall.h"

namespace qmb {

class modSound;

// The ports the main window calls out through.
struct Dienste {
    Fensterdienste& fenster;
    Zufallsquelle& zufall;
    Tageszeit& uhr;
    Zeigerdienste& zeiger;
};

struct Menüpunkt {
    std::string Caption;
    std::string Shortcut; // as Qt's portable key text: "F2", "Ctrl+P"
    bool Visible = true;
    bool Enabled = true;
    bool Checked = false;
};

struct Rahmen {
    std::string Caption;
    bool Visible = true;
};
struct Optionsfeld {
    std::string Caption;
    bool Value = false;
    bool Enabled = true;
};
struct Kontrollkästchen {
    std::string Caption;
    int Value = 1; // 0 unchecked, 1 checked
    bool Enabled = true;
};

// Pointer values of the window.
inline constexpr int vbDefault = 0;
inline constexpr int vbArrow = 1;
inline constexpr int vbCustom = 99; // the fully transparent pointer: hidden

inline constexpr const char* TITEL_START = "Quambel - F2 zum Starten drücken";
inline constexpr const char* TITEL_SPIEL = "Quambel";
inline constexpr const char* TITEL_PAUSE = "Quambel - pausiert - Strg + P drücken";

class frmMain {
public:
    frmMain(Dienste dienste, modSound& sound, Bestenliste& liste);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // ---- the window's own state -------------------------------------------
    std::string Caption = TITEL_START;
    int MousePointer = vbDefault;
    Rahmen fraSpielEinstellungen{"Spieleinstellungen", true};
    Rahmen fraSteuerung{"Steuerung", true};
    Optionsfeld optTastatur{"&Tastatur", false, true};
    Optionsfeld optMaus{"&Maus", true, true};
    Kontrollkästchen chkMaus{"Maus im Fenster &einsperren", 1, true};

    Menüpunkt mnuSpiel{"&Spiel", ""};
    Menüpunkt mnuSpielStarten{"Spiel &starten", "F2"};
    Menüpunkt mnuPause{"Spiel &pausieren", "Ctrl+P", true, false, false};
    Menüpunkt mnuSpielbeenden{"Spiel &beenden", "F3", false};
    Menüpunkt mnuHighScore{"&Highscoreliste ansehen", "Ctrl+H"};
    Menüpunkt mnuQMBBeenden{"Quambel b&eenden", "Ctrl+Q"};
    Menüpunkt mnuAudio{"&Audio", ""};
    Menüpunkt mnuMusik{"&Musik abspielen", "Ctrl+M", true, true, true};
    Menüpunkt mnuNächsterSong{"&Nächstes Stück spielen", "F12"};
    Menüpunkt mnuHilfe{"&?", ""};
    Menüpunkt mnuAnleitung{"&Anleitung", "F1"};
    Menüpunkt mnuAbout{"About &Quambel...", "F11"};

    // ---- the playfield ----------------------------------------------------
    Linie Oben{360, 360, 6000, 360};
    Linie Links{360, 360, 360, 6840};
    Linie Rechts{6000, 360, 6000, 6840};
    Linie Unten{360, 6840, 6000, 6840};
    Form Pad{2520, 6600, 1200, 120, false, Umriss::AbgerundetesRechteck, BLAU, BLAU};
    Steuerelementfeld<Form> Ball{Form{0, 0, 240, 240, false, Umriss::Kreis, ROT, ROT}};
    Steuerelementfeld<Bild> Bonus{Bild{0, 0, 360, 360, false, Motiv::Keins, {}}};
    Steuerelementfeld<Form> Schuss{Form{0, 0, 70, 70, false, Umriss::Quadrat, SCHWARZ, SCHWARZ}};
    // The hidden template pictures of the three kinds of bonus.
    Bild BonusseBonus{0, 0, 960, 960, false, Motiv::BonusseBonus, {}};
    Bild BonusMitBall{0, 0, 960, 960, false, Motiv::BonusMitBall, {}};
    Bild BonusMuni{0, 0, 960, 960, false, Motiv::BonusMuni, {}};
    Beschriftung lblPunkte{480, 480, 2535, 1455, true, {}, false};

    // ---- slot records -----------------------------------------------------
    std::array<Flugdaten, BALLPLÄTZE + 1> BallDaten{};   // 1 to BALLPLÄTZE are used
    std::array<Flugdaten, BONUSPLÄTZE + 1> BonusDaten{}; // 1 to BONUSPLÄTZE are used
    const Flugdaten LeerDaten{};
    const Position Parkposition{};

    // ---- the game state ---------------------------------------------------
    bool SpielLäuft = false;
    int16_t Punkte = 0;
    int16_t Rekord = 0;
    int16_t Munition = 0;
    bool PowerPad = false;
    int32_t PadRichtung = 0;
    bool Schießen = false;
    int16_t SchussTakt = 0;
    bool RechtesGewehr = false;
    bool Pausiert = false;

    // ---- timers -----------------------------------------------------------
    Zeitgeber tmrBälle{"tmrBälle", 40};
    Zeitgeber tmrBonusse{"tmrBonusse", 40};
    Zeitgeber tmrSchüsse{"tmrSchüsse", 30};
    Zeitgeber tmrPad{"tmrPad", 15};
    Zeitgeber tmrRand{"tmrRand", 2000};

    // ---- load and unload --------------------------------------------------
    void Form_Load();
    void Form_Unload();
    // Closes the window: the form unloads at once; the view sees Entladen()
    // when it mirrors the state and closes its widget.
    void Unload();
    bool Entladen() const { return phase_ == Phase::Entladen; }

    // ---- buttons and menus ------------------------------------------------
    void cmdLos_Click();
    void cmdHilfe_Click();
    void cmdBeenden_Click();
    void mnuSpielStarten_Click();
    void mnuSpielbeenden_Click();
    void mnuPause_Click();
    void mnuHighScore_Click();
    void mnuQMBBeenden_Click();
    void mnuMusik_Click();
    void mnuNächsterSong_Click();
    void mnuAnleitung_Click();
    void mnuAbout_Click();
    void optTastatur_Click();
    void optMaus_Click();

    // ---- keyboard and mouse (Windows key codes, twips) --------------------
    void Form_KeyDown(int KeyCode, int Shift);
    void Form_KeyUp(int KeyCode, int Shift);
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseUp(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void lblPunkte_MouseDown(int Button, int Shift, float X, float Y);
    void lblPunkte_MouseUp(int Button, int Shift, float X, float Y);
    void lblPunkte_MouseMove(int Button, int Shift, float X, float Y);

    // ---- timer ticks ------------------------------------------------------
    void tmrBälle_Timer();
    void tmrBonusse_Timer();
    void tmrSchüsse_Timer();
    void tmrPad_Timer();
    void tmrRand_Timer();

    // ---- the game's procedures --------------------------------------------
    void SpielStarten();
    void SpielEnde();
    void PadZurücksetzen();
    void PunkteStandAktualisieren();
    void SpielGewonnen();
    void SpielVerloren(); // the game-over sequence
    int16_t GetFreeBallNumber() const;
    int16_t GetFreeBonusNumber() const;
    int16_t GetFreeSchussNumber() const;
    void BonusErstellen(int16_t Typ, int32_t PosY, int32_t PosX, int16_t vx, int32_t vy);
    void PowerPadAn();
    void PowerPadAus();
    void PadLenken(int32_t Richtung);
    void ZufallsStück();
    void MausEinsperren(bool Einsperren);
    Rechteck GetClientScreenRect();

    // What the game's ticks read and write, besides the random generator and
    // the timers, as one tuple of references: a copy of it is a moment of the
    // game, and assigning the copy back returns to that moment.
    auto Spielstand() {
        return std::tie(BallDaten, BonusDaten, Ball, Schuss, Bonus, Pad, lblPunkte, Punkte, Rekord, Munition,
                        SchussTakt, Schießen, RechtesGewehr, PowerPad);
    }

    Dienste d;
    modSound& sound;
    Bestenliste& liste;

private:
    // The window's life. Starting and ending a game let events in; the phase
    // tells what comes in there whether it may start or end a game. An end
    // may run inside a start (Esc during its event pumps) and hands the
    // phase back when it is done. Entladen is final.
    enum class Phase { Neu, Geladen, Startet, Endet, Entladen };
    Phase phase_ = Phase::Neu;
    // Counts every game start and end. A procedure that lets events in, or
    // calls something that may end the game, compares it afterwards: when it
    // changed, the game it was working on is gone and it must stop.
    uint32_t spielnummer_ = 0;
    void setzePosition(Bild& b, const Position& p);
};

} // namespace qmb

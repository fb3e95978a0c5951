#pragma once
// The music module: writes the six pieces carried in the program into a
// private folder at start-up and removes them at shut-down, and talks to the
// player in command strings under two aliases, one for the background piece
// and one for the jingle at a game's end.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Befehlsschnittstelle.h"
#include "platform/Dateisystem.h"
#include "platform/Fensterdienste.h"
#include "platform/Programmdienste.h"
#include "sound/Stuecke.h"

namespace qmb {

class modSound {
public:
    modSound(Befehlsschnittstelle& mci, Programmdienste& programm, Fensterdienste& fenster,
             Dateisystem& dateien = systemDateisystem())
        : mci_(mci), programm_(programm), fenster_(fenster), dateien_(dateien) {}

    bool MusikAn = false;
    std::string TempPfad;
    std::string SoundOrdner;                    // ends with a separator
    std::array<std::string, LIEDER + 1> Lieder; // 1 to LIEDER are used
    std::string VerlorenDatei;
    std::string GewonnenDatei;

    // ---- music files ------------------------------------------------------
    void SoundInitialisieren();
    void SoundBeenden();
    std::string TempPfadHolen();
    void SoundDateinamenSetzen();
    void SoundDateienSchreiben();
    void RessourceSpeichern(int ID, const std::string& Typ, const std::string& Datei);
    void DateiLöschen(const std::string& Pfad);
    // The file part of SoundBeenden, without a word to the player: also for
    // the way out when the display is lost, where the player may be gone.
    void MusikordnerRäumen();

    // ---- the player -------------------------------------------------------
    void MciSpielen(const std::string& Datei, const std::string& Alias);
    void MciEndlosSpielen(const std::string& Datei, const std::string& Alias);
    void MciStoppen(const std::string& Alias);
    void MciFortsetzen(const std::string& Alias);
    void MciSchließen(const std::string& Alias);
    int32_t MciAbfrage(const std::string& Befehl);
    bool StückZuEnde(const std::string& Alias);
    std::string KurzerPfad(const std::string& Pfad);

private:
    void senden(const std::string& befehl);
    // Makes sure the music folder is ours alone: a real folder (not a link),
    // owned by this user, readable by nobody else. Throws otherwise;
    // `angelegt` is the error of making it, if that failed.
    void ordnerPrüfen(const std::string& ordner, Fehlernummer angelegt);
    void resteEntfernen(bool alle);

    Befehlsschnittstelle& mci_;
    Programmdienste& programm_;
    Fensterdienste& fenster_;
    Dateisystem& dateien_;
    // Held while this copy uses the music folder (shared with other copies).
    std::unique_ptr<Sperre> belegt_;
    // The folder passed the check: only then does the clean-up touch it.
    bool ordnerGeprüft_ = false;
};

} // namespace qmb

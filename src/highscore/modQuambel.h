#pragma once
// The high-score list of the game: where its file lives, whether a score
// enters it, inserting an entry, and reading and deleting it for the
// high-score window.
//
// Use: construct once at start-up with the program's services, call
// HighscoreDateiSetzen() once (after the music set-up), then IstHighscore /
// HighscoreEintragen at the end of a game; frmHighScore reads the list
// through ZeilenLesen and clears it with ListeLöschen.
//
// Every failure of the file system is told to the player in one German
// message box (exclamation icon) that names the file; the game then goes on.
// Nothing that was in a readable list is ever lost by a failed write: a new
// list is written beside the old one, flushed, and put in its place in one
// rename. Several copies of the program may share the list: each insertion
// reads, inserts and writes under a lock (the file Highscores.<user>.lock
// beside it), waiting for it a few seconds at most.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/Bestenliste.h"
#include "highscore/Listenformat.h"
#include "platform/Dateisystem.h"
#include "platform/Fensterdienste.h"
#include "platform/Programmdienste.h"

namespace qmb {

class modQuambel : public Bestenliste {
public:
    modQuambel(Programmdienste& programm, Fensterdienste& fenster, Dateisystem& dateien = systemDateisystem());

    // Chooses the file: "Highscores.qmb" in the program's folder when new files
    // can be created there, else in the per-user data folder (created when
    // missing; a list beside the read-only program is copied there once).
    // Removes the unfinished new lists (Cache.qmb...) that interrupted runs left.
    void HighscoreDateiSetzen() override;
    const std::string& HighscoreDatei() const { return HighscoreDatei_; }

    // True when this score enters the list (also when the file is missing,
    // and when it cannot be read: the insertion then tells why).
    bool IstHighscore(int16_t Punkte) override;

    // Enters the score with the name (UTF-8); returns the place 1 to 10, 0
    // when it did not enter, or NICHT_GESPEICHERT after telling the player
    // that the list could not be read or written.
    int16_t HighscoreEintragen(const std::string& Name, int16_t Punkte) override;

    static std::string ZeileVerwürfeln(std::string_view Zeile) { return qmb::ZeileVerwürfeln(Zeile); }
    static std::string Verwürfeln(std::string_view Text, std::string_view Schlüssel) {
        return qmb::Verwürfeln(Text, Schlüssel);
    }

    // For frmHighScore: the plain text (Windows-1252) of every line of the
    // file, in file order; empty when there is no list or it cannot be read.
    std::vector<std::string> ZeilenLesen();
    // Deletes the list file if there is one.
    void ListeLöschen();

    // How long an insertion or a clearing waits for the lock (milliseconds)
    // before it tells the player and leaves the list as it is.
    int SperrGeduld = 5000;

private:
    Fehlernummer lesen(std::vector<std::string>& zeilen);
    Fehlernummer speichern(const std::string& inhalt);
    void melden(const std::string& was, Fehlernummer fehler, const std::string& folge);
    void leseFehlerMelden(Fehlernummer fehler, const std::string& folge);
    void sicherstellen();
    void resteEntfernen();
    Fehlernummer sperren(std::unique_ptr<Sperre>& sperre);

    Programmdienste& programm_;
    Fensterdienste& fenster_;
    Dateisystem& dateien_;
    std::string ordner_;
    std::string HighscoreDatei_;
    std::string SperrDatei_;
    std::string neuePräfix_; // new lists: this, a dot, the copy's name, a dot, a count
    unsigned schreibvorgänge_ = 0;
    Fehlernummer ordnerFehler_ = 0; // the per-user folder could not be made
    Fehlernummer gemeldet_ = 0;     // the reading error told last
};

} // namespace qmb

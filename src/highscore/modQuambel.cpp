#include "highscore/modQuambel.h"

#include <algorithm>
#include <cerrno>

#include "platform/Codepage.h"

namespace qmb {
namespace {

// A new list is written under a name of its own beside the list: the prefix
// and then the copy's name and a count, so that two running copies never
// write into the same file. Earlier versions of Quambel wrote under the
// prefix alone.
constexpr std::string_view NEU_PRÄFIX = "Cache.qmb";

} // namespace

modQuambel::modQuambel(Programmdienste& programm, Fensterdienste& fenster, Dateisystem& dateien)
    : programm_(programm), fenster_(fenster), dateien_(dateien) {}

void modQuambel::HighscoreDateiSetzen() {
    const std::string app = programm_.AppPath();
    ordner_ = app;
    // An installed program (/usr/games, a read-only share) cannot keep its
    // list beside itself; the result of a game would be lost at the first
    // entry. Then the list lives with the player's own data; so it does for
    // a program installed into the system even where root could write there.
    // Should the per-user folder not be made either, it is still the one
    // tried last, and the message of a failed save names it.
    ordnerFehler_ = 0;
    if (programm_.Installiert() || !dateien_.beschreibbar(app)) {
        const std::string benutzer = programm_.Benutzerdatenordner();
        if (!benutzer.empty()) {
            ordner_ = benutzer;
            ordnerFehler_ = dateien_.ordnerAnlegen(benutzer);
        }
    }
    HighscoreDatei_ = pfadVerbinden(ordner_, "Highscores.qmb");
    // Each user has a lock of his own, readable by nobody else: a lock file
    // every user could open would be one every user could hold, and another
    // user could freeze our saving at will. So where the list lies in a
    // folder shared between users (the program's folder, open to a group on
    // purpose), the copies of one user take turns, and those of different
    // users still never tear the list or write into each other's files
    // (each writes a new list of its own and renames it into place); only
    // two entries made by two users in the same instant may keep one.
    const std::string benutzer = dateien_.benutzer();
    SperrDatei_ = pfadVerbinden(ordner_, benutzer.empty() ? "Highscores.lock" : "Highscores." + benutzer + ".lock");
    neuePräfix_ = pfadVerbinden(ordner_, NEU_PRÄFIX);

    std::unique_ptr<Sperre> sperre;
    const Fehlernummer gesperrt = dateien_.sperren(SperrDatei_, true, sperre);
    if (gesperrt == 0 || gesperrt == ENOLCK) resteEntfernen();

    // A list beside the read-only program comes along once. If that fails the
    // player starts a new list; the old one stays where it was.
    const std::string daneben = pfadVerbinden(app, "Highscores.qmb");
    if ((sperre || gesperrt == ENOLCK) && ordner_ != app && dateien_.art(HighscoreDatei_) == Dateiart::Fehlt &&
        dateien_.art(daneben) == Dateiart::Datei) {
        std::string inhalt;
        bool mehr = false;
        if (dateien_.lesen(daneben, DATEI_HÖCHSTENS, inhalt, mehr) == 0 && !mehr) speichern(inhalt);
    }
}

// A new list is only ever written while its writer holds the lock, and
// counts from the moment it is renamed into place; a probe lives for a
// moment at the start. Both carry the name of the copy that made them. So
// with our lock held (no copy of ours writes), every such file whose copy is
// gone was left by a copy that died in the middle: unfinished, and the list
// beside it is the valid one. A file of a copy still running (another
// user's, who has a lock of his own) is none of our business; one without a
// copy's name is from an earlier version, one with our own name from a dead
// copy whose process id we now have. Where the file system cannot lock, the
// name alone decides.
void modQuambel::resteEntfernen() {
    std::vector<std::string> namen;
    if (dateien_.auflisten(ordner_, namen) != 0) return;
    const std::string probe = ".Highscores-Probe-";
    for (const auto& name : namen) {
        std::string kopie;
        if (name.compare(0, NEU_PRÄFIX.size(), NEU_PRÄFIX) == 0)
            kopie = name.substr(std::min(name.size(), NEU_PRÄFIX.size() + 1)); // "Cache.qmb.<copy>.<n>"
        else if (name.compare(0, probe.size(), probe) == 0)
            kopie = name.substr(probe.size()); // ".Highscores-Probe-<copy>-<n>"
        else
            continue;
        kopie = kopie.substr(0, kopie.find_first_of(".-"));
        if (kopie.empty() || kopie == dateien_.kennung() || !dateien_.läuft(kopie))
            dateien_.entfernen(pfadVerbinden(ordner_, name));
    }
}

void modQuambel::sicherstellen() {
    if (HighscoreDatei_.empty()) HighscoreDateiSetzen();
}

void modQuambel::melden(const std::string& was, Fehlernummer fehler, const std::string& folge) {
    // The lock file itself is refused (a pipe, a link, another user's file):
    // that one is named, since it is the one to look at.
    const bool sperrdatei = was == "geöffnet";
    const std::string wer = sperrdatei ? "Die Sperrdatei \xE2\x80\x9E" + SperrDatei_ + "\xE2\x80\x9C der Highscoreliste"
                                       : "Die Highscoreliste \xE2\x80\x9E" + HighscoreDatei_ + "\xE2\x80\x9C";
    fenster_.MsgBox(wer + " konnte nicht " + was + " werden: " + fehlertext(fehler) + ".\r\n\r\n" + folge, Knöpfe::OK,
                    Symbol::Ausrufezeichen, "Highscoreliste");
}

// Waits a few seconds at most for the lock. Where the file system cannot
// lock at all (some network file systems), a single copy goes on without it.
Fehlernummer modQuambel::sperren(std::unique_ptr<Sperre>& sperre) {
    const Fehlernummer f = sperrenMitGeduld(dateien_, fenster_, SperrDatei_, true, SperrGeduld, sperre);
    return f == ENOLCK ? 0 : f;
}

// Reads the list; a reading error is returned, not told: the caller tells it
// once it has let go of the lock.
Fehlernummer modQuambel::lesen(std::vector<std::string>& zeilen) {
    zeilen.clear();
    sicherstellen();
    switch (dateien_.art(HighscoreDatei_)) {
    case Dateiart::Fehlt:
    case Dateiart::Ordner:
    case Dateiart::Anderes: return 0;
    case Dateiart::Unbekannt:
    case Dateiart::Datei: break;
    }
    std::string inhalt;
    bool mehr = false;
    if (Fehlernummer f = dateien_.lesen(HighscoreDatei_, DATEI_HÖCHSTENS, inhalt, mehr)) return f;
    gemeldet_ = 0;
    zeilen = ZeilenZerlegen(inhalt, mehr);
    return 0;
}

// The same reading error is told once, not at every look at the list (the
// end of a game looks twice); it is told again after the list was readable.
void modQuambel::leseFehlerMelden(Fehlernummer fehler, const std::string& folge) {
    if (fehler == gemeldet_) return;
    gemeldet_ = fehler;
    melden("gelesen", fehler, folge);
}

// An unreadable list may well have room: the answer is yes, and the insertion
// that follows tells the player why the result could not be entered.
bool modQuambel::IstHighscore(int16_t Punkte) {
    std::vector<std::string> zeilen;
    if (lesen(zeilen) != 0) return true;
    int anzahl = 0;
    for (const auto& z : zeilen) {
        if (!istEintrag(z)) continue;
        if (punkteVon(z) <= Punkte) return true;
        ++anzahl;
    }
    return anzahl < 10;
}

// Read, insert and write under the lock: two copies ending a game at the
// same moment take turns, and neither writes over what the other entered.
// The lock is let go before any message, which may stay open for long.
int16_t modQuambel::HighscoreEintragen(const std::string& Name, int16_t Punkte) {
    sicherstellen();
    Einfügung e;
    Fehlernummer gelesen = 0, gespeichert = 0, gesperrt = 0;
    {
        std::unique_ptr<Sperre> sperre;
        if (ordnerFehler_) ordnerFehler_ = dateien_.ordnerAnlegen(ordner_); // there by now?
        gespeichert = ordnerFehler_;
        if (!gespeichert) gespeichert = gesperrt = sperren(sperre);
        std::vector<std::string> zeilen;
        // A list that cannot be read is not replaced: its entries may well be
        // fine, and the next start may read them again.
        if (!gespeichert) gelesen = lesen(zeilen);
        e = Einfügen(zeilen, Eintragstext(Punkte, nachCp1252(Name)), Punkte);
        if (!gespeichert && !gelesen) gespeichert = speichern(ListeSchreiben(e.klartexte));
    }
    if (gelesen)
        leseFehlerMelden(gelesen, "Ihr Ergebnis wurde nicht eingetragen; die Datei bleibt, wie sie ist.");
    else if (gespeichert)
        // A lock held past the wait is told as the list being held.
        melden(gesperrt && gesperrt != EWOULDBLOCK ? "geöffnet" : "gespeichert", gespeichert,
               "Ihr Ergebnis wurde nicht eingetragen; die bisherige Liste bleibt erhalten.");
    return gelesen || gespeichert ? NICHT_GESPEICHERT : e.platz;
}

// The new list goes to a file of its own, is flushed to the disk, and then
// takes the place of the old list in one rename, whose new folder entry is
// flushed as well. Until the rename the old list is untouched; after it the
// new list is complete. A crash, a kill or a full disk at any point leaves
// one of the two. Only called with the lock held.
Fehlernummer modQuambel::speichern(const std::string& inhalt) {
    const std::string neu = neuePräfix_ + "." + dateien_.kennung() + "." + std::to_string(++schreibvorgänge_);
    const Fehlernummer f = ersetzen(dateien_, HighscoreDatei_, neu, inhalt, {.privat = false, .dauerhaft = true});
    if (f != 0) return f;
    // Some file systems cannot flush a folder; the rename has happened and the
    // new list is in place either way.
    dateien_.ordnerSichern(ordner_);
    return 0;
}

std::vector<std::string> modQuambel::ZeilenLesen() {
    std::vector<std::string> zeilen;
    if (Fehlernummer f = lesen(zeilen))
        leseFehlerMelden(f, "Das Spiel geht ohne sie weiter; die Datei bleibt, wie sie ist.");
    return zeilen;
}

void modQuambel::ListeLöschen() {
    sicherstellen();
    Fehlernummer f = 0, gesperrt = 0;
    {
        std::unique_ptr<Sperre> sperre; // not while another copy enters a score
        if (dateien_.art(HighscoreDatei_) != Dateiart::Datei) return;
        f = gesperrt = sperren(sperre);
        if (!f) f = dateien_.entfernen(HighscoreDatei_);
        if (!f) dateien_.ordnerSichern(ordner_);
    }
    if (f) melden(gesperrt && gesperrt != EWOULDBLOCK ? "geöffnet" : "gelöscht", f, "Die Liste bleibt, wie sie ist.");
}

} // namespace qmb

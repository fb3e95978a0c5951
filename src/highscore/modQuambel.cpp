#include "highscore/modQuambel.h"

#include "platform/Codepage.h"

namespace qmb {
namespace {

// A new list is written under a name of its own beside the list: the prefix
// and then the copy's name and a count, so that two running copies never
// write into the same file. The old fixed name is the prefix alone.
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
    SperrDatei_ = pfadVerbinden(ordner_, "Highscores.lock");
    neuePräfix_ = pfadVerbinden(ordner_, NEU_PRÄFIX);

    // A new list is only ever written while its writer holds the lock, and
    // counts from the moment it is renamed into place. So when the lock is
    // free, every new list left in the folder was left by a copy that died
    // while writing: unfinished, and the list beside it is the valid one.
    // While another copy writes, its new list is none of our business.
    std::unique_ptr<Sperre> sperre;
    std::vector<std::string> namen;
    if (dateien_.sperren(SperrDatei_, true, false, sperre) == 0 && dateien_.auflisten(ordner_, namen) == 0)
        for (const auto& name : namen)
            if (name.compare(0, NEU_PRÄFIX.size(), NEU_PRÄFIX) == 0) dateien_.entfernen(pfadVerbinden(ordner_, name));

    // A list beside the read-only program comes along once. If that fails the
    // player starts a new list; the old one stays where it was.
    const std::string daneben = pfadVerbinden(app, "Highscores.qmb");
    if (sperre && ordner_ != app && dateien_.art(HighscoreDatei_) == Dateiart::Fehlt &&
        dateien_.art(daneben) == Dateiart::Datei) {
        std::string inhalt;
        bool mehr = false;
        if (dateien_.lesen(daneben, DATEI_HÖCHSTENS, inhalt, mehr) == 0 && !mehr) speichern(inhalt);
    }
}

void modQuambel::sicherstellen() {
    if (HighscoreDatei_.empty()) HighscoreDateiSetzen();
}

void modQuambel::melden(const std::string& was, Fehlernummer fehler, const std::string& folge) {
    fenster_.MsgBox("Die Highscoreliste \xE2\x80\x9E" + HighscoreDatei_ + "\xE2\x80\x9C konnte nicht " + was +
                        " werden (" + fehlertext(fehler) + ").\r\n\r\n" + folge,
                    Knöpfe::OK, Symbol::Ausrufezeichen, "Highscoreliste");
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
    Fehlernummer gelesen = 0, gespeichert = 0;
    {
        std::unique_ptr<Sperre> sperre;
        if (ordnerFehler_) ordnerFehler_ = dateien_.ordnerAnlegen(ordner_); // there by now?
        gespeichert = ordnerFehler_;
        if (!gespeichert) gespeichert = dateien_.sperren(SperrDatei_, true, true, sperre);
        std::vector<std::string> zeilen;
        // A list that cannot be read is not replaced: its entries may well be
        // fine, and the next start may read them again.
        if (!gespeichert) gelesen = lesen(zeilen);
        e = Einfügen(zeilen, Eintragstext(Punkte, nachCp1252(Name)), Punkte);
        if (!gespeichert && !gelesen) gespeichert = speichern(ListeSchreiben(e.klartexte));
    }
    if (gelesen) leseFehlerMelden(gelesen, "Ihr Ergebnis wurde nicht eingetragen; die Datei bleibt, wie sie ist.");
    else if (gespeichert) melden("gespeichert", gespeichert, "Ihr Ergebnis wurde nicht eingetragen; die bisherige Liste bleibt erhalten.");
    return gelesen || gespeichert ? NICHT_GESPEICHERT : e.platz;
}

// The new list goes to a file of its own, is flushed to the disk, and then
// takes the place of the old list in one rename, whose new folder entry is
// flushed as well. Until the rename the old list is untouched; after it the
// new list is complete. A crash, a kill or a full disk at any point leaves
// one of the two. Only called with the lock held.
Fehlernummer modQuambel::speichern(const std::string& inhalt) {
    const std::string neu = neuePräfix_ + "." + dateien_.kennung() + "." + std::to_string(++schreibvorgänge_);
    std::unique_ptr<Schreibdatei> datei;
    Fehlernummer f = dateien_.anlegen(neu, datei, false);
    if (f == EEXIST) { // left by a dead copy whose process id we now have
        dateien_.entfernen(neu);
        f = dateien_.anlegen(neu, datei, false);
    }
    if (f == 0) {
        f = datei->schreiben(inhalt);
        if (f == 0) f = datei->sichern();
        const Fehlernummer beimSchließen = datei->schließen();
        if (f == 0) f = beimSchließen;
        if (f == 0) f = dateien_.umbenennen(neu, HighscoreDatei_);
        if (f != 0) dateien_.entfernen(neu);
    }
    if (f != 0) return f;
    // Some file systems cannot flush a folder; the rename has happened and the
    // new list is in place either way.
    dateien_.ordnerSichern(ordner_);
    return 0;
}

std::vector<std::string> modQuambel::ZeilenLesen() {
    std::vector<std::string> zeilen;
    if (Fehlernummer f = lesen(zeilen)) leseFehlerMelden(f, "Das Spiel geht ohne sie weiter; die Datei bleibt, wie sie ist.");
    return zeilen;
}

void modQuambel::ListeLöschen() {
    sicherstellen();
    Fehlernummer f = 0;
    {
        std::unique_ptr<Sperre> sperre; // not while another copy enters a score
        if (dateien_.art(HighscoreDatei_) != Dateiart::Datei) return;
        f = dateien_.sperren(SperrDatei_, true, true, sperre);
        if (!f) f = dateien_.entfernen(HighscoreDatei_);
        if (!f) dateien_.ordnerSichern(ordner_);
    }
    if (f) melden("gelöscht", f, "Die Liste bleibt, wie sie ist.");
}

} // namespace qmb

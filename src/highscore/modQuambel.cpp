#include "highscore/modQuambel.h"

#include "platform/Codepage.h"

namespace qmb {
namespace {

// One separator between folder and name, whatever the folder ends with.
std::string verbinden(const std::string& ordner, const char* name) {
    if (ordner.empty()) return name;
    return ordner.back() == '/' ? ordner + name : ordner + '/' + name;
}

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
    if (programm_.Installiert() || !dateien_.beschreibbar(app)) {
        const std::string benutzer = programm_.Benutzerdatenordner();
        if (!benutzer.empty() && dateien_.ordnerAnlegen(benutzer) == 0) ordner_ = benutzer;
    }
    HighscoreDatei_ = verbinden(ordner_, "Highscores.qmb");
    CacheDatei_ = verbinden(ordner_, "Cache.qmb");
    // Cache.qmb is only ever a new list that was not yet put in the old one's
    // place: the rename is the moment a new list counts. Left over, it is
    // unfinished (or at least not known to be complete) and the list beside
    // it is the valid one.
    if (dateien_.art(CacheDatei_) != Dateiart::Fehlt) dateien_.entfernen(CacheDatei_);

    // A list beside the read-only program comes along once. If that fails the
    // player starts a new list; the old one stays where it was.
    const std::string daneben = verbinden(app, "Highscores.qmb");
    if (ordner_ != app && dateien_.art(HighscoreDatei_) == Dateiart::Fehlt &&
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
                    Knoepfe::OK, Symbol::Ausrufezeichen, "Highscoreliste");
}

modQuambel::Lesestand modQuambel::lesen(std::vector<std::string>& zeilen) {
    zeilen.clear();
    sicherstellen();
    switch (dateien_.art(HighscoreDatei_)) {
    case Dateiart::Fehlt:
    case Dateiart::Ordner:
    case Dateiart::Anderes: return Lesestand::KeineListe;
    case Dateiart::Unbekannt:
    case Dateiart::Datei: break;
    }
    std::string inhalt;
    bool mehr = false;
    if (Fehlernummer f = dateien_.lesen(HighscoreDatei_, DATEI_HÖCHSTENS, inhalt, mehr)) {
        melden("gelesen", f, "Das Spiel geht ohne sie weiter; die Datei bleibt, wie sie ist.");
        return Lesestand::Fehler;
    }
    zeilen = ZeilenZerlegen(inhalt, mehr);
    return Lesestand::Gelesen;
}

bool modQuambel::IstHighscore(int16_t Punkte) {
    std::vector<std::string> zeilen;
    switch (lesen(zeilen)) {
    case Lesestand::KeineListe: return true;
    case Lesestand::Fehler: return false;
    case Lesestand::Gelesen: break;
    }
    int anzahl = 0;
    for (const auto& z : zeilen) {
        if (!istEintrag(z)) continue;
        if (punkteVon(z) <= Punkte) return true;
        ++anzahl;
    }
    return anzahl < 10;
}

int16_t modQuambel::HighscoreEintragen(const std::string& Name, int16_t Punkte) {
    std::vector<std::string> zeilen;
    // A list that cannot be read is not replaced: its entries may well be
    // fine, and the next start may read them again.
    if (lesen(zeilen) == Lesestand::Fehler) return 0;
    const Einfügung e = Einfügen(zeilen, Eintragstext(Punkte, nachCp1252(Name)), Punkte);
    if (Fehlernummer f = speichern(ListeSchreiben(e.klartexte))) {
        melden("gespeichert", f, "Der neue Eintrag fehlt darin; die bisherige Liste bleibt erhalten.");
        return 0;
    }
    return e.platz;
}

// The new list goes to Cache.qmb, is flushed to the disk, and then takes the
// place of the old list in one rename, whose new folder entry is flushed as
// well. Until the rename the old list is untouched; after it the new list is
// complete. A crash, a kill or a full disk at any point leaves one of the two.
Fehlernummer modQuambel::speichern(const std::string& inhalt) {
    std::unique_ptr<Schreibdatei> datei;
    Fehlernummer f = dateien_.anlegen(CacheDatei_, datei);
    if (f == 0) {
        f = datei->schreiben(inhalt);
        if (f == 0) f = datei->sichern();
        const Fehlernummer beimSchliessen = datei->schliessen();
        if (f == 0) f = beimSchliessen;
        if (f == 0) f = dateien_.umbenennen(CacheDatei_, HighscoreDatei_);
        if (f != 0) dateien_.entfernen(CacheDatei_);
    }
    if (f != 0) return f;
    // Some file systems cannot flush a folder; the rename has happened and the
    // new list is in place either way.
    dateien_.ordnerSichern(ordner_);
    return 0;
}

std::vector<std::string> modQuambel::ZeilenLesen() {
    std::vector<std::string> zeilen;
    lesen(zeilen);
    return zeilen;
}

void modQuambel::ListeLöschen() {
    sicherstellen();
    if (dateien_.art(HighscoreDatei_) != Dateiart::Datei) return;
    if (Fehlernummer f = dateien_.entfernen(HighscoreDatei_))
        melden("gelöscht", f, "Die Liste bleibt, wie sie ist.");
    else
        dateien_.ordnerSichern(ordner_);
}

} // namespace qmb

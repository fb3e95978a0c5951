// The six pieces are carried inside the program; the player wants real files,
// so they are written into a folder of their own at start-up and removed at
// shut-down. The folder lies in the user's private temporary folder and must
// belong to this user alone: in a temporary folder shared by all users, a
// folder planted under our fixed name (or a link in its place) could make us
// write elsewhere or block the music.
#include <cerrno>
#include <cstring>

#include "platform/Laufzeitfehler.h"
#include "sound/modSound.h"

namespace qmb {

namespace {

// Every running copy of the program holds a shared lock on this file in the
// folder for as long as it runs; the copy that gets it exclusively at its
// end is the last one and takes the folder away.
constexpr const char* BELEGT = ".belegt";

Laufzeitfehler fehlerAus(int e, const std::string& pfad) {
    switch (e) {
    case EACCES:
    case EPERM:
        return Laufzeitfehler(FEHLER_ERLAUBNIS, "Zugriff verweigert: \"" + pfad + "\" ");
    case ENOENT:
    case ENOTDIR:
        return Laufzeitfehler(FEHLER_PFAD, "Pfad nicht gefunden: \"" + pfad + "\" ");
    default:
        return Laufzeitfehler(FEHLER_PFAD_DATEI, "Fehler beim Zugriff auf \"" + pfad + "\": " +
                                                     std::strerror(e) + " ");
    }
}

} // namespace

std::string modSound::TempPfadHolen() {
    std::string pfad = programm_.TempOrdner();
    if (pfad.empty())
        throw Laufzeitfehler(FEHLER_PFAD, "Es ist kein temporärer Ordner zu finden ");
    return ohneTrenner(pfad);
}

void modSound::SoundDateinamenSetzen() {
    for (int i = 1; i <= 4; ++i)
        Lieder[static_cast<size_t>(i)] = SoundOrdner + "game" + std::to_string(i) + ".qmb";
    VerlorenDatei = SoundOrdner + "lost" + ".qmb";
    GewonnenDatei = SoundOrdner + "won" + ".qmb";
}

void modSound::ordnerPrüfen(const std::string& ordner, Fehlernummer angelegt) {
    const std::string pfad = ohneTrenner(ordner);
    switch (Fehlernummer f = dateien_.eigenerOrdner(pfad)) {
    case 0: break;
    case ELOOP:
        throw Laufzeitfehler(FEHLER_ERLAUBNIS,
                             "Der Musikordner \"" + pfad + "\" ist ein symbolischer Verweis ");
    case ENOTDIR: throw Laufzeitfehler(FEHLER_PFAD_DATEI, "\"" + pfad + "\" ist kein Ordner ");
    case EPERM:
        throw Laufzeitfehler(FEHLER_ERLAUBNIS,
                             "Der Musikordner \"" + pfad + "\" gehört einem anderen Benutzer ");
    default: throw fehlerAus(f == ENOENT && angelegt ? angelegt : f, pfad); // why it could not be made
    }
    ordnerGeprüft_ = true;
}

void modSound::SoundInitialisieren() {
    bool wiederholt = false;
    for (;;) {
        try {
            MusikAn = true;
            // Every file of the program is closed right after use, so there
            // is nothing open to close here.
            ordnerGeprüft_ = false;
            belegt_.reset();
            TempPfad = TempPfadHolen();
            SoundOrdner = pfadVerbinden(TempPfad, "QmbSound") + TRENNER;
            ordnerPrüfen(SoundOrdner, dateien_.ordnerAnlegen(ohneTrenner(SoundOrdner)));
            // Another copy may be running with this folder and playing from
            // it: it stays until the last copy ends.
            if (Fehlernummer f = dateien_.sperren(SoundOrdner + BELEGT, false, true, belegt_))
                throw fehlerAus(f, SoundOrdner + BELEGT);
            SoundDateinamenSetzen();
            SoundDateienSchreiben();
            return;
        } catch (const Laufzeitfehler& fehler) {
            if (!wiederholt) {
                SoundBeenden();
                wiederholt = true;
                continue;
            }
            fenster_.MsgBox("Beim Initialisieren des SoundModuls ist ein Fehler aufgetreten:\r\n" +
                                fehler.Beschreibung() + "(" + std::to_string(fehler.Nummer()) +
                                ").\r\n\r\nEs kann Störungen beim Sound geben.",
                            Knöpfe::OK, Symbol::Stopp, "Fehler beim Laden des Soundmoduls.");
            return;
        }
    }
}

void modSound::SoundDateienSchreiben() {
    RessourceSpeichern(103, "CUSTOM", Lieder[1]);
    RessourceSpeichern(104, "CUSTOM", Lieder[2]);
    RessourceSpeichern(105, "CUSTOM", Lieder[3]);
    RessourceSpeichern(106, "CUSTOM", Lieder[4]);
    fenster_.DoEvents();
    RessourceSpeichern(101, "CUSTOM", VerlorenDatei);
    RessourceSpeichern(102, "CUSTOM", GewonnenDatei);
}

void modSound::RessourceSpeichern(int ID, const std::string& Typ, const std::string& Datei) {
    const auto daten = programm_.LoadResData(ID, Typ);
    if (daten.empty())
        throw Laufzeitfehler(FEHLER_RESSOURCE,
                             "Ressource mit Bezeichner " + std::to_string(ID) + " nicht gefunden ");
    // Written beside and renamed into place: another copy may be playing
    // this piece right now, and keeps the old file or gets the new one, never
    // a half-written one. A link in its place is replaced, not written through.
    const std::string neu = Datei + "." + dateien_.kennung();
    dateien_.entfernen(neu); // left by a dead copy whose process id we now have
    std::unique_ptr<Schreibdatei> datei;
    Fehlernummer f = dateien_.anlegen(neu, datei, true);
    if (f == 0) {
        f = datei->schreiben(std::string_view(reinterpret_cast<const char*>(daten.data()), daten.size()));
        const Fehlernummer beimSchließen = datei->schließen();
        if (f == 0) f = beimSchließen;
        if (f == 0) f = dateien_.umbenennen(neu, Datei);
        if (f != 0) dateien_.entfernen(neu);
    }
    if (f != 0) throw fehlerAus(f, Datei);
}

void modSound::DateiLöschen(const std::string& Pfad) {
    // Nothing there, or a folder of that name (never ours to remove): nothing to do.
    const Fehlernummer f = dateien_.entfernen(Pfad);
    if (f != 0 && f != ENOENT && f != EISDIR) throw fehlerAus(f, Pfad);
}

void modSound::SoundBeenden() {
    MciSchließen("qmbscore");
    MciSchließen("qmbgame");
    // Only a folder that passed the check is ours to clean, and only when no
    // other copy holds it.
    if (!ordnerGeprüft_) return;
    belegt_.reset();
    std::unique_ptr<Sperre> allein;
    if (dateien_.sperren(SoundOrdner + BELEGT, true, false, allein) != 0) return;
    for (const std::string* pfad : {&Lieder[1], &Lieder[2], &Lieder[3], &Lieder[4],
                                    &VerlorenDatei, &GewonnenDatei}) {
        try {
            DateiLöschen(*pfad);
        } catch (const Laufzeitfehler&) {
            // Clean-up goes on whatever fails.
        }
    }
    dateien_.entfernen(SoundOrdner + BELEGT);
    dateien_.ordnerEntfernen(SoundOrdner); // fails quietly when not empty
}

} // namespace qmb

// The six pieces are carried inside the program; the player wants real files,
// so they are written into a folder of their own at start-up and removed at
// shut-down. The folder lies in the user's private temporary folder and must
// belong to this user alone: in a temporary folder shared by all users, a
// folder planted under our fixed name (or a link in its place) could make us
// write elsewhere or block the music.
#include <cerrno>

#include "platform/Laufzeitfehler.h"
#include "sound/modSound.h"

namespace qmb {

namespace {

// Every running copy of the program holds a shared lock on this file in the
// folder for as long as it runs; the copy that gets it exclusively at its
// end is the last one and takes the folder away.
constexpr const char* BELEGT = ".belegt";

// The six pieces' names; a name followed by a dot and a copy's name is a
// piece that copy was writing.
constexpr const char* STÜCKE[] = {"game1.qmb", "game2.qmb", "game3.qmb", "game4.qmb", "lost.qmb", "won.qmb"};

// What failed, with the system's reason in our words; the run-time number
// the message adds in brackets.
Laufzeitfehler fehlerAus(int e, const std::string& was) {
    const int nummer = e == EACCES || e == EPERM     ? FEHLER_ERLAUBNIS
                       : e == ENOENT || e == ENOTDIR ? FEHLER_PFAD
                                                     : FEHLER_PFAD_DATEI;
    return Laufzeitfehler(nummer, was + ": " + fehlertext(e) + " ");
}

} // namespace

std::string modSound::TempPfadHolen() {
    std::string pfad = programm_.TempOrdner();
    if (pfad.empty()) throw Laufzeitfehler(FEHLER_PFAD, "Es ist kein temporärer Ordner zu finden ");
    return ohneTrenner(pfad);
}

void modSound::SoundDateinamenSetzen() {
    for (int i = 1; i <= LIEDER; ++i)
        Lieder[static_cast<size_t>(i)] = SoundOrdner + "game" + std::to_string(i) + ".qmb";
    VerlorenDatei = SoundOrdner + "lost" + ".qmb";
    GewonnenDatei = SoundOrdner + "won" + ".qmb";
}

void modSound::ordnerPrüfen(const std::string& ordner, Fehlernummer angelegt) {
    const std::string pfad = ohneTrenner(ordner);
    switch (Fehlernummer f = dateien_.eigenerOrdner(pfad)) {
    case 0: break;
    case ELOOP:
        throw Laufzeitfehler(FEHLER_ERLAUBNIS, "Der Musikordner \"" + pfad + "\" ist ein symbolischer Verweis ");
    case ENOTDIR: throw Laufzeitfehler(FEHLER_PFAD_DATEI, "\"" + pfad + "\" ist kein Ordner ");
    case EPERM:
        throw Laufzeitfehler(FEHLER_ERLAUBNIS, "Der Musikordner \"" + pfad + "\" gehört einem anderen Benutzer ");
    default: // why it could not be made
        throw fehlerAus(f == ENOENT && angelegt ? angelegt : f,
                        "Der Musikordner \"" + pfad + "\" konnte nicht angelegt werden");
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
            // A temporary folder all users share gets a folder per user:
            // another user's would be refused, and the music lost.
            const std::string benutzer = programm_.TempOrdnerGeteilt() ? dateien_.benutzer() : std::string();
            SoundOrdner = pfadVerbinden(TempPfad, benutzer.empty() ? "QmbSound" : "QmbSound-" + benutzer) + TRENNER;
            ordnerPrüfen(SoundOrdner, dateien_.ordnerAnlegen(ohneTrenner(SoundOrdner)));
            // Another copy may be running with this folder and playing from
            // it: it stays until the last copy ends. That copy holds it
            // exclusively only for the moment of its clean-up; where the
            // file system cannot lock, a single copy goes on without.
            const Fehlernummer f = sperrenMitGeduld(dateien_, fenster_, SoundOrdner + BELEGT, false, 5000, belegt_);
            if (f != 0 && f != ENOLCK)
                throw fehlerAus(f, "Die Sperrdatei \"" + SoundOrdner + BELEGT +
                                       "\" des Musikordners ließ sich nicht öffnen");
            resteEntfernen(false);
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
    for (int i = 1; i <= LIEDER; ++i)
        RessourceSpeichern(RESSOURCE_LIED_1 + i - 1, "CUSTOM", Lieder[static_cast<size_t>(i)]);
    fenster_.DoEvents();
    RessourceSpeichern(RESSOURCE_VERLOREN, "CUSTOM", VerlorenDatei);
    RessourceSpeichern(RESSOURCE_GEWONNEN, "CUSTOM", GewonnenDatei);
}

void modSound::RessourceSpeichern(int ID, const std::string& Typ, const std::string& Datei) {
    const auto daten = programm_.LoadResData(ID, Typ);
    if (daten.empty())
        throw Laufzeitfehler(FEHLER_RESSOURCE, "Ressource mit Bezeichner " + std::to_string(ID) + " nicht gefunden ");
    // Written beside and renamed into place: another copy may be playing
    // this piece right now, and keeps the old file or gets the new one.
    const Fehlernummer f = ersetzen(dateien_, Datei, Datei + "." + dateien_.kennung(),
                                    std::string_view(reinterpret_cast<const char*>(daten.data()), daten.size()),
                                    {.privat = true, .dauerhaft = false});
    if (f != 0) throw fehlerAus(f, "Die Musikdatei \"" + Datei + "\" konnte nicht geschrieben werden");
}

void modSound::DateiLöschen(const std::string& Pfad) {
    // Nothing there, or a folder of that name (never ours to remove): nothing to do.
    const Fehlernummer f = dateien_.entfernen(Pfad);
    if (f != 0 && f != ENOENT && f != EISDIR)
        throw fehlerAus(f, "Die Datei \"" + Pfad + "\" konnte nicht gelöscht werden");
}

void modSound::SoundBeenden() {
    MciSchließen(ALIAS_JINGLE);
    MciSchließen(ALIAS_MUSIK);
    MusikordnerRäumen();
}

void modSound::MusikordnerRäumen() {
    // Only a folder that passed the check is ours to clean, once, and only
    // when no other copy holds it.
    if (!ordnerGeprüft_) return;
    ordnerGeprüft_ = false;
    belegt_.reset();
    std::unique_ptr<Sperre> allein;
    if (const Fehlernummer f = dateien_.sperren(SoundOrdner + BELEGT, true, allein); f != 0 && f != ENOLCK) return;
    for (const std::string* pfad : {&Lieder[1], &Lieder[2], &Lieder[3], &Lieder[4], &VerlorenDatei, &GewonnenDatei}) {
        try {
            DateiLöschen(*pfad);
        } catch (const Laufzeitfehler&) {
            // Clean-up goes on whatever fails.
        }
    }
    resteEntfernen(true);
    dateien_.entfernen(SoundOrdner + BELEGT);
    dateien_.ordnerEntfernen(SoundOrdner); // fails quietly when not empty
}

// What copies that died while writing a piece left of it ("game1.qmb.<copy>").
// At the start only those of copies that are gone: another copy may be
// writing its own right now. At the end (`alle`), with no other copy there,
// all of them.
void modSound::resteEntfernen(bool alle) {
    std::vector<std::string> namen;
    dateien_.auflisten(ohneTrenner(SoundOrdner), namen);
    for (const auto& name : namen)
        for (const std::string stück : STÜCKE)
            if (name.size() > stück.size() + 1 && name.compare(0, stück.size() + 1, stück + ".") == 0 &&
                (alle || !dateien_.läuft(name.substr(stück.size() + 1))))
                dateien_.entfernen(SoundOrdner + name); // errors ignored: the clean-up goes on
}

} // namespace qmb

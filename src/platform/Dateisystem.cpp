// The German words for the file system's errors, the same on every system
// (the Windows layer turns its own error codes into these numbers first),
// the bounded wait for a lock, and what the systems' layers share.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>

#include "platform/Dateisystem.h"
#include "platform/Fensterdienste.h"

namespace qmb {

std::string fehlertext(Fehlernummer nummer) {
    switch (nummer) {
    case EACCES: return "Der Zugriff wurde verweigert";
    // What EPERM means to a file or folder: it is someone else's (a folder
    // with the sticky bit, a foreign owner our own checks refuse).
    case EPERM: return "Die Datei oder der Ordner gehört einem anderen Benutzer";
    case EROFS: return "Der Datenträger ist schreibgeschützt";
    case ENOSPC: return "Auf dem Datenträger ist kein Platz mehr";
#ifdef EDQUOT
    case EDQUOT: return "Ihr Speicherplatz auf diesem Datenträger ist aufgebraucht";
#endif
    case EFBIG: return "Die Datei wäre größer, als erlaubt ist";
    case EIO: return "Beim Lesen oder Schreiben des Datenträgers ging etwas schief";
    case ENOENT: return "Die Datei oder der Ordner ist nicht da";
    case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
    case EISDIR: return "An ihrer Stelle steht ein Ordner";
    case EINVAL: return "An ihrer Stelle steht keine gewöhnliche Datei";
    case ELOOP: return "An ihrer Stelle steht ein symbolischer Verweis";
    case ENAMETOOLONG: return "Der Pfad ist zu lang";
    case EEXIST: return "Unter dem Namen liegt schon etwas";
    case ENOTEMPTY: return "Der Ordner ist nicht leer";
    case EXDEV: return "Datei und Ziel liegen auf verschiedenen Datenträgern";
    case EMFILE:
    case ENFILE: return "Es sind zu viele Dateien offen";
    case ENOMEM: return "Der Arbeitsspeicher reicht nicht";
    case EBUSY: return "Die Datei ist in Benutzung";
    case EWOULDBLOCK: return "Ein anderes laufendes Quambel oder ein anderes Programm hält sie gesperrt";
    case ENOLCK: return "Das Dateisystem kann keine Dateien sperren";
#ifdef ESTALE
    case ESTALE: return "Die Verbindung zum Netzlaufwerk ist veraltet";
#endif
#ifdef ETIMEDOUT
    case ETIMEDOUT: return "Das Netzlaufwerk antwortet nicht";
#endif
    case ENOSYS: return "Das Dateisystem kann das nicht";
    default: return "Das System meldet einen Fehler, den das Spiel nicht kennt (Nummer " + std::to_string(nummer) + ")";
    }
}

// The lock is polled: flock and LockFileEx can wait only without end, and a
// copy that hangs, or another program holding the file, must never freeze
// the game. Between the tries the window paints and an end request (a
// signal) is heard, but the player's input waits: the game is in the middle
// of its end then.
Fehlernummer sperrenMitGeduld(Dateisystem& dateien, Fensterdienste& fenster, const std::string& pfad, bool exklusiv,
                              int geduld, std::unique_ptr<Sperre>& sperre) {
    const auto ende = std::chrono::steady_clock::now() + std::chrono::milliseconds(geduld);
    for (;;) {
        const Fehlernummer f = dateien.sperren(pfad, exklusiv, sperre);
        if (f != EWOULDBLOCK || std::chrono::steady_clock::now() >= ende) return f;
        fenster.Warten();
    }
}

Fehlernummer Dateisystem::bisZurGrenzeLesen(std::size_t grenze, const Lesestück& stück, std::string& inhalt,
                                            bool& mehr) {
    inhalt.resize(grenze + 1);
    std::size_t gelesen = 0;
    Fehlernummer fehler = 0;
    while (gelesen < inhalt.size()) {
        std::size_t n = 0;
        fehler = stück(inhalt.data() + gelesen, inhalt.size() - gelesen, n);
        if (fehler || n == 0) break;
        gelesen += n;
    }
    mehr = gelesen > grenze;
    inhalt.resize(fehler ? 0 : std::min(gelesen, grenze));
    return fehler;
}

std::string Dateisystem::probenPfad(const std::string& ordner) {
    static std::atomic<unsigned> zähler{0};
    return pfadVerbinden(ordner.empty() ? std::string(".") : ordner, ".Highscores-Probe-") + kennung() + "-" +
           std::to_string(zähler++);
}

Fehlernummer ersetzen(Dateisystem& dateien, const std::string& ziel, const std::string& beiseite,
                      std::string_view inhalt, Ersetzung wie) {
    return ersetzen(
        dateien, ziel, beiseite, [inhalt](Schreibdatei& datei) { return datei.schreiben(inhalt); }, wie);
}

Fehlernummer ersetzen(Dateisystem& dateien, const std::string& ziel, const std::string& beiseite,
                      const Dateischreiber& schreiben, Ersetzung wie) {
    std::unique_ptr<Schreibdatei> datei;
    Fehlernummer f = dateien.anlegen(beiseite, datei, wie.privat);
    if (f == EEXIST) { // left by a dead copy whose process id we now have
        dateien.entfernen(beiseite);
        f = dateien.anlegen(beiseite, datei, wie.privat);
    }
    if (f != 0) return f;
    f = schreiben(*datei);
    if (f == 0 && wie.dauerhaft) f = datei->sichern();
    const Fehlernummer beimSchließen = datei->schließen();
    if (f == 0) f = beimSchließen;
    if (f == 0) f = dateien.umbenennen(beiseite, ziel);
    if (f != 0) dateien.entfernen(beiseite);
    return f;
}

} // namespace qmb

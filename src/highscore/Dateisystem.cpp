// The German words for the file system's errors, the same on every system.
#include <cerrno>

#include "highscore/Dateisystem.h"

namespace qmb {

std::string fehlertext(Fehlernummer nummer) {
    switch (nummer) {
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case EROFS: return "der Datenträger ist schreibgeschützt";
    case ENOSPC: return "der Datenträger ist voll";
#ifdef EDQUOT
    case EDQUOT: return "das Speicherkontingent ist erschöpft";
#endif
    case EIO: return "Ein-/Ausgabefehler";
    case ENOENT: return "Datei oder Ordner nicht gefunden";
    case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
    case EISDIR: return "an ihrer Stelle steht ein Ordner";
    case EINVAL: return "keine gewöhnliche Datei";
    case ELOOP: return "an ihrer Stelle steht eine Verknüpfung";
    case ENAMETOOLONG: return "der Pfad ist zu lang";
    case EMFILE:
    case ENFILE: return "zu viele offene Dateien";
    case EBUSY: return "die Datei ist in Benutzung";
    default: return "Fehler " + std::to_string(nummer);
    }
}

} // namespace qmb

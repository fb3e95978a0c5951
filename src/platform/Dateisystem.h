#pragma once
// The few file operations the high-score list and the music files need,
// behind a port: one implementation per system (POSIX calls, or the wide
// Win32 calls on Windows).
// The tests use a file system in memory that forgets what was never flushed
// and can fail or stop the program at any step.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qmb {

// 0 for success, else an errno value (ENOENT, EACCES, ENOSPC, ...).
using Fehlernummer = int;

// `Unbekannt`: the name could not be looked up (EIO, EACCES on the way).
// That is not "absent": a list we cannot see must never be overwritten.
enum class Dateiart { Fehlt, Datei, Ordner, Anderes, Unbekannt };

class Schreibdatei {
public:
    virtual ~Schreibdatei() = default;
    virtual Fehlernummer schreiben(std::string_view daten) = 0; // all of it, or an error
    virtual Fehlernummer sichern() = 0;                         // onto the disk (fsync)
    virtual Fehlernummer schließen() = 0;
};

// A lock between running copies of the program, held until destroyed. The
// system lets go of it too when its process ends, however it ends.
class Sperre {
public:
    virtual ~Sperre() = default;
};

class Dateisystem {
public:
    virtual ~Dateisystem() = default;
    virtual Dateiart art(const std::string& pfad) = 0;
    // The first `grenze` bytes at most; `mehr` tells whether the file goes on.
    // Only normal files are read (a pipe or a device would block or never end).
    virtual Fehlernummer lesen(const std::string& pfad, std::size_t grenze, std::string& inhalt, bool& mehr) = 0;
    // Creates a new file for writing; EEXIST when the name is taken. Never
    // follows a link. `privat`: for this user's eyes only.
    virtual Fehlernummer anlegen(const std::string& pfad, std::unique_ptr<Schreibdatei>& datei, bool privat) = 0;
    // Puts `von` in the place of `nach` in one step.
    virtual Fehlernummer umbenennen(const std::string& von, const std::string& nach) = 0;
    virtual Fehlernummer entfernen(const std::string& pfad) = 0;
    // Makes the folder's entries (new names, renames) durable.
    virtual Fehlernummer ordnerSichern(const std::string& ordner) = 0;
    // Creates the folder and any missing parents.
    virtual Fehlernummer ordnerAnlegen(const std::string& ordner) = 0;
    // True when a new file can be created in the folder; tried and removed again.
    virtual bool beschreibbar(const std::string& ordner) = 0;
    // The names of the folder's entries.
    virtual Fehlernummer auflisten(const std::string& ordner, std::vector<std::string>& namen) = 0;
    // Locks the file `pfad` (created when missing, for this user's eyes only)
    // against the other running copies: `exklusiv`, or shared with other
    // shared holders. Never waits: EWOULDBLOCK while another holds it (see
    // sperrenMitGeduld), ENOLCK where the file system cannot lock. Only a
    // plain file this user owns is taken: a link (ELOOP), a pipe or a device
    // (EINVAL), another user's file (EPERM) are refused, and opening them
    // can neither block nor lead elsewhere. A file that its holder removed
    // meanwhile is no lock any more: the one now under the name is taken.
    virtual Fehlernummer sperren(const std::string& pfad, bool exklusiv, std::unique_ptr<Sperre>& sperre) = 0;
    // A name for this running copy, different from every other copy running
    // at the same time (the process id).
    virtual std::string kennung() = 0;
    // True while the copy of that name (or any process of that id) runs on
    // this machine; files named after a copy that is gone are left-overs.
    virtual bool läuft(const std::string& kennung) = 0;
    // A name for the user the program runs as (the user id), for files of
    // several users side by side; empty where files have no owner to us.
    virtual std::string benutzer() = 0;
    // Makes sure the folder is ours alone: a real folder (ENOTDIR), not a link
    // (ELOOP), owned by this user (EPERM); others' access is taken away.
    virtual Fehlernummer eigenerOrdner(const std::string& ordner) = 0;
    // Removes the folder if it is empty.
    virtual Fehlernummer ordnerEntfernen(const std::string& ordner) = 0;

protected:
    // What every system's implementation does alike.
    //
    // Reads through `stück` up to `grenze` bytes, and one byte beyond, which
    // tells whether the file goes on. `stück` reads at most `höchstens`
    // bytes into `ziel` and says how many it read: none at the file's end.
    using Lesestück = std::function<Fehlernummer(char* ziel, std::size_t höchstens, std::size_t& gelesen)>;
    static Fehlernummer bisZurGrenzeLesen(std::size_t grenze, const Lesestück& stück, std::string& inhalt, bool& mehr);
    // A name in `ordner` for the file that tries whether the folder takes a
    // new file: of this copy, and new on every call.
    std::string probenPfad(const std::string& ordner);
};

// How ersetzen() writes.
struct Ersetzung {
    bool privat = false;    // for this user's eyes only
    bool dauerhaft = false; // flushed onto the disk before the rename
};

// Writes `inhalt` beside `ziel`, under the name `beiseite`, and renames it
// into place: whoever reads `ziel` meanwhile (another copy playing a piece,
// reading the list) gets the old file or the new one, never a half-written
// one, and a link in its place is replaced, not written through. A file
// found under `beiseite` (left by a dead copy whose process id we now have)
// is removed and the name taken anew; on any error nothing is left there. Where the new name must
// survive a crash, the caller flushes the folder afterwards (ordnerSichern).
Fehlernummer ersetzen(Dateisystem& dateien, const std::string& ziel, const std::string& beiseite,
                      std::string_view inhalt, Ersetzung wie);
// The same for a file written piece by piece: `schreiben` writes it all into
// the file beside, or returns why not (nothing is renamed then).
using Dateischreiber = std::function<Fehlernummer(Schreibdatei& datei)>;
Fehlernummer ersetzen(Dateisystem& dateien, const std::string& ziel, const std::string& beiseite,
                      const Dateischreiber& schreiben, Ersetzung wie);

// Folder and name with one separator between them, whatever the folder ends with.
std::string pfadVerbinden(const std::string& ordner, std::string_view name);
// True when the path ends with a separator ('/', or '\\' as Windows writes it).
bool endetMitTrenner(std::string_view pfad);
// The path without separators at its end; a root stays as it is.
std::string ohneTrenner(std::string pfad);
// The separator of this system.
extern const char TRENNER;

// The real file system of the machine: POSIX calls, or the wide Win32 calls
// on Windows.
Dateisystem& systemDateisystem();

// The error in German words, as a sentence without its full stop ("Auf dem
// Datenträger ist kein Platz mehr"), for messages to the player; a number
// only follows where our table has no words for it.
std::string fehlertext(Fehlernummer nummer);

class Fensterdienste;
// Takes the lock as sperren() does, waiting for it at most `geduld`
// milliseconds while the window goes on painting and the program's own
// events run (Fensterdienste::Warten); EWOULDBLOCK when that runs out.
Fehlernummer sperrenMitGeduld(Dateisystem& dateien, Fensterdienste& fenster, const std::string& pfad, bool exklusiv,
                              int geduld, std::unique_ptr<Sperre>& sperre);

} // namespace qmb

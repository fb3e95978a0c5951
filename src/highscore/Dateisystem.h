#pragma once
// The few file operations the high-score list needs, behind a port. The
// program uses POSIX; the tests use a file system in memory that forgets
// what was never flushed, and a wrapper that makes the k-th operation fail
// or stops the program there, so that every step of a rewrite can be
// interrupted on purpose.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

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
    virtual Fehlernummer schliessen() = 0;
};

class Dateisystem {
public:
    virtual ~Dateisystem() = default;
    virtual Dateiart art(const std::string& pfad) = 0;
    // The first `grenze` bytes at most; `mehr` tells whether the file goes on.
    // Only normal files are read (a pipe or a device would block or never end).
    virtual Fehlernummer lesen(const std::string& pfad, std::size_t grenze, std::string& inhalt,
                               bool& mehr) = 0;
    // Creates the file, or empties it, for writing. Never follows a link.
    virtual Fehlernummer anlegen(const std::string& pfad, std::unique_ptr<Schreibdatei>& datei) = 0;
    // Puts `von` in the place of `nach` in one step.
    virtual Fehlernummer umbenennen(const std::string& von, const std::string& nach) = 0;
    virtual Fehlernummer entfernen(const std::string& pfad) = 0;
    // Makes the folder's entries (new names, renames) durable.
    virtual Fehlernummer ordnerSichern(const std::string& ordner) = 0;
    // Creates the folder and any missing parents.
    virtual Fehlernummer ordnerAnlegen(const std::string& ordner) = 0;
    // True when a new file can be created in the folder; tried and removed again.
    virtual bool beschreibbar(const std::string& ordner) = 0;
};

// The real file system of the machine.
Dateisystem& posixDateisystem();

// A short German description of an error number, for messages to the player.
std::string fehlertext(Fehlernummer nummer);

} // namespace qmb

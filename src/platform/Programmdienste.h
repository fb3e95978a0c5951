#pragma once
// The program's own file: its folder and the resources carried inside it.
#include <cstdint>
#include <span>
#include <string>

namespace qmb {

class Programmdienste {
public:
    virtual ~Programmdienste() = default;
    // The folder the program was started from, without a trailing separator.
    virtual std::string AppPath() = 0;
    // A custom resource by type and number; an empty span when there is none.
    virtual std::span<const unsigned char> LoadResData(int id, const std::string& typ) = 0;
    // The per-user data folder (created on demand by the caller), for files
    // that cannot live beside an installed program.
    virtual std::string Benutzerdatenordner() = 0;
    // The per-user private temporary folder: $XDG_RUNTIME_DIR where set and
    // usable, else the system's temporary folder. No trailing separator.
    virtual std::string TempOrdner() = 0;
    // True when TempOrdner() is the system's temporary folder that every
    // user shares (no private one was found).
    virtual bool TempOrdnerGeteilt() { return false; }
    // True for a program installed into the system (a package under /usr):
    // its folder is shared by every user and owned by the package manager,
    // so nothing of a player's is written there, even when it is writable
    // (a root session).
    virtual bool Installiert() { return false; }
};

} // namespace qmb

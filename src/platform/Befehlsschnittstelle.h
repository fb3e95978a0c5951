#pragma once
// The multimedia command strings the music routines talk in: one command in,
// an answer text and an error number out, as the Windows multimedia command
// interface does it. The program has its own MIDI player behind this port;
// tests put a recorder here.
#include <string>

namespace qmb {

class Befehlsschnittstelle {
public:
    virtual ~Befehlsschnittstelle() = default;
    // Carries out one command. The answer (possibly empty) is written to
    // `antwort`; the result is 0 on success and a non-zero error number when
    // the command failed, in which case it has had no effect.
    virtual unsigned mciSendString(const std::string& befehl, std::string& antwort) = 0;
};

} // namespace qmb

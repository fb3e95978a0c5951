#pragma once
// Asking the operating system to open a document or web address with the
// program registered for it.
#include <cstdint>
#include <string>

namespace qmb {

class Shelldienste {
public:
    virtual ~Shelldienste() = default;
    // Carries out `Aktion` ("open") on `Datei`; `Fensterstatus` is the show
    // command for the opened window where the platform has one (3: maximized).
    // True when the request was accepted.
    virtual bool ShellAusführen(const std::string& Datei, int32_t Fensterstatus, const std::string& Aktion) = 0;
};

} // namespace qmb

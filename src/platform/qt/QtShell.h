#pragma once
// Opens the system's browser through Qt.
#include "platform/Shelldienste.h"

namespace qmb {

class QtShell : public Shelldienste {
public:
    bool ShellAusführen(const std::string& Datei, int32_t Fensterstatus, const std::string& Aktion) override;
};

} // namespace qmb

#pragma once
// The program's own file on Qt: its folder, the music carried inside it, the
// per-user data folder and the private temporary folder.
#include "platform/Programmdienste.h"

namespace qmb {

class QtProgramm : public Programmdienste {
public:
    std::string AppPath() override;
    std::span<const unsigned char> LoadResData(int id, const std::string& typ) override;
    std::string Benutzerdatenordner() override;
    std::string TempOrdner() override;
    bool TempOrdnerGeteilt() override;
    bool Installiert() override;
};

} // namespace qmb

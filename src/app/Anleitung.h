#pragma once
#include <string>

namespace qmb {

// The instructions shown by F1 and the help button, lines joined by CR LF.
const std::string& AnleitungText();
inline constexpr const char* ANLEITUNG_TITEL = "Anleitung zu Quambel. Viel Spaß beim Spielen!";

} // namespace qmb

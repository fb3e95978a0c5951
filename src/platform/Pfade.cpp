// Paths as strings, the same on every system but for the separator.
#include "platform/Dateisystem.h"

namespace qmb {

#ifdef _WIN32
const char TRENNER = '\\';
#else
const char TRENNER = '/';
#endif

bool endetMitTrenner(std::string_view pfad) { return !pfad.empty() && (pfad.back() == '/' || pfad.back() == '\\'); }

std::string pfadVerbinden(const std::string& ordner, std::string_view name) {
    if (ordner.empty()) return std::string(name);
    return endetMitTrenner(ordner) ? ordner + std::string(name) : ordner + TRENNER + std::string(name);
}

std::string ohneTrenner(std::string pfad) {
    while (pfad.size() > 1 && endetMitTrenner(pfad)) pfad.pop_back();
    return pfad;
}

} // namespace qmb

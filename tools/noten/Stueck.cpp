#include "Stueck.h"

#include <charconv>
#include <locale>
#include <sstream>

#include "Noten.h"

namespace qmb::noten {

[[noreturn]] void fehler(const Stück& st, int zeile, const std::string& text) { throw Fehler(st.datei, zeile, text); }

long ganzzahl(const Stück& st, int zeile, std::string_view w, long min, long max, const char* was) {
    long wert = 0;
    const char* a = w.data();
    const char* e = w.data() + w.size();
    if (!w.empty() && *a == '+') ++a;
    auto [p, ec] = std::from_chars(a, e, wert);
    if (ec != std::errc() || p != e || a == e)
        fehler(st, zeile, std::string(was) + ": '" + std::string(w) + "' ist keine ganze Zahl");
    if (wert < min || wert > max)
        fehler(st, zeile,
               std::string(was) + " " + std::to_string(wert) + " liegt außerhalb von " + std::to_string(min) + ".." +
                   std::to_string(max));
    return wert;
}

double kommazahl(const Stück& st, int zeile, const std::string& w, const char* was) {
    // from_chars for double is missing in some standard libraries still in use.
    std::istringstream ein(w);
    ein.imbue(std::locale::classic());
    double wert = 0;
    char rest = 0;
    if (!(ein >> wert) || (ein >> rest)) fehler(st, zeile, std::string(was) + ": '" + w + "' ist keine Zahl");
    return wert;
}

} // namespace qmb::noten

#pragma once
// A run-time error with a number and a German description, the way the
// game reports what went wrong ("... (75).").
#include <stdexcept>
#include <string>

namespace qmb {

class Laufzeitfehler : public std::runtime_error {
public:
    Laufzeitfehler(int nummer, const std::string& beschreibung) : std::runtime_error(beschreibung), nummer_(nummer) {}
    int Nummer() const { return nummer_; }
    std::string Beschreibung() const { return what(); }

private:
    int nummer_;
};

// The numbers the messages show in brackets: fixed, so that a player's report
// names the kind of failure whatever the wording.
inline constexpr int FEHLER_PFAD_DATEI = 75; // path/file access error
inline constexpr int FEHLER_PFAD = 76;       // path not found
inline constexpr int FEHLER_RESSOURCE = 326; // resource not found
inline constexpr int FEHLER_ERLAUBNIS = 70;  // permission denied

} // namespace qmb

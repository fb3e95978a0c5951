#include "app/Anleitung.h"

#include <array>

namespace qmb {

const std::string& AnleitungText() {
    static const std::string text = [] {
        static constexpr std::array<const char*, 23> zeilen = {
            "I. Das Ziel des Spiels Quambel ist es, möglichst viele Bälle gleichzeitig in der Luft "
            "zu behalten, wobei 100 die Maximalpunktzahl darstellt. Die Steuerung des Pads erfolgt "
            "durch:",
            "  a) Tastatur:",
            "    Pfeil nach rechts: Pad nach rechts bewegen",
            "    Pfeil nach links: Pad nach links bewegen.",
            "  b) Maus (bewegen).",
            "",
            "II. Außerdem gibt es Zusatzfunktionen:",
            "  1. Das PowerPad: Das Pad wird rot, die Bälle springen höher.",
            "  2. Die Gewehre: befinden sich links und rechts am Pad und können abwechselnd "
            "schießen. Dabei darf allerdings nicht die Munition fehlen, die über einen Bonus "
            "nachgeladen werden kann.",
            "     Wird ein Ball getroffen, teilt er sich.",
            "",
            "III. Um das Spiel zu vereinfachen gibt es Boni:",
            "  1. Munition",
            "  2. 5 Bälle",
            "  3. 2 weitere Boni",
            "",
            "IV. Die weitere Steuerung: (Maus UND Tastatur)",
            "  Strg/Ctrl oder C oder Pfeil nach oben: Schießen",
            "  Shift oder Leertaste oder Pfeil nach unten: PowerPad",
            "  Linksklick: Schießen",
            "  Rechtsklick: PowerPad",
            "",
            "Das Spiel kann jederzeit mit Esc abgebrochen werden.",
        };
        std::string t;
        for (size_t i = 0; i < zeilen.size(); ++i) {
            if (i > 0) t += "\r\n";
            t += zeilen[i];
        }
        return t;
    }();
    return text;
}

} // namespace qmb

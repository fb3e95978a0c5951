// The player routines: every piece of music is driven by command strings.
// Opening, playing, pausing and resuming are sent only while the music is
// on; closing and status queries are always sent. Results are not examined:
// a command that fails simply has no effect.
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <limits>

#include "platform/Systemdienste.h"
#include "sound/modSound.h"

namespace qmb {

void modSound::senden(const std::string& befehl) {
    std::string antwort;
    mci_.mciSendString(befehl, antwort);
}

std::string modSound::KurzerPfad(const std::string& Pfad) {
    // There is no short form of a path here; the player takes the path as it
    // is, in quotes when it holds a blank. A missing file gives nothing.
    std::error_code f;
    if (Pfad.empty() || !std::filesystem::exists(utf8Pfad(Pfad), f)) return {};
    if (Pfad.find(' ') != std::string::npos) return "\"" + Pfad + "\"";
    return Pfad;
}

void modSound::MciSpielen(const std::string& Datei, const std::string& Alias) {
    if (!MusikAn) return;
    senden("open " + KurzerPfad(Datei) + " type MPEGVideo alias " + Alias);
    senden("play " + Alias + " from 0");
}

void modSound::MciEndlosSpielen(const std::string& Datei, const std::string& Alias) {
    if (!MusikAn) return;
    senden("open " + KurzerPfad(Datei) + " type MPEGVideo alias " + Alias);
    senden("play " + Alias + " repeat from 0");
}

void modSound::MciStoppen(const std::string& Alias) {
    if (!MusikAn) return;
    senden("stop " + Alias);
}

void modSound::MciFortsetzen(const std::string& Alias) {
    if (!MusikAn) return;
    senden("play " + Alias);
}

void modSound::MciSchließen(const std::string& Alias) {
    senden("stop " + Alias);
    senden("close " + Alias);
}

int32_t modSound::MciAbfrage(const std::string& Befehl) {
    std::string antwort;
    mci_.mciSendString(Befehl, antwort);
    if (antwort.size() > 255) antwort.resize(255); // the answer buffer holds 256 characters
    size_t i = 0;
    while (i < antwort.size() && antwort[i] == ' ') ++i;
    bool negativ = false;
    if (i < antwort.size() && (antwort[i] == '-' || antwort[i] == '+')) negativ = antwort[i++] == '-';
    int64_t wert = 0;
    for (; i < antwort.size() && std::isdigit(static_cast<unsigned char>(antwort[i])); ++i) {
        wert = wert * 10 + (antwort[i] - '0');
        if (wert > std::numeric_limits<int32_t>::max()) {
            wert = std::numeric_limits<int32_t>::max();
            break;
        }
    }
    return static_cast<int32_t>(negativ ? -wert : wert);
}

bool modSound::StückZuEnde(const std::string& Alias) {
    const int32_t länge = MciAbfrage("status " + Alias + " length");
    const int32_t position = MciAbfrage("status " + Alias + " position");
    return position == länge;
}

} // namespace qmb

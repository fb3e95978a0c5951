#include "highscore/Dateien.h"

#include <sys/stat.h>

namespace qmb {
namespace {

bool abfragen(const std::string& pfad, struct stat& st) {
    // A name with a NUL in it would be cut short by the system call and could
    // name a different file: not a valid name at all.
    if (pfad.empty() || pfad.find('\0') != std::string::npos) return false;
    return ::stat(pfad.c_str(), &st) == 0;
}

} // namespace

bool DateiExistiert(const std::string& Pfad) {
    struct stat st {};
    return abfragen(Pfad, st) && S_ISREG(st.st_mode);
}

bool OrdnerExistiert(const std::string& Pfad) {
    struct stat st {};
    return abfragen(Pfad, st) && (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode));
}

} // namespace qmb

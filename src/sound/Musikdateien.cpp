// The six pieces are carried inside the program; the player wants real files,
// so they are written into a folder of their own at start-up and removed at
// shut-down. The folder lies in the user's private temporary folder and must
// belong to this user alone: in a temporary folder shared by all users, a
// folder planted under our fixed name (or a link in its place) could make us
// write elsewhere or block the music.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/Laufzeitfehler.h"
#include "sound/modSound.h"

namespace qmb {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char TRENNER = '\\';
#else
constexpr char TRENNER = '/';
#endif

bool endetMitTrenner(const std::string& s) {
    return !s.empty() && (s.back() == '/' || s.back() == '\\');
}

std::string ohneTrenner(std::string s) {
    while (s.size() > 1 && endetMitTrenner(s)) s.pop_back();
    return s;
}

// A file of that name exists, or a link in its place (which is removed
// itself, never what it points to); every error means no.
bool istDatei(const std::string& pfad) {
    std::error_code f;
    const auto st = fs::symlink_status(pfad, f);
    return !pfad.empty() && (fs::is_regular_file(st) || fs::is_symlink(st));
}

// A folder (or a file) of that name exists; every error means no.
bool istOrdnerOderDatei(const std::string& pfad) {
    std::error_code f;
    return !pfad.empty() && fs::exists(fs::symlink_status(ohneTrenner(pfad), f));
}

Laufzeitfehler fehlerAus(int e, const std::string& pfad) {
    switch (e) {
    case EACCES:
    case EPERM:
        return Laufzeitfehler(FEHLER_ERLAUBNIS, "Zugriff verweigert: \"" + pfad + "\" ");
    case ENOENT:
    case ENOTDIR:
        return Laufzeitfehler(FEHLER_PFAD, "Pfad nicht gefunden: \"" + pfad + "\" ");
    default:
        return Laufzeitfehler(FEHLER_PFAD_DATEI, "Fehler beim Zugriff auf \"" + pfad + "\": " +
                                                     std::strerror(e) + " ");
    }
}

} // namespace

std::string modSound::TempPfadHolen() {
    std::string pfad = programm_.TempOrdner();
    if (pfad.empty())
        throw Laufzeitfehler(FEHLER_PFAD, "Es ist kein temporärer Ordner zu finden ");
    if (pfad.size() > 1 && endetMitTrenner(pfad)) pfad.pop_back();
    return pfad;
}

void modSound::SoundDateinamenSetzen() {
    for (int i = 1; i <= 4; ++i)
        Lieder[static_cast<size_t>(i)] = SoundOrdner + "game" + std::to_string(i) + ".qmb";
    VerlorenDatei = SoundOrdner + "lost" + ".qmb";
    GewonnenDatei = SoundOrdner + "won" + ".qmb";
}

void modSound::ordnerPrüfen(const std::string& ordner) {
#ifndef _WIN32
    const std::string pfad = ohneTrenner(ordner);
    struct stat st {};
    if (::lstat(pfad.c_str(), &st) != 0) throw fehlerAus(errno, pfad);
    if (S_ISLNK(st.st_mode))
        throw Laufzeitfehler(FEHLER_ERLAUBNIS,
                             "Der Musikordner \"" + pfad + "\" ist ein symbolischer Verweis ");
    if (!S_ISDIR(st.st_mode))
        throw Laufzeitfehler(FEHLER_PFAD_DATEI, "\"" + pfad + "\" ist kein Ordner ");
    if (st.st_uid != ::geteuid())
        throw Laufzeitfehler(FEHLER_ERLAUBNIS,
                             "Der Musikordner \"" + pfad + "\" gehört einem anderen Benutzer ");
    if ((st.st_mode & 077) != 0 && ::chmod(pfad.c_str(), 0700) != 0) throw fehlerAus(errno, pfad);
#else
    (void)ordner;
#endif
    ordnerGeprüft_ = true;
}

void modSound::SoundInitialisieren() {
    bool wiederholt = false;
    for (;;) {
        try {
            MusikAn = true;
            // Every file of the program is closed right after use, so there
            // is nothing open to close here.
            ordnerGeprüft_ = false;
            TempPfad = TempPfadHolen();
            SoundOrdner = TempPfad + (endetMitTrenner(TempPfad) ? "" : std::string(1, TRENNER)) +
                          "QmbSound" + TRENNER;
            if (!istOrdnerOderDatei(SoundOrdner)) {
#ifndef _WIN32
                if (::mkdir(ohneTrenner(SoundOrdner).c_str(), 0700) != 0 && errno != EEXIST)
                    throw fehlerAus(errno, ohneTrenner(SoundOrdner));
#else
                std::error_code f;
                fs::create_directory(SoundOrdner, f);
                if (f) throw Laufzeitfehler(FEHLER_PFAD_DATEI, f.message() + " ");
#endif
            }
            ordnerPrüfen(SoundOrdner);
            SoundDateinamenSetzen();
            SoundDateienSchreiben();
            return;
        } catch (const Laufzeitfehler& fehler) {
            if (!wiederholt) {
                SoundBeenden();
                wiederholt = true;
                continue;
            }
            fenster_.MsgBox("Beim Initialisieren des SoundModuls ist ein Fehler aufgetreten:\r\n" +
                                fehler.Beschreibung() + "(" + std::to_string(fehler.Nummer()) +
                                ").\r\n\r\nEs kann Störungen beim Sound geben.",
                            Knoepfe::OK, Symbol::Stopp, "Fehler beim Laden des Soundmoduls.");
            return;
        }
    }
}

void modSound::SoundDateienSchreiben() {
    RessourceSpeichern(103, "CUSTOM", Lieder[1]);
    RessourceSpeichern(104, "CUSTOM", Lieder[2]);
    RessourceSpeichern(105, "CUSTOM", Lieder[3]);
    RessourceSpeichern(106, "CUSTOM", Lieder[4]);
    fenster_.DoEvents();
    RessourceSpeichern(101, "CUSTOM", VerlorenDatei);
    RessourceSpeichern(102, "CUSTOM", GewonnenDatei);
}

void modSound::RessourceSpeichern(int ID, const std::string& Typ, const std::string& Datei) {
    const auto daten = programm_.LoadResData(ID, Typ);
    if (daten.empty())
        throw Laufzeitfehler(FEHLER_RESSOURCE,
                             "Ressource mit Bezeichner " + std::to_string(ID) + " nicht gefunden ");
    DateiLöschen(Datei);
#ifndef _WIN32
    // A new file, never through a link, readable only by this user.
    const int fd = ::open(Datei.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) throw fehlerAus(errno, Datei);
    size_t geschrieben = 0;
    while (geschrieben < daten.size()) {
        const ssize_t n = ::write(fd, daten.data() + geschrieben, daten.size() - geschrieben);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : EIO;
            ::close(fd);
            throw fehlerAus(e, Datei);
        }
        geschrieben += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) throw fehlerAus(errno, Datei);
#else
    std::ofstream aus(Datei, std::ios::binary | std::ios::trunc);
    aus.write(reinterpret_cast<const char*>(daten.data()), static_cast<std::streamsize>(daten.size()));
    aus.close();
    if (!aus) throw Laufzeitfehler(FEHLER_PFAD_DATEI, "Fehler beim Schreiben von \"" + Datei + "\" ");
#endif
}

void modSound::DateiLöschen(const std::string& Pfad) {
    if (istDatei(Pfad)) {
        std::error_code f;
        fs::remove(Pfad, f);
        if (f) throw fehlerAus(f.value(), Pfad);
    }
}

void modSound::SoundBeenden() {
    MciSchließen("qmbscore");
    MciSchließen("qmbgame");
    // Only a folder that passed the check is ours to clean.
    if (!ordnerGeprüft_) return;
    for (const std::string* pfad : {&Lieder[1], &Lieder[2], &Lieder[3], &Lieder[4],
                                    &VerlorenDatei, &GewonnenDatei}) {
        try {
            DateiLöschen(*pfad);
        } catch (const Laufzeitfehler&) {
            // Clean-up goes on whatever fails.
        }
    }
    std::error_code f;
    fs::remove(ohneTrenner(SoundOrdner), f); // fails quietly when not empty
}

} // namespace qmb

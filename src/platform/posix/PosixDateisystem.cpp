// The file operations of the high-score list and the music on a POSIX system.
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Dateisystem.h"

namespace qmb {
namespace {

bool gültig(const std::string& pfad) { return !pfad.empty() && pfad.find('\0') == std::string::npos; }

class PosixSchreibdatei : public Schreibdatei {
public:
    explicit PosixSchreibdatei(int fd) : fd_(fd) {}
    ~PosixSchreibdatei() override {
        if (fd_ >= 0) ::close(fd_);
    }
    Fehlernummer schreiben(std::string_view daten) override {
        while (!daten.empty()) {
            const ssize_t n = ::write(fd_, daten.data(), daten.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            daten.remove_prefix(static_cast<size_t>(n));
        }
        return 0;
    }
    Fehlernummer sichern() override {
        while (::fsync(fd_) != 0)
            if (errno != EINTR) return errno;
        return 0;
    }
    Fehlernummer schließen() override {
        const int fd = fd_;
        fd_ = -1;
        // No retry on EINTR: on Linux the descriptor is gone either way.
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// flock, not fcntl locks: those belong to the process and vanish when any
// descriptor of the file is closed, and they do not exclude two holders in
// the same process.
class PosixSperre : public Sperre {
public:
    explicit PosixSperre(int fd) : fd_(fd) {}
    ~PosixSperre() override { ::close(fd_); }

private:
    int fd_;
};

class PosixDateisystem : public Dateisystem {
public:
    Dateiart art(const std::string& pfad) override {
        if (!gültig(pfad)) return Dateiart::Fehlt;
        struct stat st {};
        if (::stat(pfad.c_str(), &st) != 0)
            return errno == ENOENT || errno == ENOTDIR ? Dateiart::Fehlt : Dateiart::Unbekannt;
        if (S_ISREG(st.st_mode)) return Dateiart::Datei;
        if (S_ISDIR(st.st_mode)) return Dateiart::Ordner;
        return Dateiart::Anderes;
    }

    Fehlernummer lesen(const std::string& pfad, std::size_t grenze, std::string& inhalt, bool& mehr) override {
        inhalt.clear();
        mehr = false;
        if (!gültig(pfad)) return ENOENT;
        // O_NONBLOCK: should a pipe have taken the name, opening it must not hang.
        const int fd = ::open(pfad.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return errno;
        Fehlernummer fehler = 0;
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            fehler = errno;
        } else if (!S_ISREG(st.st_mode)) {
            fehler = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        } else {
            fehler = bisZurGrenzeLesen(
                grenze,
                [fd](char* ziel, std::size_t höchstens, std::size_t& gelesen) {
                    for (;;) {
                        const ssize_t n = ::read(fd, ziel, höchstens);
                        if (n >= 0) {
                            gelesen = static_cast<std::size_t>(n);
                            return 0;
                        }
                        if (errno != EINTR) return errno;
                    }
                },
                inhalt, mehr);
        }
        ::close(fd);
        return fehler;
    }

    Fehlernummer anlegen(const std::string& pfad, std::unique_ptr<Schreibdatei>& datei, bool privat) override {
        datei.reset();
        if (!gültig(pfad)) return ENOENT;
        const int fd =
            ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, privat ? 0600 : 0666);
        if (fd < 0) return errno;
        datei = std::make_unique<PosixSchreibdatei>(fd);
        return 0;
    }

    Fehlernummer umbenennen(const std::string& von, const std::string& nach) override {
        if (!gültig(von) || !gültig(nach)) return ENOENT;
        return ::rename(von.c_str(), nach.c_str()) == 0 ? 0 : errno;
    }

    Fehlernummer entfernen(const std::string& pfad) override {
        if (!gültig(pfad)) return ENOENT;
        return ::unlink(pfad.c_str()) == 0 ? 0 : errno;
    }

    Fehlernummer ordnerSichern(const std::string& ordner) override {
        const std::string o = ordner.empty() ? std::string(".") : ordner;
        if (!gültig(o)) return ENOENT;
        const int fd = ::open(o.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return errno;
        Fehlernummer fehler = 0;
        while (::fsync(fd) != 0) {
            if (errno == EINTR) continue;
            fehler = errno;
            break;
        }
        ::close(fd);
        return fehler;
    }

    Fehlernummer ordnerAnlegen(const std::string& ordner) override {
        if (!gültig(ordner)) return ENOENT;
        // Parents first, like mkdir -p. The per-user data folder is private.
        for (size_t i = 1; i <= ordner.size(); ++i) {
            if (i < ordner.size() && ordner[i] != '/') continue;
            const std::string teil = ordner.substr(0, i);
            if (::mkdir(teil.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        }
        struct stat st {};
        if (::stat(ordner.c_str(), &st) != 0) return errno;
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    }

    bool beschreibbar(const std::string& ordner) override {
        const std::string probe = probenPfad(ordner);
        if (!gültig(probe)) return false;
        // O_EXCL: the probe never touches a file that was there before.
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return false;
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }

    Fehlernummer auflisten(const std::string& ordner, std::vector<std::string>& namen) override {
        namen.clear();
        if (!gültig(ordner)) return ENOENT;
        DIR* d = ::opendir(ordner.c_str());
        if (!d) return errno;
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") namen.push_back(name);
        }
        ::closedir(d);
        return 0;
    }

    Fehlernummer sperren(const std::string& pfad, bool exklusiv, std::unique_ptr<Sperre>& sperre) override {
        sperre.reset();
        if (!gültig(pfad)) return ENOENT;
        // A holder that keeps removing and making the file again would keep
        // us here: after a few rounds it counts as held.
        for (int runde = 0; runde < 20; ++runde) {
            // O_NONBLOCK: a pipe or a device in its place must not block the
            // open; O_NOFOLLOW: a link must not lead elsewhere. Read and
            // write: a network file system locks only files open for writing.
            const int fd =
                ::open(pfad.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
            if (fd < 0) return errno;
            struct stat offen {};
            Fehlernummer fehler = ::fstat(fd, &offen) != 0 ? errno : 0;
            if (!fehler && !S_ISREG(offen.st_mode)) fehler = EINVAL;
            // Another user's file: whoever may open it could hold it.
            if (!fehler && offen.st_uid != ::geteuid()) fehler = EPERM;
            if (!fehler && (offen.st_mode & 077) != 0 && ::fchmod(fd, 0600) != 0) fehler = errno;
            int r = -1;
            while (!fehler && (r = ::flock(fd, (exklusiv ? LOCK_EX : LOCK_SH) | LOCK_NB)) != 0 && errno == EINTR) {}
            if (!fehler && r != 0) fehler = errno == EAGAIN ? EWOULDBLOCK : errno;
            if (fehler) {
                ::close(fd);
                return fehler;
            }
            struct stat jetzt {};
            if (::stat(pfad.c_str(), &jetzt) == 0 && offen.st_dev == jetzt.st_dev && offen.st_ino == jetzt.st_ino) {
                sperre = std::make_unique<PosixSperre>(fd);
                return 0;
            }
            ::close(fd); // removed by the holder before us: take the new one
        }
        return EWOULDBLOCK;
    }

    std::string kennung() override { return std::to_string(::getpid()); }

    bool läuft(const std::string& kennung) override {
        char* ende = nullptr;
        const long pid = std::strtol(kennung.c_str(), &ende, 10);
        if (kennung.empty() || *ende != '\0' || pid <= 0 || static_cast<pid_t>(pid) != pid) return false;
        // EPERM: it runs, as another user.
        return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
    }

    std::string benutzer() override { return std::to_string(::geteuid()); }

    Fehlernummer eigenerOrdner(const std::string& ordner) override {
        const std::string pfad = ohneTrenner(ordner);
        if (!gültig(pfad)) return ENOENT;
        struct stat st {};
        if (::lstat(pfad.c_str(), &st) != 0) return errno;
        if (S_ISLNK(st.st_mode)) return ELOOP;
        if (!S_ISDIR(st.st_mode)) return ENOTDIR;
        if (st.st_uid != ::geteuid()) return EPERM;
        if ((st.st_mode & 077) != 0 && ::chmod(pfad.c_str(), 0700) != 0) return errno;
        return 0;
    }

    Fehlernummer ordnerEntfernen(const std::string& ordner) override {
        const std::string pfad = ohneTrenner(ordner);
        if (!gültig(pfad)) return ENOENT;
        return ::rmdir(pfad.c_str()) == 0 ? 0 : errno;
    }
};

} // namespace

Dateisystem& systemDateisystem() {
    static PosixDateisystem system;
    return system;
}

} // namespace qmb

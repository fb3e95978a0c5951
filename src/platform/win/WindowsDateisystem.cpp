// The high-score list's file operations on Windows, on the wide Win32 calls:
// paths are UTF-8 inside the program, and the narrow calls (and msvcrt's
// open and rename) would read them in the ANSI code page. msvcrt would also
// refuse to rename onto an existing list and write in text mode; here every
// byte goes through as it is.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cerrno>

#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L // not in every MinGW-w64's winerror.h
#endif

#include <algorithm>
#include <cstdlib>

#include "platform/Dateisystem.h"
#include "platform/win/Breit.h"

namespace qmb {
namespace {

// The Win32 error as the errno value that names it in the same German words.
Fehlernummer alsFehlernummer(DWORD fehler) {
    switch (fehler) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_QUOTA_EXCEEDED: return ENOSPC;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EBUSY;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    default: return EIO;
    }
}

Fehlernummer letzterFehler() { return alsFehlernummer(::GetLastError()); }

// A virus scanner or the search indexer opens a new file right after it was
// written, without sharing deletion: the rename then fails for a moment.
bool vorübergehend(DWORD fehler) {
    return fehler == ERROR_ACCESS_DENIED || fehler == ERROR_SHARING_VIOLATION || fehler == ERROR_LOCK_VIOLATION;
}

template <class Schritt>
Fehlernummer mitGeduld(Schritt schritt) {
    DWORD fehler = ERROR_SUCCESS;
    for (int versuch = 0; versuch < 10; ++versuch) {
        if (schritt()) return 0;
        fehler = ::GetLastError();
        if (!vorübergehend(fehler)) break;
        ::Sleep(20 * (versuch + 1)); // about a second in all
    }
    return alsFehlernummer(fehler);
}

DWORD attribute(const std::wstring& pfad) { return ::GetFileAttributesW(pfad.c_str()); }

bool istOrdner(const std::wstring& pfad) {
    const DWORD a = attribute(pfad);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The name goes at once, as on POSIX, even while the file is still open
// (the lock of a copy, a piece being played): the folder can then be removed.
// Where the file system cannot (FAT, Windows before 10), the name goes when
// the last handle is closed.
bool löschen(const std::wstring& pfad) {
    const HANDLE h = ::CreateFileW(pfad.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    // FileDispositionInfoEx (21) with DELETE | POSIX_SEMANTICS, from Windows 10 1709 on.
    DWORD sofort = 0x1 | 0x2;
    FILE_DISPOSITION_INFO später{TRUE};
    const bool weg =
        ::SetFileInformationByHandle(h, static_cast<FILE_INFO_BY_HANDLE_CLASS>(21), &sofort, sizeof sofort) ||
        ::SetFileInformationByHandle(h, FileDispositionInfo, &später, sizeof später);
    const DWORD fehler = ::GetLastError();
    ::CloseHandle(h);
    ::SetLastError(fehler);
    return weg;
}

class WindowsSchreibdatei : public Schreibdatei {
public:
    explicit WindowsSchreibdatei(HANDLE h) : h_(h) {}
    ~WindowsSchreibdatei() override {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    Fehlernummer schreiben(std::string_view daten) override {
        while (!daten.empty()) {
            const DWORD stück = static_cast<DWORD>(std::min<size_t>(daten.size(), 1u << 20));
            DWORD n = 0;
            if (!::WriteFile(h_, daten.data(), stück, &n, nullptr)) return letzterFehler();
            if (n == 0) return EIO;
            daten.remove_prefix(n);
        }
        return 0;
    }
    Fehlernummer sichern() override { return ::FlushFileBuffers(h_) ? 0 : letzterFehler(); }
    Fehlernummer schließen() override {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) ? 0 : letzterFehler();
    }

private:
    HANDLE h_;
};

class WindowsSperre : public Sperre {
public:
    explicit WindowsSperre(HANDLE h) : h_(h) {}
    ~WindowsSperre() override {
        OVERLAPPED o{};
        ::UnlockFileEx(h_, 0, 1, 0, &o);
        ::CloseHandle(h_);
    }

private:
    HANDLE h_;
};

// Volume and file number: the same file under whatever name.
bool dieselbeDatei(HANDLE offen, const std::wstring& pfad) {
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const HANDLE jetzt = ::CreateFileW(pfad.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (jetzt == INVALID_HANDLE_VALUE) return false;
    const bool gleich = ::GetFileInformationByHandle(offen, &a) && ::GetFileInformationByHandle(jetzt, &b) &&
                        a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                        a.nFileIndexLow == b.nFileIndexLow;
    ::CloseHandle(jetzt);
    return gleich;
}

class WindowsDateisystem : public Dateisystem {
public:
    Dateiart art(const std::string& pfad) override {
        std::wstring p;
        if (pfad.empty() || !win::breit(pfad, p)) return Dateiart::Fehlt;
        const DWORD a = attribute(p);
        if (a == INVALID_FILE_ATTRIBUTES) {
            const Fehlernummer f = letzterFehler();
            return f == ENOENT || f == ENOTDIR ? Dateiart::Fehlt : Dateiart::Unbekannt;
        }
        if (a & FILE_ATTRIBUTE_DIRECTORY) return Dateiart::Ordner;
        if (a & (FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) return Dateiart::Anderes;
        return Dateiart::Datei;
    }

    Fehlernummer lesen(const std::string& pfad, std::size_t grenze, std::string& inhalt, bool& mehr) override {
        inhalt.clear();
        mehr = false;
        std::wstring p;
        if (pfad.empty() || !win::breit(pfad, p)) return ENOENT;
        // Shared for writing and deletion too: reading never stands in the
        // way of another copy of the game replacing the list.
        const HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD fehler = ::GetLastError();
            return fehler == ERROR_ACCESS_DENIED && istOrdner(p) ? EISDIR : alsFehlernummer(fehler);
        }
        Fehlernummer fehler = 0;
        // A pipe or a device (CON, NUL, COM1) is no list: it could block or never end.
        if (::GetFileType(h) != FILE_TYPE_DISK) {
            fehler = EINVAL;
        } else {
            fehler = bisZurGrenzeLesen(
                grenze,
                [h](char* ziel, std::size_t höchstens, std::size_t& gelesen) {
                    DWORD n = 0;
                    if (!::ReadFile(h, ziel, static_cast<DWORD>(std::min<size_t>(höchstens, 1u << 20)), &n, nullptr))
                        return letzterFehler();
                    gelesen = n;
                    return 0;
                },
                inhalt, mehr);
        }
        ::CloseHandle(h);
        return fehler;
    }

    Fehlernummer anlegen(const std::string& pfad, std::unique_ptr<Schreibdatei>& datei, bool privat) override {
        // `privat` needs nothing more: what is private (the music) lies in the
        // user's temporary folder, inside the profile no other user can enter.
        (void)privat;
        datei.reset();
        std::wstring p;
        if (pfad.empty() || !win::breit(pfad, p)) return ENOENT;
        // CREATE_NEW: a taken name (a link or junction too) is never written through.
        const HANDLE h = ::CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD fehler = ::GetLastError();
            return fehler == ERROR_ACCESS_DENIED && istOrdner(p) ? EISDIR : alsFehlernummer(fehler);
        }
        datei = std::make_unique<WindowsSchreibdatei>(h);
        return 0;
    }

    Fehlernummer umbenennen(const std::string& von, const std::string& nach) override {
        std::wstring v, n;
        if (von.empty() || nach.empty() || !win::breit(von, v) || !win::breit(nach, n)) return ENOENT;
        if (istOrdner(n)) return EISDIR;
        // Replaces the old list in one step, and returns only when the new
        // name is on the disk.
        return mitGeduld([&] {
            return ::MoveFileExW(v.c_str(), n.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        });
    }

    Fehlernummer entfernen(const std::string& pfad) override {
        std::wstring p;
        if (pfad.empty() || !win::breit(pfad, p)) return ENOENT;
        if (istOrdner(p)) return EISDIR;
        return mitGeduld([&] { return löschen(p); });
    }

    Fehlernummer ordnerSichern(const std::string& ordner) override {
        // The names reach the disk with the write-through rename above; a
        // folder cannot be flushed by a user without administrator rights.
        // What is left to say is whether the folder is there.
        std::wstring o;
        if (!win::breit(ordner.empty() ? std::string(".") : ordner, o)) return ENOENT;
        const DWORD a = attribute(o);
        if (a == INVALID_FILE_ATTRIBUTES) return letzterFehler();
        return (a & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ENOTDIR;
    }

    Fehlernummer ordnerAnlegen(const std::string& ordner) override {
        std::wstring o;
        if (ordner.empty() || !win::breit(ordner, o)) return ENOENT;
        // Parents first, on either separator. The root is never created:
        // "C:\", "\\server\share\" and "\\?\C:\" are left alone.
        size_t anfang = 0;
        if (o.rfind(L"\\\\?\\UNC\\", 0) == 0)
            anfang = teilEnde(o, 8, 2);
        else if (o.rfind(L"\\\\?\\", 0) == 0)
            anfang = teilEnde(o, 4, 1);
        else if (o.size() >= 2 && trenner(o[0]) && trenner(o[1]))
            anfang = teilEnde(o, 2, 2);
        else if (o.size() >= 2 && o[1] == L':')
            anfang = 2;
        for (size_t i = anfang + 1; i <= o.size(); ++i) {
            if (i < o.size() && !trenner(o[i])) continue;
            if (trenner(o[i - 1])) continue; // "a\\b" and the trailing separator
            if (!::CreateDirectoryW(o.substr(0, i).c_str(), nullptr)) {
                const DWORD fehler = ::GetLastError();
                // Access denied on a folder that exists (a drive's root, a
                // protected parent) is no reason to stop.
                if (fehler != ERROR_ALREADY_EXISTS && !(fehler == ERROR_ACCESS_DENIED && istOrdner(o.substr(0, i))))
                    return alsFehlernummer(fehler);
            }
        }
        const DWORD a = attribute(o);
        if (a == INVALID_FILE_ATTRIBUTES) return letzterFehler();
        return (a & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ENOTDIR;
    }

    bool beschreibbar(const std::string& ordner) override {
        const std::string probe = probenPfad(ordner);
        std::wstring p;
        if (!win::breit(probe, p)) return false;
        // CREATE_NEW: the probe never touches a file that was there before;
        // it goes when it is closed.
        const HANDLE h = ::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        ::CloseHandle(h);
        return true;
    }

    Fehlernummer auflisten(const std::string& ordner, std::vector<std::string>& namen) override {
        namen.clear();
        std::wstring o;
        if (ordner.empty() || !win::breit(pfadVerbinden(ordner, "*"), o)) return ENOENT;
        WIN32_FIND_DATAW e;
        const HANDLE suche = ::FindFirstFileW(o.c_str(), &e);
        if (suche == INVALID_HANDLE_VALUE) {
            const DWORD fehler = ::GetLastError();
            return fehler == ERROR_FILE_NOT_FOUND ? 0 : alsFehlernummer(fehler);
        }
        do {
            const std::wstring name = e.cFileName;
            if (name != L"." && name != L"..") namen.push_back(win::utf8(name));
        } while (::FindNextFileW(suche, &e));
        const DWORD fehler = ::GetLastError();
        ::FindClose(suche);
        return fehler == ERROR_NO_MORE_FILES ? 0 : alsFehlernummer(fehler);
    }

    Fehlernummer sperren(const std::string& pfad, bool exklusiv, std::unique_ptr<Sperre>& sperre) override {
        sperre.reset();
        std::wstring p;
        if (pfad.empty() || !win::breit(pfad, p)) return ENOENT;
        for (int runde = 0; runde < 200; ++runde) {
            // Deletion shared: the last copy may take the lock file away
            // while others wait for it. A link or junction is opened as
            // itself and refused, never followed.
            const HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                const DWORD fehler = ::GetLastError();
                // A file its holder removed stays until the holder lets go.
                if (fehler == ERROR_ACCESS_DENIED && runde < 199 && !istOrdner(p)) {
                    ::Sleep(10);
                    continue;
                }
                return alsFehlernummer(fehler);
            }
            Fehlernummer falsch = 0;
            BY_HANDLE_FILE_INFORMATION info{};
            if (::GetFileType(h) != FILE_TYPE_DISK)
                falsch = EINVAL; // a pipe or a device
            else if (::GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                falsch = ELOOP;
            OVERLAPPED o{};
            const DWORD art = (exklusiv ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY;
            if (falsch || !::LockFileEx(h, art, 0, 1, 0, &o)) {
                const DWORD fehler = ::GetLastError();
                ::CloseHandle(h);
                if (falsch) return falsch;
                if (fehler == ERROR_NOT_SUPPORTED || fehler == ERROR_INVALID_FUNCTION) return ENOLCK;
                return fehler == ERROR_LOCK_VIOLATION || fehler == ERROR_IO_PENDING ? EWOULDBLOCK
                                                                                    : alsFehlernummer(fehler);
            }
            if (dieselbeDatei(h, p)) {
                sperre = std::make_unique<WindowsSperre>(h);
                return 0;
            }
            OVERLAPPED u{};
            ::UnlockFileEx(h, 0, 1, 0, &u);
            ::CloseHandle(h); // removed by the holder before us: take the new one
        }
        return EWOULDBLOCK;
    }

    std::string kennung() override { return std::to_string(::GetCurrentProcessId()); }

    bool läuft(const std::string& kennung) override {
        char* ende = nullptr;
        const unsigned long id = std::strtoul(kennung.c_str(), &ende, 10);
        if (kennung.empty() || *ende != '\0' || id == 0) return false;
        const HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
        // Refused: it runs, as another user.
        if (!h) return ::GetLastError() == ERROR_ACCESS_DENIED;
        const bool lebt = ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
        ::CloseHandle(h);
        return lebt;
    }

    // The list's folder beside the program is the one place several users
    // might share; each profile is private. One lock for all there: the wait
    // for it is bounded.
    std::string benutzer() override { return {}; }

    Fehlernummer eigenerOrdner(const std::string& ordner) override {
        std::wstring o;
        if (ordner.empty() || !win::breit(ohneTrenner(ordner), o)) return ENOENT;
        const DWORD a = attribute(o);
        if (a == INVALID_FILE_ATTRIBUTES) return letzterFehler();
        if (a & FILE_ATTRIBUTE_REPARSE_POINT) return ELOOP; // a link or junction
        if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return ENOTDIR;
        // The owner is not asked: the temporary folder (GetTempPathW) lies in
        // the user's own profile, which no other user can enter.
        return 0;
    }

    Fehlernummer ordnerEntfernen(const std::string& ordner) override {
        std::wstring o;
        if (ordner.empty() || !win::breit(ohneTrenner(ordner), o)) return ENOENT;
        return ::RemoveDirectoryW(o.c_str()) ? 0 : letzterFehler();
    }

private:
    static bool trenner(wchar_t c) { return c == L'\\' || c == L'/'; }
    // The position after the `teile`-th separator-ended part from `ab`, or the end.
    static size_t teilEnde(const std::wstring& o, size_t ab, int teile) {
        size_t i = ab;
        for (int t = 0; t < teile && i < o.size(); ++t) {
            while (i < o.size() && !trenner(o[i])) ++i;
            if (t + 1 < teile && i < o.size()) ++i;
        }
        return i;
    }
};

} // namespace

Dateisystem& systemDateisystem() {
    static WindowsDateisystem system;
    return system;
}

} // namespace qmb

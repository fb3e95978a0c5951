// The system services and the UTF-8/UTF-16 boundary on Windows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/Systemdienste.h"
#include "platform/win/Breit.h"

namespace qmb {

namespace win {

bool breit(std::string_view utf8, std::wstring& aus) {
    aus.clear();
    if (utf8.find('\0') != std::string_view::npos) return false;
    if (utf8.empty()) return true;
    const int n =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) return false;
    aus.resize(static_cast<size_t>(n));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), aus.data(),
                                 n) == n;
}

std::string utf8(std::wstring_view breit) {
    if (breit.empty()) return {};
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, breit.data(), static_cast<int>(breit.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string aus(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, breit.data(), static_cast<int>(breit.size()), aus.data(), n, nullptr, nullptr);
    return aus;
}

} // namespace win

std::string programmordner() {
    // The buffer grows until the whole path fits (paths beyond MAX_PATH exist).
    std::wstring pfad(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, pfad.data(), static_cast<DWORD>(pfad.size()));
        if (n == 0) return {};
        if (n < pfad.size()) {
            pfad.resize(n);
            break;
        }
        if (pfad.size() >= 32768) return {};
        pfad.resize(pfad.size() * 2);
    }
    const size_t schnitt = pfad.find_last_of(L"\\/");
    return schnitt == std::wstring::npos ? std::string() : win::utf8(pfad.substr(0, schnitt));
}

std::string zwischenspeicherordner() {
    const wchar_t* lokal = _wgetenv(L"LOCALAPPDATA");
    return lokal && *lokal ? win::utf8(lokal) + "\\Quambel" : std::string();
}

void geringerVorrang() { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_IDLE); }

namespace {
UINT alteCodepage = 0;
}

void konsoleAnbinden() {
    if (::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
    // Our texts are UTF-8; the console's own code page comes back at the end.
    alteCodepage = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(CP_UTF8);
    std::atexit([] {
        std::fflush(stdout);
        ::SetConsoleOutputCP(alteCodepage);
    });
}

void hinweisZeigen(const std::string& text) {
    std::wstring breit;
    if (!win::breit("Quambel: " + text, breit)) return;
    ::OutputDebugStringW(breit.c_str());
    // On a thread of its own, so that nobody waits for the player's click;
    // the box goes when the program ends.
    std::thread([breit] {
        ::MessageBoxW(nullptr, breit.c_str(), L"Quambel", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    }).detach();
}

} // namespace qmb

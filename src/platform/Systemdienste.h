#pragma once
// The few services of the operating system that lie outside the game's
// ports. Paths are UTF-8 inside the program on every system.
#include <filesystem>
#include <string>
#include <string_view>

namespace qmb {

// The folder of the running program, without a trailing separator; empty
// when it cannot be found.
std::string programmordner();

// A notice for the player that needs no answer. On Linux a line on stderr,
// where a program started from a terminal says such things; a Windows
// program has no console, so there it is a message box of its own.
void hinweisZeigen(const std::string& text);

// The per-user folder for files the program can make again when they are
// gone ($XDG_CACHE_HOME or ~/.cache on Linux, %LOCALAPPDATA% on Windows),
// with "Quambel" appended; empty when there is none.
std::string zwischenspeicherordner();

// The calling thread gets only the time no other thread of any program
// wants: for work done ahead that nobody waits for.
void geringerVorrang();

// Where --version and --help write to. A Windows program with windows has
// no console: it takes the one it was started from, when its output goes
// nowhere else (a pipe or file stays as it is). Elsewhere nothing to do.
void konsoleAnbinden();

// std::filesystem and the file streams read a narrow path in the system's
// code page on Windows (ANSI), so a UTF-8 path crosses into them as char8_t.
inline std::filesystem::path utf8Pfad(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string utf8Text(const std::filesystem::path& pfad) {
    const std::u8string s = pfad.u8string();
    return std::string(s.begin(), s.end());
}

} // namespace qmb

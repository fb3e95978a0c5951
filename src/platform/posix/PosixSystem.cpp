// The system services on Linux and other POSIX systems.
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/Systemdienste.h"

namespace qmb {

std::string programmordner() {
    std::vector<char> puffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", puffer.data(), puffer.size());
    if (n <= 0 || static_cast<size_t>(n) >= puffer.size()) return {};
    const std::string pfad(puffer.data(), static_cast<size_t>(n));
    const size_t schnitt = pfad.rfind('/');
    return schnitt == std::string::npos ? std::string() : pfad.substr(0, schnitt == 0 ? 1 : schnitt);
}

std::string zwischenspeicherordner() {
    // XDG wants an absolute path; a relative one is ignored, as if unset.
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/Quambel";
    if (const char* heim = std::getenv("HOME"); heim && *heim == '/') return std::string(heim) + "/.cache/Quambel";
    return {};
}

void geringerVorrang() {
    // SCHED_IDLE needs no privilege and applies to this thread alone.
    const sched_param p{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &p);
}

void konsoleAnbinden() {}

void hinweisZeigen(const std::string& text) {
    std::fprintf(stderr, "Quambel: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace qmb

// The system services on Linux and other POSIX systems.
#include <unistd.h>

#include <cstdio>
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

void konsoleAnbinden() {}

void hinweisZeigen(const std::string& text) {
    std::fprintf(stderr, "Quambel: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace qmb

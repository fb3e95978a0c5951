#include "Takte.h"

#include <cstdlib>
#include <utility>

namespace qmb::noten {

std::string bruch(long ticks, int teilung) {
    long z = std::labs(ticks), n = 4L * teilung;
    long a = z, b = n;
    while (b != 0) a = std::exchange(b, a % b);
    return std::to_string(z / a) + "/" + std::to_string(n / a);
}

} // namespace qmb::noten

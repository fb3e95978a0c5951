#include "platform/Codepage.h"

#include <array>
#include <cstdint>

namespace qmb {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest equal their byte value.
constexpr std::array<char32_t, 32> OBEN = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t zuCodepunkt(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return OBEN[b - 0x80];
    return b;
}

int zuByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (size_t i = 0; i < OBEN.size(); ++i)
        if (OBEN[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

void anhängen(std::string& s, char32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at position i; advances i. Returns -1 for an
// invalid sequence (i then moves past its first byte).
long nächsterCodepunkt(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int folge;
    char32_t c;
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    if ((b0 & 0xE0) == 0xC0) {
        folge = 1;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        folge = 2;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        folge = 3;
        c = b0 & 0x07;
    } else {
        ++i;
        return -1;
    }
    if (i + static_cast<size_t>(folge) >= s.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k <= folge; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    static constexpr char32_t MIN[] = {0, 0x80, 0x800, 0x10000};
    if (c < MIN[folge] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += static_cast<size_t>(folge) + 1;
    return static_cast<long>(c);
}

} // namespace

std::string nachCp1252(std::string_view utf8) {
    std::string aus;
    aus.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const long c = nächsterCodepunkt(utf8, i);
        const int b = c < 0 ? -1 : zuByte(static_cast<char32_t>(c));
        aus += b < 0 ? '?' : static_cast<char>(b);
    }
    return aus;
}

std::string ausCp1252(std::string_view bytes) {
    std::string aus;
    aus.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) anhängen(aus, zuCodepunkt(b));
    return aus;
}

size_t zeichenAnzahl(std::string_view utf8) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size();) {
        nächsterCodepunkt(utf8, i);
        ++n;
    }
    return n;
}

std::string ersteZeichen(std::string_view utf8, size_t n) {
    size_t i = 0;
    for (size_t k = 0; k < n && i < utf8.size(); ++k) nächsterCodepunkt(utf8, i);
    return std::string(utf8.substr(0, i));
}

} // namespace qmb

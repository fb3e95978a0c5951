#pragma once
// Text files of the game are in the Windows-1252 code page, one byte per
// character. Inside the program text is UTF-8; these two functions are the
// boundary. A character the code page cannot represent becomes "?".
#include <string>
#include <string_view>

namespace qmb {

// UTF-8 to Windows-1252 bytes. Characters outside the code page, and bytes
// that are not valid UTF-8, become '?'.
std::string nachCp1252(std::string_view utf8);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same
// number, as Windows does, so that every byte survives a round trip.
std::string ausCp1252(std::string_view bytes);

// Number of characters (code points) of a UTF-8 text.
size_t zeichenAnzahl(std::string_view utf8);
// The first n characters (code points) of a UTF-8 text.
std::string ersteZeichen(std::string_view utf8, size_t n);

} // namespace qmb

#pragma once
// The high-score file as bytes: the scrambling, the plain text of an entry,
// how a file is cut back into lines and how a list is written. No files are
// touched here; modQuambel does that.
//
// A line of the file is the scrambled plain text followed by CR LF. The plain
// text is the score as three digits and the name, one Windows-1252 byte per
// character. Scrambling can itself produce the bytes CR and LF, even the pair
// CR LF (the name "Wifi" does: 'i' and 'f' meet the key's 'd' and 'l'), so
// a file cannot simply be cut at every CR LF. See ZeilenZerlegen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qmb {

// The built-in key, as Windows-1252 bytes: KQXhdlmzpq604152é§+¤ºk.
inline constexpr std::string_view SCHLÜSSEL{"KQXhdlmzpq604152\xE9\xA7+\xA4\xBA"
                                            "k",
                                            22};

// XOR with the key repeated to the text's length; a text byte equal to its
// key byte stays as it is, so the result never holds a NUL. Its own inverse
// for any text without a NUL. An empty key leaves the text unchanged.
std::string Verwürfeln(std::string_view Text, std::string_view Schlüssel);
// Verwürfeln with the built-in key; scrambles and unscrambles.
std::string ZeileVerwürfeln(std::string_view Zeile);

// Bounds for reading: a list written by the game is ten short lines; anything
// beyond this is not a list we wrote and is not read at all.
inline constexpr std::size_t DATEI_HÖCHSTENS = 64 * 1024;
inline constexpr std::size_t ZEILEN_HÖCHSTENS = 1000;
// Longer names are cut when entered, so that every list we write stays far
// inside the reading bounds.
inline constexpr std::size_t NAME_HÖCHSTENS = 255;

// An entry: the plain text starts with three decimal digits.
bool istEintrag(std::string_view klartext);
// The value of those three digits (0 to 999); only for entries.
int16_t punkteVon(std::string_view klartext);
// A byte that stands for a visible character (no control character, none of
// the five bytes Windows-1252 leaves undefined).
bool darstellbar(unsigned char byte);

// The plain text of a new entry: "000" format, then the name (Windows-1252).
// Scores are clamped to 0..100 so the score field stays three digits; names
// are cut to NAME_HÖCHSTENS bytes, and control characters, which no name box
// delivers, become "?" like any character the code page lacks.
std::string Eintragstext(int16_t Punkte, std::string_view nameCp1252);

// Cuts the bytes of a file into its lines and unscrambles them. `abgeschnitten`
// says the bytes are only the start of a longer file: the incomplete last
// line is then dropped. Returns the plain text of every line, entries and
// other lines alike, in file order, at most ZEILEN_HÖCHSTENS of them.
std::vector<std::string> ZeilenZerlegen(std::string_view inhalt, bool abgeschnitten = false);

// The file for a list of plain texts: each scrambled, each ended by CR LF.
std::string ListeSchreiben(const std::vector<std::string>& klartexte);

// Inserts a new entry before the first entry whose score is less than or
// equal to `Punkte` (a tie goes above the older entries), ten entries at
// most, lines that are not entries dropped. `platz` is 1..10, or 0 when ten
// higher entries left no room.
struct Einfügung {
    std::vector<std::string> klartexte;
    int16_t platz = 0;
};
Einfügung Einfügen(const std::vector<std::string>& klartexte, const std::string& neu, int16_t Punkte);

} // namespace qmb

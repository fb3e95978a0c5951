#include "highscore/Listenformat.h"

#include <algorithm>
#include <cstdio>

namespace qmb {
namespace {

unsigned char byte(char c) { return static_cast<unsigned char>(c); }

// Scrambles `text` as if it stood at position `start` (counted from 0) of a
// line: the key is paired by position in the line, not in the piece.
std::string verwürfelnAb(std::string_view text, std::string_view schlüssel, size_t start) {
    std::string aus(text);
    if (schlüssel.empty()) return aus;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char a = byte(text[i]);
        const unsigned char b = byte(schlüssel[(start + i) % schlüssel.size()]);
        aus[i] = static_cast<char>(a == b ? a : a ^ b);
    }
    return aus;
}

bool alleDarstellbar(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return darstellbar(byte(c)); });
}

// What every line this program writes looks like: a score of 0 to 100 and a
// name of visible characters. Only used to decide where a line begins.
bool glaubhafterAnfang(std::string_view klartext) {
    return istEintrag(klartext) && punkteVon(klartext) <= 100 && alleDarstellbar(klartext.substr(3));
}

// Letters (also those of Windows-1252), digits, the blank and the marks that
// names carry ("Jean-Luc", "O'Neil", "Dr. X", "ace_1", "Yes!"): what names are
// made of, unlike the rest of the punctuation that bytes scrambled at a wrong
// key position mostly turn into. A name made only of these can never lose its
// tail to the rule below: read as part of the entry it already counts fully.
int wortzeichen(std::string_view s) {
    int n = 0;
    for (char c : s) {
        const unsigned char b = byte(c);
        n += (b >= '0' && b <= '9') || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') || b == ' ' ||
             (b >= 0xC0 && b != 0xD7 && b != 0xF7) || b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C ||
             b == 0x9E || b == 0x9F || b == '.' || b == '-' || b == '_' || b == '\'' || b == '!';
    }
    return n;
}

} // namespace

std::string Verwürfeln(std::string_view Text, std::string_view Schlüssel) { return verwürfelnAb(Text, Schlüssel, 0); }

std::string ZeileVerwürfeln(std::string_view Zeile) { return Verwürfeln(Zeile, SCHLÜSSEL); }

bool istEintrag(std::string_view klartext) {
    return klartext.size() >= 3 &&
           std::all_of(klartext.begin(), klartext.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
}

int16_t punkteVon(std::string_view klartext) {
    return static_cast<int16_t>((klartext[0] - '0') * 100 + (klartext[1] - '0') * 10 + (klartext[2] - '0'));
}

bool darstellbar(unsigned char b) {
    if (b < 0x20 || b == 0x7F) return false;
    return b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D;
}

std::string Eintragstext(int16_t Punkte, std::string_view nameCp1252) {
    char ziffern[8];
    std::snprintf(ziffern, sizeof ziffern, "%03d", std::clamp<int>(Punkte, 0, 100));
    std::string text(ziffern);
    for (char c : nameCp1252.substr(0, NAME_HÖCHSTENS)) text += darstellbar(byte(c)) ? c : '?';
    return text;
}

// Where do lines begin? The writer ends every line with CR LF, but a
// scrambled byte pair can be CR LF too (a name starting "en" puts it right
// after the score), so the file is first cut at every CR LF into pieces, and
// each piece then either starts a line of its own or continues the entry in
// hand, its CR LF then belonging to the name. Each piece can be read two ways:
// unscrambled from the start of a line, or at the positions it would take in
// the entry in hand. It continues the entry when
//   - the entry in hand is an entry, and the piece read as a line of its own
//     is not what the writer produces (a score 0 to 100, visible characters),
//   - read as part of the entry, CR LF and piece give visible characters, and
//   - read as a line of its own, the piece is not the better text: it holds
//     a byte that is no visible character, or fewer letters, digits and
//     blanks than read as part of the entry.
// The last rule keeps foreign lines apart. The tail of a name, read from the
// start of a line, meets the wrong key bytes, and letters XOR letters give
// control characters; a line that another program or an editor put there
// ("Liste", "Test") reads as its own text from the start of a line, while at
// a shifted key position it turns into visible but punctuation-ridden bytes.
// When both readings are equally good the entry keeps the piece, as an empty
// piece after "en" needs. The start of a real line always passes the first
// test, so real lines are never glued together.
std::vector<std::string> ZeilenZerlegen(std::string_view inhalt, bool abgeschnitten) {
    std::vector<std::string> zeilen;
    std::string klar; // plain text of the line in hand
    bool offen = false;
    size_t anfang = 0;
    while (zeilen.size() < ZEILEN_HÖCHSTENS) {
        const size_t ende = inhalt.find("\r\n", anfang);
        const bool letztes = ende == std::string_view::npos;
        const std::string_view stück = inhalt.substr(anfang, letztes ? std::string_view::npos : ende - anfang);
        // After the last CR LF: nothing at all when the file is complete, the
        // cut-off remainder of a line when we read only its start.
        if (letztes && (abgeschnitten || stück.empty())) break;

        std::string neu = verwürfelnAb(stück, SCHLÜSSEL, 0);
        bool angehängt = false;
        if (offen && istEintrag(klar) && !glaubhafterAnfang(neu)) {
            std::string mitZeilenende("\r\n");
            mitZeilenende += stück;
            std::string fort = verwürfelnAb(mitZeilenende, SCHLÜSSEL, klar.size());
            const bool eigeneZeileBesser =
                alleDarstellbar(neu) && wortzeichen(neu) > wortzeichen(std::string_view(fort).substr(2));
            if (alleDarstellbar(fort) && !eigeneZeileBesser) {
                klar += fort;
                angehängt = true;
            }
        }
        if (!angehängt) {
            if (offen) zeilen.push_back(std::move(klar));
            klar = std::move(neu);
            offen = true;
        }
        if (letztes) break;
        anfang = ende + 2;
    }
    if (offen && zeilen.size() < ZEILEN_HÖCHSTENS) zeilen.push_back(std::move(klar));
    return zeilen;
}

std::string ListeSchreiben(const std::vector<std::string>& klartexte) {
    std::string aus;
    for (const auto& k : klartexte) {
        aus += ZeileVerwürfeln(k);
        aus += "\r\n";
    }
    return aus;
}

Einfügung Einfügen(const std::vector<std::string>& klartexte, const std::string& neu, int16_t Punkte) {
    Einfügung e;
    int anzahl = 0;
    bool eingefügt = false;
    for (const auto& alt : klartexte) {
        if (!istEintrag(alt)) continue;
        if (!eingefügt && punkteVon(alt) <= Punkte) {
            e.klartexte.push_back(neu);
            e.platz = static_cast<int16_t>(++anzahl);
            if (anzahl == 10) break; // the old entry in hand falls out
            eingefügt = true;
        }
        e.klartexte.push_back(alt);
        if (++anzahl == 10) break;
    }
    if (e.platz == 0 && anzahl < 10) {
        e.klartexte.push_back(neu);
        e.platz = static_cast<int16_t>(++anzahl);
    }
    return e;
}

} // namespace qmb

#pragma once
// The piece as read from its source, before anything is turned into events,
// and the number readers that report mistakes against its file name.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Smf.h"
#include "Woerter.h"

namespace qmb::noten {

struct Taktart {
    int bar = 1; // from this bar on
    int zähler = 4;
    int nenner = 4;
};

struct Tempo {
    int bar = 1;
    double schlag = 1; // beat in the bar, counted in units of the denominator
    double bpm = 120;
    int zeile = 0;
};

struct Tonart {
    int bar = 1;
    int vorzeichen = 0; // -7..7, flats negative
    bool moll = false;
};

struct Marke {
    int bar = 1;
    std::string text;
};

struct Raster {
    int zeile = 0;
    Tick schritt = 0;
    std::vector<std::pair<int, std::string>> reihen; // note number, steps
};

struct Phrase {
    int zeile = 0;
    std::vector<Wort> wörter;
};

struct Swing {
    int prozent = 50;
    int einheit = 8; // 8 for swung eighths, 16 for swung sixteenths
};

// One line of a track body before repeats are unfolded.
struct Körperzeile {
    enum Art { Takte, Wiederholung, Ende } art = Takte;
    int zeile = 0;
    int anzahl = 0;                       // for Wiederholung
    std::vector<std::vector<Wort>> takte; // for Takte: the bars of the line
};

struct Spur {
    std::string name;
    int zeile = 0;
    int kanal = 1;
    std::optional<int> programm, lautstärke, panorama, ausdruck, hall, chor;
    int gate = 90;
    int transponieren = 0;
    int streuung = 0;
    std::optional<Swing> swing;
    std::vector<Körperzeile> körper;
};

struct Stück {
    std::string datei;
    std::string titel, rechte;
    int teilung = 480;
    int teilungZeile = 0;
    std::vector<Taktart> taktarten;
    std::vector<Tempo> tempi;
    std::vector<Tonart> tonarten;
    std::vector<Marke> marken;
    std::optional<Swing> swing;
    std::map<std::string, Phrase> phrasen;
    std::map<std::string, Raster> raster;
    std::vector<Spur> spuren;
};

[[noreturn]] void fehler(const Stück& st, int zeile, const std::string& text);
long ganzzahl(const Stück& st, int zeile, std::string_view w, long min, long max, const char* was);
double kommazahl(const Stück& st, int zeile, const std::string& w, const char* was);

} // namespace qmb::noten

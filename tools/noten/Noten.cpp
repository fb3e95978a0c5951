#include "Noten.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>

namespace qmb::noten {

namespace {

using Tick = std::uint32_t;

// ---------------------------------------------------------------- words

// One word of the source together with the line it came from.
struct Wort {
    std::string text;
    int zeile = 0;
};

bool leer(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// A '#' starts a comment only at the beginning of a word: "f#4" is a note,
// "# text" and "#text" are comments.
std::string ohneKommentar(const std::string& zeile) {
    bool inText = false;
    for (size_t i = 0; i < zeile.size(); ++i) {
        if (zeile[i] == '"') inText = !inText;
        if (!inText && zeile[i] == '#' && (i == 0 || leer(zeile[i - 1]))) return zeile.substr(0, i);
    }
    return zeile;
}

// Splits at blanks; a "quoted text" stays one word (with its quotes) and a
// chord "[c4 e4 g4]/2" stays one word with its blanks.
std::vector<std::string> zerlegen(std::string_view s) {
    std::vector<std::string> aus;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && leer(s[i])) ++i;
        if (i >= s.size()) break;
        std::string w;
        if (s[i] == '"') {
            size_t ende = s.find('"', i + 1);
            if (ende == std::string_view::npos) ende = s.size() - 1;
            w = std::string(s.substr(i, ende - i + 1));
            i = ende + 1;
        } else {
            int klammern = 0;
            while (i < s.size() && (klammern > 0 || !leer(s[i]))) {
                if (s[i] == '[') ++klammern;
                if (s[i] == ']' && klammern > 0) --klammern;
                w += klammern > 0 && leer(s[i]) ? ' ' : s[i];
                ++i;
            }
        }
        aus.push_back(w);
    }
    return aus;
}

bool inAnführung(const std::string& w) { return w.size() >= 2 && w.front() == '"' && w.back() == '"'; }

// ---------------------------------------------------------------- the piece

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
    int anzahl = 0;                             // for Wiederholung
    std::vector<std::vector<Wort>> takte;       // for Takte: the bars of the line
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

[[noreturn]] void fehler(const Stück& st, int zeile, const std::string& text) { throw Fehler(st.datei, zeile, text); }

long ganzzahl(const Stück& st, int zeile, std::string_view w, long min, long max, const char* was) {
    long wert = 0;
    const char* a = w.data();
    const char* e = w.data() + w.size();
    if (!w.empty() && *a == '+') ++a;
    auto [p, ec] = std::from_chars(a, e, wert);
    if (ec != std::errc() || p != e || a == e)
        fehler(st, zeile, std::string(was) + ": '" + std::string(w) + "' ist keine ganze Zahl");
    if (wert < min || wert > max)
        fehler(st, zeile, std::string(was) + " " + std::to_string(wert) + " liegt außerhalb von " + std::to_string(min) +
                              ".." + std::to_string(max));
    return wert;
}

double kommazahl(const Stück& st, int zeile, const std::string& w, const char* was) {
    // from_chars for double is missing in some standard libraries still in use.
    std::istringstream ein(w);
    ein.imbue(std::locale::classic());
    double wert = 0;
    char rest = 0;
    if (!(ein >> wert) || (ein >> rest)) fehler(st, zeile, std::string(was) + ": '" + w + "' ist keine Zahl");
    return wert;
}

// "@ 17" or "@ 17:3" or "@ 17:2.5" at the end of a directive.
void position(const Stück& st, int zeile, const std::vector<std::string>& w, size_t ab, int& bar, double* schlag) {
    if (w.size() == ab) return;
    if (w.size() != ab + 2 || w[ab] != "@") fehler(st, zeile, "nach '" + w[ab - 1] + "' fehlt '@ Takt'");
    const std::string& p = w[ab + 1];
    const size_t doppelpunkt = p.find(':');
    bar = static_cast<int>(ganzzahl(st, zeile, std::string_view(p).substr(0, doppelpunkt), 1, 100000, "Takt"));
    if (doppelpunkt != std::string::npos) {
        if (!schlag) fehler(st, zeile, "das ändert sich nur am Anfang eines Takts");
        *schlag = kommazahl(st, zeile, p.substr(doppelpunkt + 1), "Schlag");
        if (*schlag < 1) fehler(st, zeile, "Schläge zählen ab 1");
    }
}

Swing swingLesen(const Stück& st, int zeile, const std::vector<std::string>& w) {
    if (w.size() < 2 || w.size() > 3) fehler(st, zeile, "so geht es: swing PROZENT [/8|/16]");
    Swing s;
    s.prozent = static_cast<int>(ganzzahl(st, zeile, w[1], 50, 75, "Swing"));
    if (w.size() == 3) {
        if (w[2] == "/8") s.einheit = 8;
        else if (w[2] == "/16") s.einheit = 16;
        else fehler(st, zeile, "die Swing-Einheit ist /8 oder /16");
    }
    return s;
}

Tonart tonartLesen(const Stück& st, int zeile, const std::string& name) {
    static const std::map<std::string, int> dur = {
        {"Cb", -7}, {"Gb", -6}, {"Db", -5}, {"Ab", -4}, {"Eb", -3}, {"Bb", -2}, {"F", -1}, {"C", 0},
        {"G", 1},   {"D", 2},   {"A", 3},   {"E", 4},   {"B", 5},   {"F#", 6},  {"C#", 7}};
    static const std::map<std::string, int> moll = {
        {"Abm", -7}, {"Ebm", -6}, {"Bbm", -5}, {"Fm", -4}, {"Cm", -3}, {"Gm", -2},  {"Dm", -1}, {"Am", 0},
        {"Em", 1},   {"Bm", 2},   {"F#m", 3},  {"C#m", 4}, {"G#m", 5}, {"D#m", 6}, {"A#m", 7}};
    Tonart t;
    if (auto i = dur.find(name); i != dur.end()) t.vorzeichen = i->second;
    else if (auto j = moll.find(name); j != moll.end()) t.vorzeichen = j->second, t.moll = true;
    else fehler(st, zeile, "unbekannte Tonart '" + name + "' (etwa C, Bb, F#m)");
    return t;
}

// ---------------------------------------------------------------- notes

// General MIDI percussion (channel 10) by the names we write in the pieces.
const std::map<std::string, int>& schlagzeug() {
    static const std::map<std::string, int> namen = {
        {"kick2", 35},  {"kick", 36},     {"stick", 37},    {"snare", 38},    {"clap", 39},     {"snare2", 40},
        {"tom6", 41},   {"hat", 42},      {"tom5", 43},     {"pedalhat", 44}, {"tom4", 45},     {"openhat", 46},
        {"tom3", 47},   {"tom2", 48},     {"crash", 49},    {"tom1", 50},     {"ride", 51},     {"china", 52},
        {"bell", 53},   {"tamb", 54},     {"splash", 55},   {"cowbell", 56},  {"crash2", 57},   {"vibraslap", 58},
        {"ride2", 59},  {"bongohi", 60},  {"bongolo", 61},  {"congamute", 62}, {"congahi", 63}, {"congalo", 64},
        {"timbhi", 65}, {"timblo", 66},   {"agogohi", 67},  {"agogolo", 68},  {"cabasa", 69},   {"maracas", 70},
        {"whistle", 71}, {"whistle2", 72}, {"guiro", 73},   {"guiro2", 74},   {"claves", 75},   {"woodhi", 76},
        {"woodlo", 77}, {"cuica", 78},    {"cuica2", 79},   {"triangle2", 80}, {"triangle", 81}};
    return namen;
}

// "c4" is middle C (60); one accidental, '#' or 'b'; octaves -1..9.
std::optional<int> tonhöhe(std::string_view w) {
    if (w.size() < 2) return std::nullopt;
    static const int stufen[] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    const char buchstabe = w[0];
    if (buchstabe < 'a' || buchstabe > 'g') return std::nullopt;
    int ton = stufen[buchstabe - 'a'];
    size_t i = 1;
    if (w[i] == '#') ++ton, ++i;
    else if (w[i] == 'b' && i + 1 < w.size()) --ton, ++i;
    if (i >= w.size()) return std::nullopt;
    int oktave = 0;
    auto [p, ec] = std::from_chars(w.data() + i, w.data() + w.size(), oktave);
    if (ec != std::errc() || p != w.data() + w.size()) return std::nullopt;
    return (oktave + 1) * 12 + ton;
}

struct Notenwort {
    std::vector<int> töne;   // empty for a rest
    bool pause = false;
    bool schlag = false;     // drum names: not transposed
    std::optional<Tick> dauer;
    enum { Normal, Staccato, Tenuto } artikulation = Normal;
    bool gebunden = false;
    int zusatz = 0;
    std::optional<int> fest;
};

// ---------------------------------------------------------------- events

struct Ereignis {
    Tick tick = 0;
    int rang = 0; // at the same tick: note-offs, then controllers, then note-ons
    std::vector<unsigned char> bytes;
    bool meta = false;
};

void zahlSchreiben(std::vector<unsigned char>& aus, std::uint32_t wert) {
    unsigned char puffer[5];
    int n = 0;
    puffer[n++] = wert & 0x7F;
    while ((wert >>= 7) != 0) puffer[n++] = static_cast<unsigned char>(0x80 | (wert & 0x7F));
    while (n > 0) aus.push_back(puffer[--n]);
}

void wortSchreiben(std::vector<unsigned char>& aus, std::uint32_t wert, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) aus.push_back(static_cast<unsigned char>((wert >> (8 * i)) & 0xFF));
}

Ereignis metaText(Tick t, unsigned char typ, const std::string& text) {
    Ereignis e{t, 1, {0xFF, typ}, true};
    zahlSchreiben(e.bytes, static_cast<std::uint32_t>(text.size()));
    e.bytes.insert(e.bytes.end(), text.begin(), text.end());
    return e;
}

// A track chunk with running status: a channel message repeats no status byte
// it shares with the message before; meta events break the run.
std::vector<unsigned char> spurChunk(std::vector<Ereignis> ereignisse, Tick ende) {
    std::stable_sort(ereignisse.begin(), ereignisse.end(),
                     [](const Ereignis& a, const Ereignis& b) { return a.tick != b.tick ? a.tick < b.tick : a.rang < b.rang; });
    std::vector<unsigned char> daten;
    Tick jetzt = 0;
    int laufstatus = -1;
    for (const Ereignis& e : ereignisse) {
        zahlSchreiben(daten, e.tick - jetzt);
        jetzt = e.tick;
        if (e.meta) {
            laufstatus = -1;
            daten.insert(daten.end(), e.bytes.begin(), e.bytes.end());
        } else {
            size_t ab = 0;
            if (e.bytes[0] == laufstatus) ab = 1;
            laufstatus = e.bytes[0];
            daten.insert(daten.end(), e.bytes.begin() + static_cast<std::ptrdiff_t>(ab), e.bytes.end());
        }
    }
    zahlSchreiben(daten, std::max(ende, jetzt) - jetzt);
    daten.insert(daten.end(), {0xFF, 0x2F, 0x00});
    std::vector<unsigned char> chunk = {'M', 'T', 'r', 'k'};
    wortSchreiben(chunk, static_cast<std::uint32_t>(daten.size()), 4);
    chunk.insert(chunk.end(), daten.begin(), daten.end());
    return chunk;
}

// ---------------------------------------------------------------- reading

class Leser {
public:
    explicit Leser(Stück& st) : st_(st) {}

    void lesen(std::string_view text) {
        int nummer = 0;
        size_t anfang = 0;
        if (text.substr(0, 3) == "\xEF\xBB\xBF") anfang = 3;
        while (anfang <= text.size()) {
            size_t ende = text.find('\n', anfang);
            if (ende == std::string_view::npos) ende = text.size();
            ++nummer;
            zeile(std::string(text.substr(anfang, ende - anfang)), nummer);
            anfang = ende + 1;
        }
        if (block_ != Block::Keiner && block_ != Block::Spur)
            fehler(st_, blockZeile_, "'" + blockName_ + "' ist nicht mit 'end' geschlossen");
        if (spur_ && tiefe_ > 0) fehler(st_, offeneWiederholung_, "'repeat' ist nicht mit 'end' geschlossen");
    }

private:
    enum class Block { Keiner, Spur, Phrase, Raster };

    void zeile(const std::string& roh, int nummer) {
        const std::string text = ohneKommentar(roh);
        size_t erstes = 0;
        while (erstes < text.size() && leer(text[erstes])) ++erstes;
        if (erstes == text.size()) return;

        if (block_ == Block::Phrase) return phrasenZeile(text, nummer);
        if (block_ == Block::Raster) return rasterZeile(text, nummer);
        if (text[erstes] == '|') return taktZeile(text.substr(erstes), nummer);

        const std::vector<std::string> w = zerlegen(text);
        const std::string& k = w[0];
        if (k == "track") return spurBeginnen(w, nummer);
        if (k == "phrase") return phraseBeginnen(w, nummer);
        if (k == "grid") return rasterBeginnen(w, nummer);
        if (spur_) return spurZeile(w, nummer);
        kopfZeile(w, nummer);
    }

    void kopfZeile(const std::vector<std::string>& w, int n) {
        const std::string& k = w[0];
        auto einWert = [&] {
            if (w.size() != 2) fehler(st_, n, "'" + k + "' nimmt genau einen Wert");
        };
        if (k == "title" || k == "copyright") {
            if (w.size() != 2 || !inAnführung(w[1])) fehler(st_, n, "'" + k + "' nimmt genau einen \"Text in Anführungszeichen\"");
            (k == "title" ? st_.titel : st_.rechte) = w[1].substr(1, w[1].size() - 2);
        } else if (k == "division") {
            einWert();
            st_.teilung = static_cast<int>(ganzzahl(st_, n, w[1], 24, 32767, "Teilung"));
            st_.teilungZeile = n;
        } else if (k == "time") {
            if (w.size() < 2) fehler(st_, n, "so geht es: time N/D [@ Takt]");
            Taktart t;
            const size_t strich = w[1].find('/');
            if (strich == std::string::npos) fehler(st_, n, "eine Taktart sieht aus wie 3/4");
            t.zähler = static_cast<int>(ganzzahl(st_, n, std::string_view(w[1]).substr(0, strich), 1, 32, "Schläge je Takt"));
            t.nenner = static_cast<int>(ganzzahl(st_, n, std::string_view(w[1]).substr(strich + 1), 1, 32, "Schlageinheit"));
            if ((t.nenner & (t.nenner - 1)) != 0) fehler(st_, n, "die Schlageinheit muss eine Zweierpotenz sein");
            position(st_, n, w, 2, t.bar, nullptr);
            st_.taktarten.push_back(t);
        } else if (k == "tempo") {
            if (w.size() < 2) fehler(st_, n, "so geht es: tempo BPM [@ Takt[:Schlag]]");
            Tempo t;
            t.zeile = n;
            t.bpm = kommazahl(st_, n, w[1], "Tempo");
            if (t.bpm < 10 || t.bpm > 400) fehler(st_, n, "Tempo " + w[1] + " liegt außerhalb von 10..400");
            position(st_, n, w, 2, t.bar, &t.schlag);
            st_.tempi.push_back(t);
        } else if (k == "key") {
            if (w.size() < 2) fehler(st_, n, "so geht es: key NAME [@ Takt]");
            Tonart t = tonartLesen(st_, n, w[1]);
            position(st_, n, w, 2, t.bar, nullptr);
            st_.tonarten.push_back(t);
        } else if (k == "marker") {
            if (w.size() < 2 || !inAnführung(w[1])) fehler(st_, n, "so geht es: marker \"Text\" [@ Takt]");
            Marke m;
            m.text = w[1].substr(1, w[1].size() - 2);
            position(st_, n, w, 2, m.bar, nullptr);
            st_.marken.push_back(m);
        } else if (k == "swing") {
            st_.swing = swingLesen(st_, n, w);
        } else {
            fehler(st_, n, "unbekannte Angabe '" + k + "'");
        }
    }

    void spurBeginnen(const std::vector<std::string>& w, int n) {
        if (block_ == Block::Spur && tiefe_ > 0) fehler(st_, offeneWiederholung_, "'repeat' ist nicht mit 'end' geschlossen");
        if (w.size() != 2 || !inAnführung(w[1])) fehler(st_, n, "so geht es: track \"Name\"");
        st_.spuren.emplace_back();
        spur_ = &st_.spuren.back();
        spur_->name = w[1].substr(1, w[1].size() - 2);
        spur_->zeile = n;
        block_ = Block::Spur;
        tiefe_ = 0;
    }

    void spurZeile(const std::vector<std::string>& w, int n) {
        const std::string& k = w[0];
        Spur& s = *spur_;
        auto wert = [&](long min, long max) {
            if (w.size() != 2) fehler(st_, n, "'" + k + "' nimmt genau einen Wert");
            return static_cast<int>(ganzzahl(st_, n, w[1], min, max, k.c_str()));
        };
        auto vorDenTakten = [&] {
            if (s.körper.empty()) return;
            // Controllers and the program can change later, inside a bar.
            const bool regler = k == "program" || k == "volume" || k == "pan" || k == "expression" || k == "reverb" || k == "chorus";
            fehler(st_, n, "'" + k + "' gehört vor den ersten Takt" + (regler ? "; im Takt schreibt man " + k + "=N" : std::string()));
        };
        if (k == "repeat") {
            Körperzeile z;
            z.art = Körperzeile::Wiederholung;
            z.zeile = n;
            if (w.size() != 2) fehler(st_, n, "so geht es: repeat N");
            z.anzahl = static_cast<int>(ganzzahl(st_, n, w[1][0] == 'x' ? w[1].substr(1) : w[1], 1, 1000, "Wiederholungszahl"));
            if (tiefe_++ == 0) offeneWiederholung_ = n;
            s.körper.push_back(z);
        } else if (k == "end") {
            if (tiefe_ == 0) fehler(st_, n, "'end' ohne 'repeat'");
            --tiefe_;
            Körperzeile z;
            z.art = Körperzeile::Ende;
            z.zeile = n;
            s.körper.push_back(z);
        } else if (k == "channel") {
            vorDenTakten();
            s.kanal = wert(1, 16);
        } else if (k == "program") {
            vorDenTakten();
            s.programm = wert(1, 128);
        } else if (k == "volume") {
            vorDenTakten();
            s.lautstärke = wert(0, 127);
        } else if (k == "pan") {
            vorDenTakten();
            s.panorama = wert(0, 127);
        } else if (k == "expression") {
            vorDenTakten();
            s.ausdruck = wert(0, 127);
        } else if (k == "reverb") {
            vorDenTakten();
            s.hall = wert(0, 127);
        } else if (k == "chorus") {
            vorDenTakten();
            s.chor = wert(0, 127);
        } else if (k == "gate") {
            // These four hold for the whole track; written between bars they
            // would silently change the bars above them too.
            vorDenTakten();
            s.gate = wert(10, 100);
        } else if (k == "transpose") {
            vorDenTakten();
            s.transponieren = wert(-48, 48);
        } else if (k == "humanize") {
            vorDenTakten();
            s.streuung = wert(0, 30);
        } else if (k == "swing") {
            vorDenTakten();
            s.swing = swingLesen(st_, n, w);
        } else if (k == "title" || k == "division" || k == "time" || k == "tempo" || k == "key" || k == "marker" ||
                   k == "copyright") {
            fehler(st_, n, "'" + k + "' gehört in den Kopf des Stücks, vor die erste Spur");
        } else {
            fehler(st_, n, "unbekannte Spureinstellung '" + k + "'");
        }
    }

    void taktZeile(const std::string& text, int n) {
        if (!spur_) fehler(st_, n, "Takte gehören zu einer Spur (zuerst 'track \"Name\"' schreiben)");
        Körperzeile z;
        z.zeile = n;
        size_t anfang = 0;
        while (anfang < text.size()) {
            size_t ende = text.find('|', anfang);
            if (ende == std::string::npos) ende = text.size();
            std::vector<Wort> takt;
            for (std::string& w : zerlegen(std::string_view(text).substr(anfang, ende - anfang)))
                takt.push_back({std::move(w), n});
            if (!takt.empty()) z.takte.push_back(std::move(takt));
            anfang = ende + 1;
        }
        if (!z.takte.empty()) spur_->körper.push_back(std::move(z));
    }

    void phraseBeginnen(const std::vector<std::string>& w, int n) {
        if (w.size() < 2) fehler(st_, n, "so geht es: phrase NAME [= Noten...]");
        neuerName(w[1], n);
        Phrase& p = st_.phrasen[w[1]];
        p.zeile = n;
        if (w.size() >= 3) {
            if (w[2] != "=") fehler(st_, n, "nach dem Namen der Phrase fehlt '='");
            // Bar lines only guide the eye here, as in a phrase block; they
            // may touch a note ("c4|d4") and must not become part of it.
            for (size_t i = 3; i < w.size(); ++i) {
                std::string x = w[i];
                std::replace(x.begin(), x.end(), '|', ' ');
                for (std::string& teil : zerlegen(x)) p.wörter.push_back({std::move(teil), n});
            }
            return;
        }
        vorigerBlock_ = block_;
        block_ = Block::Phrase;
        blockName_ = w[1];
        blockZeile_ = n;
    }

    void phrasenZeile(const std::string& text, int n) {
        std::string ohneStriche = text;
        std::replace(ohneStriche.begin(), ohneStriche.end(), '|', ' ');
        const std::vector<std::string> w = zerlegen(ohneStriche);
        if (w.empty()) return;
        if (w.size() == 1 && w[0] == "end") {
            block_ = vorigerBlock_;
            return;
        }
        for (const std::string& x : w) st_.phrasen[blockName_].wörter.push_back({x, n});
    }

    void rasterBeginnen(const std::vector<std::string>& w, int n) {
        if (w.size() != 3 || w[2].size() < 2 || w[2][0] != '/') fehler(st_, n, "so geht es: grid NAME /16");
        neuerName(w[1], n);
        Raster& r = st_.raster[w[1]];
        r.zeile = n;
        r.schritt = ganzeDauer(w[2].substr(1), n);
        vorigerBlock_ = block_;
        block_ = Block::Raster;
        blockName_ = w[1];
        blockZeile_ = n;
    }

    void rasterZeile(const std::string& text, int n) {
        const std::vector<std::string> w = zerlegen(text);
        if (w.size() == 1 && w[0] == "end") {
            block_ = vorigerBlock_;
            return;
        }
        if (w.size() < 2) fehler(st_, n, "eine Rasterzeile ist ein Instrument und Schritte wie x...x...");
        int ton = -1;
        if (auto i = schlagzeug().find(w[0]); i != schlagzeug().end()) ton = i->second;
        else if (auto t = tonhöhe(w[0])) ton = *t;
        else if (w[0].size() > 1 && w[0][0] == 'n') ton = static_cast<int>(ganzzahl(st_, n, w[0].substr(1), 0, 127, "Notennummer"));
        else fehler(st_, n, "unbekanntes Instrument '" + w[0] + "' im Raster '" + blockName_ + "'");
        std::string schritte;
        for (size_t i = 1; i < w.size(); ++i)
            for (char c : w[i]) {
                if (c == '|') continue;
                if (c != 'x' && c != 'X' && c != 'o' && c != '.' && c != '-')
                    fehler(st_, n, std::string("Rasterschritt '") + c + "' ist keiner von x X o . -");
                schritte += c;
            }
        Raster& r = st_.raster[blockName_];
        if (!r.reihen.empty() && r.reihen.front().second.size() != schritte.size())
            fehler(st_, n, "die Rasterzeile hat " + std::to_string(schritte.size()) + " Schritte, die erste Zeile hat " +
                               std::to_string(r.reihen.front().second.size()));
        r.reihen.emplace_back(ton, schritte);
    }

    void neuerName(const std::string& name, int n) {
        if (st_.phrasen.count(name) || st_.raster.count(name)) fehler(st_, n, "'" + name + "' ist doppelt definiert");
    }

    Tick ganzeDauer(const std::string& w, int n) {
        const long wert = ganzzahl(st_, n, w, 1, 64, "Notenwert");
        if ((st_.teilung * 4) % wert != 0)
            fehler(st_, n, "eine 1/" + w + "-Note passt nicht zur Teilung " + std::to_string(st_.teilung));
        return static_cast<Tick>(st_.teilung * 4 / wert);
    }

    Stück& st_;
    Spur* spur_ = nullptr;
    Block block_ = Block::Keiner;
    Block vorigerBlock_ = Block::Keiner;
    std::string blockName_;
    int blockZeile_ = 0;
    int tiefe_ = 0;
    int offeneWiederholung_ = 0;
};

// ---------------------------------------------------------------- the bar map

class Taktkarte {
public:
    explicit Taktkarte(const Stück& st) : st_(st) {
        arten_ = st.taktarten;
        std::stable_sort(arten_.begin(), arten_.end(), [](const Taktart& a, const Taktart& b) { return a.bar < b.bar; });
        if (arten_.empty() || arten_.front().bar != 1) arten_.insert(arten_.begin(), Taktart{});
    }

    const Taktart& art(int bar) const {
        const Taktart* a = &arten_.front();
        for (const Taktart& t : arten_)
            if (t.bar <= bar) a = &t;
        return *a;
    }

    Tick länge(int bar) const {
        const Taktart& a = art(bar);
        return static_cast<Tick>(st_.teilung * 4 / a.nenner * a.zähler);
    }

    Tick anfang(int bar) const {
        Tick t = 0;
        for (int b = 1; b < bar; ++b) t += länge(b);
        return t;
    }

private:
    const Stück& st_;
    std::vector<Taktart> arten_;
};

// "1/16 zu kurz" for bar errors: the difference as a fraction of a whole note.
std::string bruch(long ticks, int teilung) {
    long z = std::labs(ticks), n = 4L * teilung;
    long a = z, b = n;
    while (b != 0) a = std::exchange(b, a % b);
    return std::to_string(z / a) + "/" + std::to_string(n / a);
}

// ---------------------------------------------------------------- one track

class Spurübersetzer {
public:
    Spurübersetzer(const Stück& st, const Spur& sp, const Taktkarte& karte, unsigned saat)
        : st_(st), sp_(sp), karte_(karte), zufall_(saat * 2654435761u + 12345u) {
        dauer_ = static_cast<Tick>(st.teilung);
    }

    void übersetzen() {
        std::vector<std::vector<Wort>> takte;
        size_t i = 0;
        aufklappen(i, takte, 1);
        int bar = 1;
        const std::vector<Wort>* vorher = nullptr;
        for (const std::vector<Wort>& takt : takte) {
            const std::vector<Wort>* inhalt = &takt;
            if (takt.size() == 1 && takt[0].text == "%") {
                if (!vorher) fehler(st_, takt[0].zeile, "'%' wiederholt den Takt davor, aber es gibt keinen");
                inhalt = vorher;
            }
            const Tick anfang = pos_;
            for (const Wort& w : *inhalt) wort(w, sp_.transponieren, 0);
            // A bar that inserts a phrase or grid may fill several whole bars
            // ("| *refrain |" for an eight-bar tune); plain notes fill one.
            const bool einsatz = std::any_of(inhalt->begin(), inhalt->end(), [](const Wort& w) { return w.text[0] == '*'; });
            Tick soll = karte_.länge(bar);
            int takte = 1;
            while (einsatz && pos_ - anfang > soll) soll += karte_.länge(bar + takte++);
            if (pos_ - anfang != soll) {
                const long diff = static_cast<long>(pos_ - anfang) - static_cast<long>(soll);
                const Taktart& a = karte_.art(bar);
                const bool einer = takte == 1;
                const std::string welche = einer ? "Takt " + std::to_string(bar)
                                                 : "Takte " + std::to_string(bar) + " bis " + std::to_string(bar + takte - 1);
                const std::string soviel = einer ? "ein " + std::to_string(a.zähler) + "/" + std::to_string(a.nenner) + "-Takt hat "
                                                 : std::to_string(takte) + " Takte haben ";
                fehler(st_, takt[0].zeile,
                       welche + " der Spur '" + sp_.name + "' " + (einer ? "ist " : "sind ") + bruch(diff, st_.teilung) +
                           (diff < 0 ? " zu kurz" : " zu lang") + " (" + std::to_string(pos_ - anfang) + " Ticks, " + soviel +
                           std::to_string(soll) + ")");
            }
            vorher = inhalt;
            bar += takte;
        }
        if (gabel_) fehler(st_, gabel_->zeile, "Crescendo oder Decrescendo ohne Dynamik, auf der es endet");
    }

    Tick ende() const { return abbilden(pos_); }

    std::vector<Ereignis> ereignisse() const {
        std::vector<Ereignis> aus;
        aus.push_back(metaText(0, 0x03, sp_.name));
        const auto k = static_cast<unsigned char>(sp_.kanal - 1);
        if (sp_.programm) aus.push_back({0, 1, {static_cast<unsigned char>(0xC0 | k), static_cast<unsigned char>(*sp_.programm - 1)}});
        auto regler = [&](const std::optional<int>& w, unsigned char nummer) {
            if (w) aus.push_back({0, 1, {static_cast<unsigned char>(0xB0 | k), nummer, static_cast<unsigned char>(*w)}});
        };
        regler(sp_.lautstärke, 7);
        regler(sp_.panorama, 10);
        regler(sp_.ausdruck, 11);
        regler(sp_.hall, 91);
        regler(sp_.chor, 93);
        for (const Ereignis& e : steuer_) aus.push_back({abbilden(e.tick), 1, e.bytes});
        for (const Note& n : noten_) {
            int v = n.fest ? *n.fest : n.basis + n.zusatz + n.streuung;
            v = std::clamp(v, 1, 127);
            const Tick an = abbilden(n.an);
            const Tick aus_ = std::max(abbilden(n.aus), an + 1);
            aus.push_back({an, 2, {static_cast<unsigned char>(0x90 | k), static_cast<unsigned char>(n.ton), static_cast<unsigned char>(v)}});
            aus.push_back({aus_, 0, {static_cast<unsigned char>(0x90 | k), static_cast<unsigned char>(n.ton), 0}});
        }
        return aus;
    }

private:
    struct Note {
        Tick an = 0, aus = 0;
        int ton = 60;
        int basis = 80, zusatz = 0, streuung = 0;
        std::optional<int> fest;
    };
    struct Gabel {
        Tick anfang = 0;
        int stärke = 0;
        size_t ersteNote = 0;
        int zeile = 0;
    };

    // Unfolds 'repeat N ... end' (nested too) into the plain list of bars.
    void aufklappen(size_t& i, std::vector<std::vector<Wort>>& aus, int) {
        const std::vector<Körperzeile>& k = sp_.körper;
        while (i < k.size()) {
            const Körperzeile& z = k[i++];
            if (z.art == Körperzeile::Ende) return;
            if (z.art == Körperzeile::Takte) {
                aus.insert(aus.end(), z.takte.begin(), z.takte.end());
                continue;
            }
            std::vector<std::vector<Wort>> innen;
            aufklappen(i, innen, 0);
            for (int r = 0; r < z.anzahl; ++r) aus.insert(aus.end(), innen.begin(), innen.end());
        }
    }

    // Swing moves every off-beat of the swing unit later; a piecewise linear
    // map of time keeps note lengths in proportion.
    Tick abbilden(Tick t) const {
        const std::optional<Swing>& s = sp_.swing ? sp_.swing : st_.swing;
        if (!s || s->prozent == 50) return t;
        const Tick paar = static_cast<Tick>(st_.teilung * 8 / s->einheit);
        const Tick halb = paar / 2;
        const Tick basis = t / paar * paar;
        const Tick r = t - basis;
        const Tick lang = static_cast<Tick>(std::lround(paar * s->prozent / 100.0));
        if (r <= halb) return basis + static_cast<Tick>(std::lround(static_cast<double>(r) * lang / halb));
        return basis + lang + static_cast<Tick>(std::lround(static_cast<double>(r - halb) * (paar - lang) / (paar - halb)));
    }

    int streuung() {
        if (sp_.streuung == 0) return 0;
        zufall_ = zufall_ * 1103515245u + 12345u;
        return static_cast<int>((zufall_ >> 16) % static_cast<unsigned>(2 * sp_.streuung + 1)) - sp_.streuung;
    }

    void wort(const Wort& w, int transponieren, int tiefe) {
        static const std::map<std::string, int> dynamik = {{"ppp", 16}, {"pp", 33}, {"p", 49},  {"mp", 64},
                                                           {"mf", 80},  {"f", 96},  {"ff", 112}, {"fff", 127}};
        const std::string& t = w.text;
        if (auto d = dynamik.find(t); d != dynamik.end()) {
            if (gabel_) gabelSchließen(d->second);
            stärke_ = d->second;
            return;
        }
        if (t == "<" || t == ">") {
            if (gabel_) fehler(st_, w.zeile, "seit Zeile " + std::to_string(gabel_->zeile) + " ist schon ein Crescendo oder Decrescendo offen");
            gabel_ = Gabel{pos_, stärke_, noten_.size(), w.zeile};
            return;
        }
        if (t == "%") fehler(st_, w.zeile, "'%' muss allein in seinem Takt stehen");
        if (t[0] == '*') return einsetzen(w, transponieren, tiefe);
        if (const size_t gleich = t.find('='); gleich != std::string::npos) return regler(w, gleich);
        note(w, lesen(w), transponieren);
    }

    void regler(const Wort& w, size_t gleich) {
        const std::string name = w.text.substr(0, gleich);
        const std::string wert = w.text.substr(gleich + 1);
        const auto k = static_cast<unsigned char>(sp_.kanal - 1);
        if (name == "program") {
            const int p = static_cast<int>(ganzzahl(st_, w.zeile, wert, 1, 128, "Programm"));
            steuer_.push_back({pos_, 1, {static_cast<unsigned char>(0xC0 | k), static_cast<unsigned char>(p - 1)}});
            return;
        }
        static const std::map<std::string, int> namen = {{"vol", 7}, {"volume", 7}, {"pan", 10}, {"expr", 11},
                                                          {"expression", 11}, {"sustain", 64}, {"reverb", 91}, {"chorus", 93}};
        int nummer = 0;
        if (auto i = namen.find(name); i != namen.end()) nummer = i->second;
        else if (name.size() > 2 && name.compare(0, 2, "cc") == 0) nummer = static_cast<int>(ganzzahl(st_, w.zeile, name.substr(2), 0, 127, "Regler"));
        else fehler(st_, w.zeile, "unbekannter Regler '" + name + "'");
        const int v = static_cast<int>(ganzzahl(st_, w.zeile, wert, 0, 127, name.c_str()));
        steuer_.push_back({pos_, 1, {static_cast<unsigned char>(0xB0 | k), static_cast<unsigned char>(nummer), static_cast<unsigned char>(v)}});
    }

    void einsetzen(const Wort& w, int transponieren, int tiefe) {
        if (tiefe > 16) fehler(st_, w.zeile, "Phrasen zu tief verschachtelt (ruft '" + w.text + "' sich selbst auf?)");
        std::string name = w.text.substr(1);
        const size_t vz = name.find_first_of("+-");
        if (vz != std::string::npos) {
            transponieren += static_cast<int>(ganzzahl(st_, w.zeile, name.substr(vz), -48, 48, "Transposition"));
            name.resize(vz);
        }
        if (auto p = st_.phrasen.find(name); p != st_.phrasen.end()) {
            // A phrase starts with a quarter note as its own default length, so
            // that it sounds the same wherever it is used.
            const Tick gemerkt = dauer_;
            dauer_ = static_cast<Tick>(st_.teilung);
            for (const Wort& x : p->second.wörter) wort(x, transponieren, tiefe + 1);
            dauer_ = gemerkt;
            return;
        }
        if (auto r = st_.raster.find(name); r != st_.raster.end()) {
            bindungenLösen({});
            const Raster& ra = r->second;
            const size_t schritte = ra.reihen.empty() ? 0 : ra.reihen.front().second.size();
            for (const auto& [roh, reihe] : ra.reihen) {
                // A pitched riff moves with the track and the insertion; drums never do.
                const int ton = sp_.kanal == 10 ? roh : roh + transponieren;
                if (ton < 0 || ton > 127) fehler(st_, w.zeile, "Raster '" + name + "' fällt hier aus dem MIDI-Bereich 0..127");
                for (size_t i = 0; i < reihe.size(); ++i) {
                    const char c = reihe[i];
                    if (c == '.' || c == '-') continue;
                    Note n;
                    n.an = pos_ + static_cast<Tick>(i) * ra.schritt;
                    n.aus = n.an + std::max<Tick>(1, ra.schritt * static_cast<Tick>(sp_.gate) / 100);
                    n.ton = ton;
                    n.basis = stärke_;
                    n.zusatz = c == 'X' ? 24 : c == 'o' ? -32 : 0;
                    n.streuung = streuung();
                    noten_.push_back(n);
                }
            }
            pos_ += static_cast<Tick>(schritte) * ra.schritt;
            return;
        }
        fehler(st_, w.zeile, "unbekannte Phrase oder unbekanntes Raster '" + name + "'");
    }

    Tick dauerLesen(const Wort& w, const std::string& d) {
        Tick summe = 0;
        size_t anfang = 0;
        while (anfang <= d.size()) {
            size_t ende = d.find('+', anfang);
            if (ende == std::string::npos) ende = d.size();
            std::string teil = d.substr(anfang, ende - anfang);
            int punkte = 0;
            while (!teil.empty() && teil.back() == '.') ++punkte, teil.pop_back();
            bool triole = false;
            if (!teil.empty() && teil.back() == 't') triole = true, teil.pop_back();
            const long wert = ganzzahl(st_, w.zeile, teil, 1, 64, "Notenwert");
            long ticks = 4L * st_.teilung;
            auto teilen = [&](long durch) {
                if (ticks % durch != 0)
                    fehler(st_, w.zeile, "Notenwert /" + d + " in '" + w.text + "' passt nicht zur Teilung " + std::to_string(st_.teilung));
                ticks /= durch;
            };
            teilen(wert);
            if (triole) {
                ticks *= 2;
                teilen(3);
            }
            long zusatz = ticks, gesamt = ticks;
            for (int i = 0; i < punkte; ++i) {
                if (zusatz % 2 != 0)
                    fehler(st_, w.zeile, "punktierter Notenwert /" + d + " in '" + w.text + "' passt nicht zur Teilung " + std::to_string(st_.teilung));
                zusatz /= 2;
                gesamt += zusatz;
            }
            summe += static_cast<Tick>(gesamt);
            anfang = ende + 1;
        }
        return summe;
    }

    Notenwort lesen(const Wort& w) {
        Notenwort n;
        const std::string& t = w.text;
        size_t kopfEnde = 0;
        std::vector<std::string> namen;
        if (t[0] == '[') {
            kopfEnde = t.find(']');
            if (kopfEnde == std::string::npos) fehler(st_, w.zeile, "Akkord '" + t + "' hat keine schließende ']'");
            namen = zerlegen(t.substr(1, kopfEnde - 1));
            if (namen.empty()) fehler(st_, w.zeile, "leerer Akkord");
            ++kopfEnde;
        } else {
            kopfEnde = t.find_first_of("/'_~!?@");
            if (kopfEnde == std::string::npos) kopfEnde = t.size();
            if (kopfEnde == 0) fehler(st_, w.zeile, "'" + t + "' ist keine Note");
            namen.push_back(t.substr(0, kopfEnde));
        }
        if (namen.size() == 1 && namen[0] == "r") {
            n.pause = true;
        } else {
            for (const std::string& name : namen) {
                if (auto d = schlagzeug().find(name); d != schlagzeug().end()) {
                    if (sp_.kanal != 10)
                        fehler(st_, w.zeile, "Schlagzeugklang '" + name + "' in der Spur '" + sp_.name + "' auf Kanal " +
                                                 std::to_string(sp_.kanal) + " (Schlagzeug spielt auf Kanal 10)");
                    n.töne.push_back(d->second);
                    n.schlag = true;
                } else if (auto h = tonhöhe(name)) {
                    n.töne.push_back(*h);
                    // On the drum channel a pitch names a drum sound too.
                    n.schlag = n.schlag || sp_.kanal == 10;
                } else if (name.size() > 1 && name[0] == 'n' && std::isdigit(static_cast<unsigned char>(name[1]))) {
                    n.töne.push_back(static_cast<int>(ganzzahl(st_, w.zeile, name.substr(1), 0, 127, "Notennummer")));
                    n.schlag = sp_.kanal == 10;
                } else {
                    fehler(st_, w.zeile, "'" + name + "' ist weder eine Note (wie c4, f#3, bb2) noch eine Pause noch ein bekanntes Wort");
                }
            }
        }
        size_t i = kopfEnde;
        if (i < t.size() && t[i] == '/') {
            const size_t ende = t.find_first_of("'_~!?@", i + 1);
            const std::string d = t.substr(i + 1, (ende == std::string::npos ? t.size() : ende) - i - 1);
            if (d.empty()) fehler(st_, w.zeile, "nach '/' fehlt der Notenwert in '" + t + "'");
            n.dauer = dauerLesen(w, d);
            i = ende == std::string::npos ? t.size() : ende;
        }
        while (i < t.size()) {
            const char c = t[i++];
            if (c == '\'') n.artikulation = Notenwort::Staccato;
            else if (c == '_') n.artikulation = Notenwort::Tenuto;
            else if (c == '~') n.gebunden = true;
            else if (c == '!') n.zusatz += 16;
            else if (c == '?') n.zusatz -= 20;
            else if (c == '@') {
                n.fest = static_cast<int>(ganzzahl(st_, w.zeile, t.substr(i), 1, 127, "Anschlag"));
                i = t.size();
            } else {
                fehler(st_, w.zeile, std::string("unerwartetes '") + c + "' in '" + t + "'");
            }
        }
        if (n.pause && (n.gebunden || n.fest || n.zusatz != 0)) fehler(st_, w.zeile, "eine Pause lässt sich weder binden noch betonen");
        return n;
    }

    void bindungenLösen(const std::vector<int>& weiter) {
        for (auto i = offen_.begin(); i != offen_.end();) {
            if (std::find(weiter.begin(), weiter.end(), i->first) == weiter.end()) i = offen_.erase(i);
            else ++i;
        }
    }

    void note(const Wort& w, Notenwort n, int transponieren) {
        if (n.dauer) dauer_ = *n.dauer;
        const Tick d = dauer_;
        Tick klang = n.artikulation == Notenwort::Tenuto ? d
                   : n.artikulation == Notenwort::Staccato ? d / 2
                                                           : d * static_cast<Tick>(sp_.gate) / 100;
        if (n.gebunden) klang = d;
        klang = std::max<Tick>(klang, 1);
        std::vector<int> töne;
        for (int ton : n.töne) {
            const int t = n.schlag ? ton : ton + transponieren;
            if (t < 0 || t > 127) fehler(st_, w.zeile, "Note '" + w.text + "' fällt aus dem MIDI-Bereich 0..127");
            töne.push_back(t);
        }
        bindungenLösen(töne);
        for (int t : töne) {
            if (auto o = offen_.find(t); o != offen_.end()) {
                noten_[o->second].aus = pos_ + klang;
                if (!n.gebunden) offen_.erase(o);
                continue;
            }
            Note neu;
            neu.an = pos_;
            neu.aus = pos_ + klang;
            neu.ton = t;
            neu.basis = stärke_;
            neu.zusatz = n.zusatz;
            neu.fest = n.fest;
            neu.streuung = streuung();
            noten_.push_back(neu);
            if (n.gebunden) offen_[t] = noten_.size() - 1;
        }
        pos_ += d;
    }

    void gabelSchließen(int ziel) {
        const Gabel g = *gabel_;
        gabel_.reset();
        if (pos_ == g.anfang) return;
        for (size_t i = g.ersteNote; i < noten_.size(); ++i) {
            const double anteil = static_cast<double>(noten_[i].an - g.anfang) / static_cast<double>(pos_ - g.anfang);
            noten_[i].basis = static_cast<int>(std::lround(g.stärke + (ziel - g.stärke) * anteil));
        }
    }

    const Stück& st_;
    const Spur& sp_;
    const Taktkarte& karte_;
    unsigned zufall_;
    Tick pos_ = 0;
    Tick dauer_ = 0;
    int stärke_ = 80;
    std::optional<Gabel> gabel_;
    std::vector<Note> noten_;
    std::vector<Ereignis> steuer_;
    std::map<int, size_t> offen_;
};

// ---------------------------------------------------------------- the conductor

std::vector<Ereignis> dirigent(const Stück& st, const Taktkarte& karte) {
    std::vector<Ereignis> aus;
    if (!st.titel.empty()) aus.push_back(metaText(0, 0x03, st.titel));
    if (!st.rechte.empty()) aus.push_back(metaText(0, 0x02, st.rechte));
    std::vector<Taktart> arten = st.taktarten;
    if (arten.empty()) arten.push_back(Taktart{});
    for (const Taktart& t : arten) {
        int zweierpotenz = 0;
        while ((1 << zweierpotenz) < t.nenner) ++zweierpotenz;
        aus.push_back({karte.anfang(t.bar), 1,
                       {0xFF, 0x58, 0x04, static_cast<unsigned char>(t.zähler), static_cast<unsigned char>(zweierpotenz), 24, 8},
                       true});
    }
    for (const Tonart& t : st.tonarten)
        aus.push_back({karte.anfang(t.bar), 1,
                       {0xFF, 0x59, 0x02, static_cast<unsigned char>(static_cast<signed char>(t.vorzeichen)),
                        static_cast<unsigned char>(t.moll ? 1 : 0)},
                       true});
    std::vector<Tempo> tempi = st.tempi;
    if (tempi.empty()) tempi.push_back(Tempo{});
    for (const Tempo& t : tempi) {
        const Taktart& a = karte.art(t.bar);
        const double schlag = static_cast<double>(st.teilung) * 4 / a.nenner;
        if (t.schlag > a.zähler + 1e-9 || (t.schlag - 1) * schlag != std::floor((t.schlag - 1) * schlag))
            fehler(st, t.zeile, "die Schlagposition liegt nicht im Takt oder nicht auf einem Tick");
        const Tick tick = karte.anfang(t.bar) + static_cast<Tick>((t.schlag - 1) * schlag);
        const auto mikros = static_cast<std::uint32_t>(std::lround(60'000'000.0 / t.bpm));
        Ereignis e{tick, 1, {0xFF, 0x51, 0x03}, true};
        wortSchreiben(e.bytes, mikros, 3);
        aus.push_back(e);
    }
    for (const Marke& m : st.marken) aus.push_back(metaText(karte.anfang(m.bar), 0x06, m.text));
    return aus;
}

} // namespace

Fehler::Fehler(std::string_view datei, int zeile, const std::string& text)
    : std::runtime_error(std::string(datei) + ":" + std::to_string(zeile) + ": " + text), zeile_(zeile), text_(text) {}

std::vector<unsigned char> Übersetzen(std::string_view quelltext, std::string_view dateiname) {
    Stück st;
    st.datei = std::string(dateiname);
    Leser(st).lesen(quelltext);
    if (st.spuren.empty()) fehler(st, 1, "das Stück hat keine Spur");
    for (const Spur& s : st.spuren)
        if (s.körper.empty()) fehler(st, s.zeile, "Spur '" + s.name + "' hat keine Takte");
    for (const Taktart& t : st.taktarten)
        if (st.teilung * 4 % t.nenner != 0) fehler(st, st.teilungZeile, "die Teilung passt nicht zur Schlageinheit");

    const Taktkarte karte(st);
    std::vector<std::vector<Ereignis>> spuren;
    std::vector<Tick> enden;
    unsigned saat = 1;
    for (const Spur& s : st.spuren) {
        Spurübersetzer ü(st, s, karte, saat++);
        ü.übersetzen();
        spuren.push_back(ü.ereignisse());
        enden.push_back(ü.ende());
    }
    std::vector<Ereignis> meta = dirigent(st, karte);
    Tick ende = *std::max_element(enden.begin(), enden.end());
    for (const Ereignis& e : meta) ende = std::max(ende, e.tick);

    // Every track ends at the end of the longest one, so that the file's
    // length is the length of the music and a loop comes round in time.
    std::vector<unsigned char> datei = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    wortSchreiben(datei, static_cast<std::uint32_t>(spuren.size() + 1), 2);
    wortSchreiben(datei, static_cast<std::uint32_t>(st.teilung), 2);
    std::vector<unsigned char> chunk = spurChunk(meta, ende);
    datei.insert(datei.end(), chunk.begin(), chunk.end());
    for (std::vector<Ereignis>& s : spuren) {
        chunk = spurChunk(std::move(s), ende);
        datei.insert(datei.end(), chunk.begin(), chunk.end());
    }
    return datei;
}

std::string Einbettung(const std::vector<std::pair<int, std::vector<unsigned char>>>& stücke) {
    // Arrays of numbers rather than string literals: MSVC limits the length
    // of a string literal, not that of an initialiser list.
    std::ostringstream aus;
    aus << "// Written by quambel_noten --embed from the pieces in assets/music. Do not edit.\n"
           "#include \"musik/Musikressourcen.h\"\n\nnamespace qmb {\nnamespace {\n";
    for (const auto& [id, bytes] : stücke) {
        aus << "const unsigned char stück" << id << "[] = {";
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (i % 20 == 0) aus << "\n   ";
            aus << ' ' << static_cast<int>(bytes[i]) << ',';
        }
        aus << "\n};\n";
    }
    aus << "} // namespace\n\nstd::span<const unsigned char> Musikressource(int id) {\n    switch (id) {\n";
    for (const auto& [id, bytes] : stücke)
        aus << "    case " << id << ": return {stück" << id << ", sizeof stück" << id << "};\n";
    aus << "    default: return {};\n    }\n}\n\n} // namespace qmb\n";
    return aus.str();
}

} // namespace qmb::noten

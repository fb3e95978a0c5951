#include "Leser.h"

#include <algorithm>

#include "Klaenge.h"

namespace qmb::noten {

namespace {

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
        if (w[2] == "/8")
            s.einheit = 8;
        else if (w[2] == "/16")
            s.einheit = 16;
        else
            fehler(st, zeile, "die Swing-Einheit ist /8 oder /16");
    }
    return s;
}

Tonart tonartLesen(const Stück& st, int zeile, const std::string& name) {
    static const std::map<std::string, int> dur = {{"Cb", -7}, {"Gb", -6}, {"Db", -5}, {"Ab", -4}, {"Eb", -3},
                                                   {"Bb", -2}, {"F", -1},  {"C", 0},   {"G", 1},   {"D", 2},
                                                   {"A", 3},   {"E", 4},   {"B", 5},   {"F#", 6},  {"C#", 7}};
    static const std::map<std::string, int> moll = {{"Abm", -7}, {"Ebm", -6}, {"Bbm", -5}, {"Fm", -4}, {"Cm", -3},
                                                    {"Gm", -2},  {"Dm", -1},  {"Am", 0},   {"Em", 1},  {"Bm", 2},
                                                    {"F#m", 3},  {"C#m", 4},  {"G#m", 5},  {"D#m", 6}, {"A#m", 7}};
    Tonart t;
    if (auto i = dur.find(name); i != dur.end())
        t.vorzeichen = i->second;
    else if (auto j = moll.find(name); j != moll.end())
        t.vorzeichen = j->second, t.moll = true;
    else
        fehler(st, zeile, "unbekannte Tonart '" + name + "' (etwa C, Bb, F#m)");
    return t;
}

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
            if (w.size() != 2 || !inAnführung(w[1]))
                fehler(st_, n, "'" + k + "' nimmt genau einen \"Text in Anführungszeichen\"");
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
            t.zähler =
                static_cast<int>(ganzzahl(st_, n, std::string_view(w[1]).substr(0, strich), 1, 32, "Schläge je Takt"));
            t.nenner =
                static_cast<int>(ganzzahl(st_, n, std::string_view(w[1]).substr(strich + 1), 1, 32, "Schlageinheit"));
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
        if (block_ == Block::Spur && tiefe_ > 0)
            fehler(st_, offeneWiederholung_, "'repeat' ist nicht mit 'end' geschlossen");
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
            const bool regler =
                k == "program" || k == "volume" || k == "pan" || k == "expression" || k == "reverb" || k == "chorus";
            fehler(st_, n,
                   "'" + k + "' gehört vor den ersten Takt" +
                       (regler ? "; im Takt schreibt man " + k + "=N" : std::string()));
        };
        if (k == "repeat") {
            Körperzeile z;
            z.art = Körperzeile::Wiederholung;
            z.zeile = n;
            if (w.size() != 2) fehler(st_, n, "so geht es: repeat N");
            z.anzahl = static_cast<int>(
                ganzzahl(st_, n, w[1][0] == 'x' ? w[1].substr(1) : w[1], 1, 1000, "Wiederholungszahl"));
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
        if (auto i = schlagzeug().find(w[0]); i != schlagzeug().end())
            ton = i->second;
        else if (auto t = tonhöhe(w[0]))
            ton = *t;
        else if (w[0].size() > 1 && w[0][0] == 'n')
            ton = static_cast<int>(ganzzahl(st_, n, w[0].substr(1), 0, 127, "Notennummer"));
        else
            fehler(st_, n, "unbekanntes Instrument '" + w[0] + "' im Raster '" + blockName_ + "'");
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
            fehler(st_, n,
                   "die Rasterzeile hat " + std::to_string(schritte.size()) + " Schritte, die erste Zeile hat " +
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

} // namespace

void lesen(Stück& st, std::string_view text) { Leser(st).lesen(text); }

} // namespace qmb::noten

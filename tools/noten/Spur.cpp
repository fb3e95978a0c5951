#include "Spur.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "Notenwort.h"

namespace qmb::noten {

namespace {

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
            const bool einsatz =
                std::any_of(inhalt->begin(), inhalt->end(), [](const Wort& w) { return w.text[0] == '*'; });
            Tick soll = karte_.länge(bar);
            int takte = 1;
            while (einsatz && pos_ - anfang > soll) soll += karte_.länge(bar + takte++);
            if (pos_ - anfang != soll) {
                const long diff = static_cast<long>(pos_ - anfang) - static_cast<long>(soll);
                const Taktart& a = karte_.art(bar);
                const bool einer = takte == 1;
                const std::string welche =
                    einer ? "Takt " + std::to_string(bar)
                          : "Takte " + std::to_string(bar) + " bis " + std::to_string(bar + takte - 1);
                const std::string soviel =
                    einer ? "ein " + std::to_string(a.zähler) + "/" + std::to_string(a.nenner) + "-Takt hat "
                          : std::to_string(takte) + " Takte haben ";
                fehler(st_, takt[0].zeile,
                       welche + " der Spur '" + sp_.name + "' " + (einer ? "ist " : "sind ") +
                           bruch(diff, st_.teilung) + (diff < 0 ? " zu kurz" : " zu lang") + " (" +
                           std::to_string(pos_ - anfang) + " Ticks, " + soviel + std::to_string(soll) + ")");
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
        if (sp_.programm)
            aus.push_back(
                {0, 1, {static_cast<unsigned char>(0xC0 | k), static_cast<unsigned char>(*sp_.programm - 1)}});
        auto regler = [&](const std::optional<int>& w, unsigned char nummer) {
            if (w)
                aus.push_back({0, 1, {static_cast<unsigned char>(0xB0 | k), nummer, static_cast<unsigned char>(*w)}});
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
            aus.push_back({an,
                           2,
                           {static_cast<unsigned char>(0x90 | k), static_cast<unsigned char>(n.ton),
                            static_cast<unsigned char>(v)}});
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
        return basis + lang +
               static_cast<Tick>(std::lround(static_cast<double>(r - halb) * (paar - lang) / (paar - halb)));
    }

    int streuung() {
        if (sp_.streuung == 0) return 0;
        zufall_ = zufall_ * 1103515245u + 12345u;
        return static_cast<int>((zufall_ >> 16) % static_cast<unsigned>(2 * sp_.streuung + 1)) - sp_.streuung;
    }

    void wort(const Wort& w, int transponieren, int tiefe) {
        static const std::map<std::string, int> dynamik = {{"ppp", 16}, {"pp", 33}, {"p", 49},   {"mp", 64},
                                                           {"mf", 80},  {"f", 96},  {"ff", 112}, {"fff", 127}};
        const std::string& t = w.text;
        if (auto d = dynamik.find(t); d != dynamik.end()) {
            if (gabel_) gabelSchließen(d->second);
            stärke_ = d->second;
            return;
        }
        if (t == "<" || t == ">") {
            if (gabel_)
                fehler(st_, w.zeile,
                       "seit Zeile " + std::to_string(gabel_->zeile) +
                           " ist schon ein Crescendo oder Decrescendo offen");
            gabel_ = Gabel{pos_, stärke_, noten_.size(), w.zeile};
            return;
        }
        if (t == "%") fehler(st_, w.zeile, "'%' muss allein in seinem Takt stehen");
        if (t[0] == '*') return einsetzen(w, transponieren, tiefe);
        if (const size_t gleich = t.find('='); gleich != std::string::npos) return regler(w, gleich);
        note(w, notenwortLesen(st_, sp_, w), transponieren);
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
        static const std::map<std::string, int> namen = {{"vol", 7},     {"volume", 7},      {"pan", 10},
                                                         {"expr", 11},   {"expression", 11}, {"sustain", 64},
                                                         {"reverb", 91}, {"chorus", 93}};
        int nummer = 0;
        if (auto i = namen.find(name); i != namen.end())
            nummer = i->second;
        else if (name.size() > 2 && name.compare(0, 2, "cc") == 0)
            nummer = static_cast<int>(ganzzahl(st_, w.zeile, name.substr(2), 0, 127, "Regler"));
        else
            fehler(st_, w.zeile, "unbekannter Regler '" + name + "'");
        const int v = static_cast<int>(ganzzahl(st_, w.zeile, wert, 0, 127, name.c_str()));
        steuer_.push_back({pos_,
                           1,
                           {static_cast<unsigned char>(0xB0 | k), static_cast<unsigned char>(nummer),
                            static_cast<unsigned char>(v)}});
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
                if (ton < 0 || ton > 127)
                    fehler(st_, w.zeile, "Raster '" + name + "' fällt hier aus dem MIDI-Bereich 0..127");
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

    void bindungenLösen(const std::vector<int>& weiter) {
        for (auto i = offen_.begin(); i != offen_.end();) {
            if (std::find(weiter.begin(), weiter.end(), i->first) == weiter.end())
                i = offen_.erase(i);
            else
                ++i;
        }
    }

    void note(const Wort& w, Notenwort n, int transponieren) {
        if (n.dauer) dauer_ = *n.dauer;
        const Tick d = dauer_;
        Tick klang = n.artikulation == Notenwort::Tenuto     ? d
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

} // namespace

Spurergebnis spurÜbersetzen(const Stück& st, const Spur& sp, const Taktkarte& karte, unsigned saat) {
    Spurübersetzer ü(st, sp, karte, saat);
    ü.übersetzen();
    return {ü.ereignisse(), ü.ende()};
}

} // namespace qmb::noten

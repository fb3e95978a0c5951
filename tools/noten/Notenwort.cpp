#include "Notenwort.h"

#include <cctype>

#include "Klaenge.h"

namespace qmb::noten {

namespace {

Tick dauerLesen(const Stück& st, const Wort& w, const std::string& d) {
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
        const long wert = ganzzahl(st, w.zeile, teil, 1, 64, "Notenwert");
        long ticks = 4L * st.teilung;
        auto teilen = [&](long durch) {
            if (ticks % durch != 0)
                fehler(st, w.zeile,
                       "Notenwert /" + d + " in '" + w.text + "' passt nicht zur Teilung " +
                           std::to_string(st.teilung));
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
                fehler(st, w.zeile,
                       "punktierter Notenwert /" + d + " in '" + w.text + "' passt nicht zur Teilung " +
                           std::to_string(st.teilung));
            zusatz /= 2;
            gesamt += zusatz;
        }
        summe += static_cast<Tick>(gesamt);
        anfang = ende + 1;
    }
    return summe;
}

} // namespace

Notenwort notenwortLesen(const Stück& st, const Spur& sp, const Wort& w) {
    Notenwort n;
    const std::string& t = w.text;
    size_t kopfEnde = 0;
    std::vector<std::string> namen;
    if (t[0] == '[') {
        kopfEnde = t.find(']');
        if (kopfEnde == std::string::npos) fehler(st, w.zeile, "Akkord '" + t + "' hat keine schließende ']'");
        namen = zerlegen(t.substr(1, kopfEnde - 1));
        if (namen.empty()) fehler(st, w.zeile, "leerer Akkord");
        ++kopfEnde;
    } else {
        kopfEnde = t.find_first_of("/'_~!?@");
        if (kopfEnde == std::string::npos) kopfEnde = t.size();
        if (kopfEnde == 0) fehler(st, w.zeile, "'" + t + "' ist keine Note");
        namen.push_back(t.substr(0, kopfEnde));
    }
    if (namen.size() == 1 && namen[0] == "r") {
        n.pause = true;
    } else {
        for (const std::string& name : namen) {
            if (auto d = schlagzeug().find(name); d != schlagzeug().end()) {
                if (sp.kanal != 10)
                    fehler(st, w.zeile,
                           "Schlagzeugklang '" + name + "' in der Spur '" + sp.name + "' auf Kanal " +
                               std::to_string(sp.kanal) + " (Schlagzeug spielt auf Kanal 10)");
                n.töne.push_back(d->second);
                n.schlag = true;
            } else if (auto h = tonhöhe(name)) {
                n.töne.push_back(*h);
                // On the drum channel a pitch names a drum sound too.
                n.schlag = n.schlag || sp.kanal == 10;
            } else if (name.size() > 1 && name[0] == 'n' && std::isdigit(static_cast<unsigned char>(name[1]))) {
                n.töne.push_back(static_cast<int>(ganzzahl(st, w.zeile, name.substr(1), 0, 127, "Notennummer")));
                n.schlag = sp.kanal == 10;
            } else {
                fehler(st, w.zeile,
                       "'" + name + "' ist weder eine Note (wie c4, f#3, bb2) noch eine Pause noch ein bekanntes Wort");
            }
        }
    }
    size_t i = kopfEnde;
    if (i < t.size() && t[i] == '/') {
        const size_t ende = t.find_first_of("'_~!?@", i + 1);
        const std::string d = t.substr(i + 1, (ende == std::string::npos ? t.size() : ende) - i - 1);
        if (d.empty()) fehler(st, w.zeile, "nach '/' fehlt der Notenwert in '" + t + "'");
        n.dauer = dauerLesen(st, w, d);
        i = ende == std::string::npos ? t.size() : ende;
    }
    while (i < t.size()) {
        const char c = t[i++];
        if (c == '\'')
            n.artikulation = Notenwort::Staccato;
        else if (c == '_')
            n.artikulation = Notenwort::Tenuto;
        else if (c == '~')
            n.gebunden = true;
        else if (c == '!')
            n.zusatz += 16;
        else if (c == '?')
            n.zusatz -= 20;
        else if (c == '@') {
            n.fest = static_cast<int>(ganzzahl(st, w.zeile, t.substr(i), 1, 127, "Anschlag"));
            i = t.size();
        } else {
            fehler(st, w.zeile, std::string("unerwartetes '") + c + "' in '" + t + "'");
        }
    }
    if (n.pause && (n.gebunden || n.fest || n.zusatz != 0))
        fehler(st, w.zeile, "eine Pause lässt sich weder binden noch betonen");
    return n;
}

} // namespace qmb::noten

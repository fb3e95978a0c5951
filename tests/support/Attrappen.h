#pragma once
// Stand-ins for the game's ports: they record what the game asked for and
// answer from a script, so that a test can follow every dialogue, every draw
// of the random generator and every command string. Given a shared `ablauf`,
// the window, the pointer, the music and the list also note every call there
// in one line, so that a test can check their order across the ports.
#include <algorithm>
#include <deque>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "game/Bestenliste.h"
#include "platform/Befehlsschnittstelle.h"
#include "platform/Fensterdienste.h"
#include "platform/Programmdienste.h"
#include "platform/Zeigerdienste.h"
#include "platform/Zufall.h"

namespace qmb::test {

using Ablauf = std::vector<std::string>;
inline void notiere(Ablauf* ablauf, std::string s) {
    if (ablauf) ablauf->push_back(std::move(s));
}
// The next scripted answer, or `sonst` when the script has run dry.
template <typename T> T nächste(std::deque<T>& q, T sonst) {
    if (q.empty()) return sonst;
    T t = q.front();
    q.pop_front();
    return t;
}

// One call of the window services, as the test sees it.
struct Dialog {
    enum Art { MsgBox, InputBox, Fenster } art;
    std::string prompt{}, titel{}, vorgabe{};
    Knöpfe knöpfe = Knöpfe::OK;
    Symbol symbol = Symbol::Keins;
    Antwort standard = Antwort::OK;
    qmb::Fenster fenster = qmb::Fenster::HighScore;
    bool modal = false;
    bool operator==(const Dialog&) const = default;
    friend std::ostream& operator<<(std::ostream& o, const Dialog& d) {
        return o << '{' << d.art << " '" << d.titel << "' '" << d.prompt << "' '" << d.vorgabe << "' "
                 << static_cast<int>(d.symbol) << static_cast<int>(d.knöpfe) << static_cast<int>(d.fenster) << d.modal << '}';
    }
};

class SkriptFenster : public Fensterdienste {
public:
    std::vector<Dialog> protokoll;
    std::deque<Antwort> msgAntworten; // answers for MsgBox; OK (or the default button) when empty
    std::deque<std::string> eingaben; // answers for InputBox; the default when empty
    // Run inside DoEvents / while a dialogue is open: the place to inject events.
    std::function<void(int nummer)> beiDoEvents;
    std::function<void(const Dialog&)> beiDialog;
    int doEventsAnzahl = 0, wartenAnzahl = 0;
    std::function<void(int nummer)> beimWarten; // runs inside Warten
    Ablauf* ablauf = nullptr;

    void DoEvents() override {
        ++doEventsAnzahl;
        notiere(ablauf, "DoEvents");
        if (beiDoEvents) beiDoEvents(doEventsAnzahl);
    }
    void Warten() override {
        ++wartenAnzahl;
        if (beimWarten) beimWarten(wartenAnzahl);
    }
    Antwort MsgBox(const std::string& prompt, Knöpfe k, Symbol s, const std::string& titel, Antwort standard) override {
        merken({Dialog::MsgBox, prompt, titel, {}, k, s, standard}, "MsgBox " + titel);
        return nächste(msgAntworten, k == Knöpfe::JaNein ? standard : Antwort::OK);
    }
    std::string InputBox(const std::string& prompt, const std::string& titel, const std::string& vorgabe) override {
        merken({Dialog::InputBox, prompt, titel, vorgabe}, "InputBox " + titel);
        return nächste(eingaben, vorgabe);
    }
    void Zeigen(qmb::Fenster f, bool modal) override {
        const Dialog fenster{.art = Dialog::Fenster, .fenster = f, .modal = modal};
        merken(fenster, std::string(f == qmb::Fenster::About ? "About" : "HighScore") + (modal ? " modal" : ""));
    }
    std::vector<Dialog> nur(Dialog::Art art) const {
        std::vector<Dialog> v;
        std::copy_if(protokoll.begin(), protokoll.end(), std::back_inserter(v), [&](const Dialog& d) { return d.art == art; });
        return v;
    }

private:
    void merken(const Dialog& d, std::string zeile) {
        protokoll.push_back(d);
        notiere(ablauf, std::move(zeile));
        if (beiDialog) beiDialog(d);
    }
};

// Draws come from a list the test chose; when it runs dry, a fixed value.
struct FesterZufall : Zufallsquelle {
    std::deque<float> werte;
    int gezogen = 0;
    std::vector<double> saaten;
    float Rnd() override {
        ++gezogen;
        return nächste(werte, 0.5f);
    }

    void Randomize(double saat) override { saaten.push_back(saat); }
};

struct FesteZeit : Tageszeit {
    double sekunden = 43200.0;
    double Timer() override { return sekunden; }
};

struct ZeigerProtokoll : Zeigerdienste {
    // The window's inside is 426 x 482 and begins at 100, 50 on the screen.
    const Rechteck desktop{0, 0, 1920, 1080};
    std::vector<Rechteck> clips;
    Ablauf* ablauf = nullptr;
    Rechteck GetClientRect() override { return {0, 0, 426, 482}; }
    Rechteck GetDesktopClientRect() override { return desktop; }
    Punkt ClientToScreen(Punkt p) override { return {p.x + 100, p.y + 50}; }
    void ClipCursor(const Rechteck& r) override {
        clips.push_back(r);
        notiere(ablauf, r == desktop ? "Zeiger frei" : "Zeiger eingesperrt");
    }
    // True when the last clip confines the pointer to the window.
    bool eingesperrt() const { return !clips.empty() && !(clips.back() == desktop); }
};

// Records every command string; answers from a table (by exact command).
struct BefehlsProtokoll : Befehlsschnittstelle {
    std::vector<std::string> befehle;
    std::map<std::string, std::string> antworten;
    Ablauf* ablauf = nullptr;
    unsigned mciSendString(const std::string& befehl, std::string& antwort) override {
        befehle.push_back(befehl);
        notiere(ablauf, befehl);
        auto it = antworten.find(befehl);
        antwort = it == antworten.end() ? std::string() : it->second;
        return 0;
    }
};

// The ten best results, kept in memory, best first; it starts empty.
struct SpeicherListe : Bestenliste {
    std::vector<std::pair<std::string, int16_t>> plätze;
    bool kaputt = false; // the file cannot be written: nothing is entered
    Ablauf* ablauf = nullptr;
    void HighscoreDateiSetzen() override { notiere(ablauf, "HighscoreDateiSetzen"); }
    bool IstHighscore(int16_t punkte) override {
        notiere(ablauf, "IstHighscore " + std::to_string(punkte));
        return plätze.size() < 10 || punkte > plätze.back().second;
    }
    int16_t HighscoreEintragen(const std::string& name, int16_t punkte) override {
        notiere(ablauf, "HighscoreEintragen " + name + " " + std::to_string(punkte));
        if (kaputt) return NICHT_GESPEICHERT;
        if (plätze.size() >= 10 && punkte <= plätze.back().second) return 0;
        auto it = std::find_if(plätze.begin(), plätze.end(), [&](const auto& p) { return punkte > p.second; });
        const auto platz = static_cast<int16_t>(it - plätze.begin() + 1);
        plätze.insert(it, {name, punkte});
        if (plätze.size() > 10) plätze.pop_back();
        return platz;
    }
};

struct TestProgramm : Programmdienste {
    std::string appPfad = ".", benutzerOrdner = ".", tempOrdner = ".";
    bool installiert = false, tempGeteilt = false;
    std::map<int, std::vector<unsigned char>> ressourcen;
    std::string AppPath() override { return appPfad; }
    std::span<const unsigned char> LoadResData(int id, const std::string&) override {
        auto it = ressourcen.find(id);
        if (it == ressourcen.end()) return {};
        return it->second;
    }
    std::string Benutzerdatenordner() override { return benutzerOrdner; }
    std::string TempOrdner() override { return tempOrdner; }
    bool TempOrdnerGeteilt() override { return tempGeteilt; }
    bool Installiert() override { return installiert; }
};

} // namespace qmb::test

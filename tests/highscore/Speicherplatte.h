#pragma once
// A file system in memory for the high-score tests. It models what survives a
// power failure: written bytes only after sichern() (fsync), new names and
// renames only after ordnerSichern(); stromausfall() throws the rest away.
// It also counts its operations and can make number k fail, or stop the
// program there by throwing Absturz, which the code under test never catches.
#include <cerrno>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "highscore/Dateisystem.h"

namespace qmb::test {

struct Absturz {}; // deliberately not a std::exception

class Speicherplatte : public Dateisystem {
public:
    struct Knoten {
        std::string daten, dauerhaft;
    };
    std::map<std::string, std::shared_ptr<Knoten>> namen, namenDauerhaft;
    std::set<std::string> ordner{"/spiel", "/home"}, schreibgeschützt;
    std::map<std::string, Fehlernummer> lesefehler;

    enum class Störung { Fehler, Absturz, HalbGeschrieben };
    int störAn = 0;     // the operation to disturb, counted from 1; 0: none
    Störung störung = Störung::Fehler;
    int schritte = 0;   // operations counted so far
    bool scharf = true; // counts only while set

    void ablegen(const std::string& pfad, const std::string& daten) {
        namenDauerhaft[pfad] = namen[pfad] = std::make_shared<Knoten>(Knoten{daten, daten});
    }
    std::optional<std::string> inhalt(const std::string& pfad) const {
        auto it = namen.find(pfad);
        return it == namen.end() ? std::nullopt : std::optional(it->second->daten);
    }
    void stromausfall() {
        namen = namenDauerhaft;
        for (auto& [_, k] : namen) k->daten = k->dauerhaft;
    }

    Dateiart art(const std::string& p) override {
        if (trifft()) return Dateiart::Unbekannt;
        return ordner.count(p) ? Dateiart::Ordner : namen.count(p) ? Dateiart::Datei : Dateiart::Fehlt;
    }
    Fehlernummer lesen(const std::string& p, std::size_t grenze, std::string& inhalt, bool& mehr) override {
        inhalt.clear();
        mehr = false;
        if (trifft()) return EIO;
        if (lesefehler.count(p)) return lesefehler[p];
        if (!namen.count(p)) return ENOENT;
        inhalt = namen[p]->daten.substr(0, grenze);
        mehr = namen[p]->daten.size() > grenze;
        return 0;
    }
    struct Offen : Schreibdatei {
        Speicherplatte* platte;
        std::shared_ptr<Knoten> k;
        Fehlernummer schreiben(std::string_view d) override {
            if (platte->scharf && platte->schritte + 1 == platte->störAn &&
                platte->störung == Störung::HalbGeschrieben)
                k->daten += d.substr(0, d.size() / 2);
            if (platte->trifft()) return ENOSPC;
            k->daten += d;
            return 0;
        }
        Fehlernummer sichern() override {
            if (platte->trifft()) return EIO;
            k->dauerhaft = k->daten;
            return 0;
        }
        Fehlernummer schliessen() override { return platte->trifft() ? EIO : 0; }
    };
    Fehlernummer anlegen(const std::string& p, std::unique_ptr<Schreibdatei>& datei) override {
        if (Fehlernummer f = trifft() ? EACCES : schreibbar(p)) return f;
        if (ordner.count(p)) return EISDIR;
        auto& k = namen[p];
        if (!k) k = std::make_shared<Knoten>();
        k->daten.clear();
        auto o = std::make_unique<Offen>();
        o->platte = this;
        o->k = k;
        datei = std::move(o);
        return 0;
    }
    Fehlernummer umbenennen(const std::string& von, const std::string& nach) override {
        if (Fehlernummer f = trifft() ? EIO : schreibbar(nach)) return f;
        if (!namen.count(von)) return ENOENT;
        if (ordner.count(nach)) return EISDIR;
        namen[nach] = namen[von];
        namen.erase(von);
        return 0;
    }
    Fehlernummer entfernen(const std::string& p) override {
        if (Fehlernummer f = trifft() ? EIO : schreibbar(p)) return f;
        return namen.erase(p) ? 0 : ENOENT;
    }
    Fehlernummer ordnerSichern(const std::string& o) override {
        if (trifft()) return EIO;
        for (auto it = namenDauerhaft.begin(); it != namenDauerhaft.end();)
            it = elternordner(it->first) == o && !namen.count(it->first) ? namenDauerhaft.erase(it) : std::next(it);
        for (auto& [p, k] : namen)
            if (elternordner(p) == o) namenDauerhaft[p] = k;
        return 0;
    }
    Fehlernummer ordnerAnlegen(const std::string& o) override {
        if (trifft()) return EIO;
        ordner.insert(o);
        return 0;
    }
    bool beschreibbar(const std::string& o) override {
        const std::string ohne = o.size() > 1 && o.back() == '/' ? o.substr(0, o.size() - 1) : o;
        return !trifft() && ordner.count(ohne) && !schreibgeschützt.count(ohne);
    }

private:
    bool trifft() {
        if (!scharf || ++schritte != störAn) return false;
        if (störung != Störung::Fehler) throw Absturz{};
        return true;
    }
    static std::string elternordner(const std::string& p) { return p.substr(0, p.rfind('/')); }
    Fehlernummer schreibbar(const std::string& pfad) const {
        const std::string o = elternordner(pfad);
        return !ordner.count(o) ? ENOENT : schreibgeschützt.count(o) ? EROFS : 0;
    }
};

} // namespace qmb::test

// The list file: its bytes, its order, the ten places, broken files, where it
// lives, every step of a rewrite interrupted, and the window's text. The list
// lives in a file system in memory that can fail or crash at any step and
// forgets, at a power failure, what was never flushed; root may read and
// write anything, so refused access is played there too. Last, copies of the
// program at once, as real processes on the real file system: two enter
// scores at the same moment while a third starts and shows the list again
// and again. Every entry confirmed must be in the list, every look at it
// must find it whole, and nothing may be left beside it.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include <gtest/gtest.h>

#include "Attrappen.h"
#include "Listenbytes.h"
#include "highscore/frmHighScoreModell.h"
#include "platform/Codepage.h"

namespace qmb::test {
namespace {

// A file system in memory. Every operation is a step; the step `störAn`
// fails, or with `abstürzen` stops the program there. What a file holds
// lasts a power failure once the file is flushed, its name once its folder is.
struct Speicherplatte : Dateisystem {
    struct Knoten { std::string daten, dauerhaft; }; // dauerhaft: what a power failure leaves
    std::map<std::string, std::shared_ptr<Knoten>> namen, dauerhaft; // dauerhaft: the names a power failure leaves
    std::set<std::string> ordner{"/spiel", "/home"}, schreibgeschützt;
    Fehlernummer lesefehler = 0, sperrfehler = 0; // sperrfehler: the lock's answer (EWOULDBLOCK: held)
    std::set<std::string> laufend; // the copies that run
    int störAn = 0, schritte = 0;  // the step to disturb, from 1; steps so far
    bool abstürzen = false;        // crash there instead of failing

    // A file that has been there for good.
    void ablegen(const std::string& p, const std::string& d) { dauerhaft[p] = namen[p] = std::make_shared<Knoten>(Knoten{d, d}); }
    std::optional<std::string> inhalt(const std::string& p) { return namen.count(p) ? std::optional(namen[p]->daten) : std::nullopt; }
    void stromausfall() {
        namen = dauerhaft;
        for (auto& [_, k] : namen) k->daten = k->dauerhaft;
    }
    // One more step; true when it is the one to fail (or, with abstürzen, it throws).
    bool trifft() { return ++schritte == störAn && (abstürzen ? throw Absturz{} : true); }
    static std::string eltern(const std::string& p) { return p.substr(0, p.rfind('/')); }
    // Whether a name can be made or removed at p.
    Fehlernummer schreibbar(const std::string& p) { return !ordner.count(eltern(p)) ? ENOENT : schreibgeschützt.count(eltern(p)) ? EROFS : 0; }

    Dateiart art(const std::string& p) override {
        return trifft() ? Dateiart::Unbekannt : ordner.count(p) ? Dateiart::Ordner : namen.count(p) ? Dateiart::Datei : Dateiart::Fehlt;
    }
    Fehlernummer lesen(const std::string& p, std::size_t grenze, std::string& s, bool& mehr) override {
        if (Fehlernummer f = trifft() ? EIO : lesefehler ? lesefehler : namen.count(p) ? 0 : ENOENT) return f;
        s = namen[p]->daten.substr(0, grenze);
        mehr = namen[p]->daten.size() > grenze;
        return 0;
    }
    struct Offen : Schreibdatei {
        Speicherplatte* pl;
        std::shared_ptr<Knoten> k;
        Offen(Speicherplatte* p, std::shared_ptr<Knoten> n) : pl(p), k(std::move(n)) {}
        // A failed write leaves half of it.
        Fehlernummer schreiben(std::string_view d) override {
            const bool voll = pl->trifft();
            k->daten += voll ? d.substr(0, d.size() / 2) : d;
            return voll ? ENOSPC : 0;
        }
        Fehlernummer sichern() override {
            if (pl->trifft()) return EIO;
            k->dauerhaft = k->daten;
            return 0;
        }
        Fehlernummer schließen() override { return pl->trifft() ? EIO : 0; }
    };
    Fehlernummer anlegen(const std::string& p, std::unique_ptr<Schreibdatei>& datei, bool) override {
        if (Fehlernummer f = trifft() ? EACCES : namen.count(p) ? EEXIST : schreibbar(p)) return f;
        namen[p] = std::make_shared<Knoten>();
        datei = std::make_unique<Offen>(this, namen[p]);
        return 0;
    }
    Fehlernummer umbenennen(const std::string& von, const std::string& nach) override {
        if (Fehlernummer f = trifft() ? EIO : schreibbar(nach) ? schreibbar(nach) : namen.count(von) ? 0 : ENOENT) return f;
        namen[nach] = namen[von];
        namen.erase(von);
        return 0;
    }
    Fehlernummer entfernen(const std::string& p) override { return trifft() ? EIO : schreibbar(p) ? schreibbar(p) : namen.erase(p) ? 0 : ENOENT; }
    // The names become durable (a list is only ever flushed in one folder).
    Fehlernummer ordnerSichern(const std::string&) override {
        if (trifft()) return EIO;
        dauerhaft = namen;
        return 0;
    }
    Fehlernummer ordnerAnlegen(const std::string& o) override {
        if (Fehlernummer f = trifft() ? EIO : schreibgeschützt.count(eltern(o)) ? EACCES : 0) return f;
        ordner.insert(o);
        return 0;
    }
    bool beschreibbar(const std::string& o) override { return !trifft() && ordner.count(o) && !schreibgeschützt.count(o); }
    Fehlernummer auflisten(const std::string& o, std::vector<std::string>& n) override {
        for (auto& [p, _] : namen)
            if (eltern(p) == o) n.push_back(p.substr(o.size() + 1));
        return trifft() ? EIO : 0;
    }
    Fehlernummer sperren(const std::string&, bool, std::unique_ptr<Sperre>& s) override {
        if (Fehlernummer f = trifft() ? EIO : sperrfehler) return f;
        s = std::make_unique<Sperre>();
        return 0;
    }
    std::string kennung() override { return "7"; }
    bool läuft(const std::string& k) override { return laufend.count(k); }
    std::string benutzer() override { return "1000"; }
    Fehlernummer eigenerOrdner(const std::string&) override { return ENOSYS; }
    Fehlernummer ordnerEntfernen(const std::string&) override { return ENOSYS; }
};

struct Liste : ::testing::Test {
    Speicherplatte platte;
    TestProgramm programm;
    SkriptFenster fenster;
    modQuambel liste{programm, fenster, platte};
    void SetUp() override {
        programm.appPfad = "/spiel";
        programm.benutzerOrdner = "/home/q";
    }
    std::string lies(const std::string& p = "/spiel/Highscores.qmb") { return platte.inhalt(p).value_or("fehlt"); }
};

TEST(Verwürfeln, VonHandGerechneteBytes) {
    // '1'^'K' = 0x7A, '0'^'Q' = 0x61, ...; a character equal to its key byte stays.
    EXPECT_EQ(ZeileVerwürfeln("100Bob") + ZeileVerwürfeln("KQX"), "\x7A\x61\x68\x2A\x0B\x0EKQX");
    EXPECT_EQ(Eintragstext(250, "a\tb\x7F") + Eintragstext(-3, "") + Eintragstext(7, "x"), "100a?b?000007x");
    EXPECT_EQ(Eintragstext(1, std::string(300, 'x')).size(), 3u + 255u);
}

const std::vector<std::string> ZEHN = {"090A", "080B", "070C", "060D", "050E", "040F", "030G", "020H", "018I", "017J"};
std::vector<std::string> mit(std::vector<std::string> z, size_t stelle, const std::string& neu, size_t bis = 10) {
    z.insert(z.begin() + static_cast<long>(stelle), neu);
    z.resize(std::min(z.size(), bis));
    return z;
}

// The lock, last: every wait for it ends. A copy holding it past the wait
// leaves the list as it is, with one message; one letting go meanwhile lets
// the entry in, and the window's events run all the while; where nothing
// can be locked a single copy saves anyway; a lock file that is no plain
// file is named. Clearing waits as long, and no longer.
TEST_F(Liste, EintragNachPunktenUndUnterSperre) {
    const auto neun = std::vector<std::string>(ZEHN.begin(), ZEHN.end() - 1);
    const auto mitFremden = mit(mit(neun, 3, "x1Kein Eintrag"), 10, "005", 11);
    const int16_t NEIN = Bestenliste::NICHT_GESPEICHERT;
    struct Fall {
        std::vector<std::string> vorher;
        std::string name;
        int16_t punkte;
        bool ist; // whether IstHighscore says it enters
        int16_t platz;
        std::vector<std::string> nachher;
        Fehlernummer sperre = 0; // the lock's answer until it is free
        int freiNach = 0;        // the waits after which it is free
        std::string meldung = ""; // what the one message says, among its words
    };
    const Fall fälle[] = {
        {{}, "Anna", 0, true, 1, {"000Anna"}},
        {ZEHN, "Neu", 17, true, 10, mit(ZEHN, 9, "017Neu")}, // a tie: newest first
        {ZEHN, "Zu wenig", 16, false, 0, ZEHN},
        {ZEHN, "Max", 100, true, 1, mit(ZEHN, 0, "100Max")},
        {{"050A"}, "\xC5\x81u\xC3\xA4", 7, true, 2, {"050A", "007?u\xE4"}}, // no Ł in Windows-1252
        // Lines that are no entries neither count nor stay; an empty name is an entry.
        {mit(neun, 3, "x1Kein Eintrag"), "", 4, true, 10, mit(neun, 9, "004")},
        {mitFremden, "", 4, false, 0, mit(neun, 9, "005")},
        {{"050A"}, "B", 10, true, NEIN, {"050A"}, EWOULDBLOCK, 0, "Highscores.qmb\xE2\x80\x9C konnte nicht gespeichert"},
        {{"050A"}, "B", 10, true, 2, {"050A", "010B"}, EWOULDBLOCK, 3},
        {{"050A"}, "B", 10, true, 2, {"050A", "010B"}, ENOLCK},
        {{"050A"}, "B", 10, true, NEIN, {"050A"}, EINVAL, 0, "Sperrdatei \xE2\x80\x9E/spiel/Highscores.1000.lock\xE2\x80\x9C"},
    };
    liste.SperrGeduld = 30;
    for (const auto& f : fälle) {
        SCOPED_TRACE(f.name + std::to_string(f.punkte) + " " + std::to_string(f.sperre));
        platte.namen.clear();
        if (!f.vorher.empty()) platte.ablegen("/spiel/Highscores.qmb", datei(f.vorher));
        platte.sperrfehler = f.sperre;
        fenster.protokoll.clear();
        fenster.wartenAnzahl = 0;
        fenster.beimWarten = [&](int n) {
            if (n == f.freiNach) platte.sperrfehler = 0;
        };
        EXPECT_EQ(liste.IstHighscore(f.punkte), f.ist);
        EXPECT_EQ(liste.HighscoreEintragen(f.name, f.punkte), f.platz);
        EXPECT_EQ(lies(), datei(f.nachher));
        EXPECT_EQ(fenster.wartenAnzahl > 0, f.sperre == EWOULDBLOCK) << "waited for the lock";
        ASSERT_EQ(fenster.protokoll.size(), f.meldung.empty() ? 0u : 1u);
        for (const Dialog& d : fenster.protokoll) EXPECT_NE(d.prompt.find(f.meldung), std::string::npos) << d.prompt;
    }
    platte.sperrfehler = EWOULDBLOCK;
    liste.ListeLöschen();
    EXPECT_EQ(lies(), datei({"050A"}));
    EXPECT_NE(fenster.protokoll.back().prompt.find("Highscores.qmb\xE2\x80\x9C konnte nicht gelöscht"), std::string::npos);
}

TEST_F(Liste, NamenMitCrLfImVerwürfeltenTextBleibenGanz) {
    // "en" gives CR LF right after the score, "Wifi" inside the name, "Haag" at
    // its end, "ex" a lone CR; "·a" at key º, k gives CR LF and "123" then
    // meets the key's start, as if a line with 123 points began; the tail of
    // "aAag_k" read on its own is all letters, and still it stays the name's.
    // The tails of the last three names count as a name's characters only
    // with their mark, letter, digit or blank.
    const std::vector<std::string> namen = {"060en",     "050Wifi",          "040Haag",      "030ex",
                                            "010aAag_k", "005Abcdefghijklmnopq\xB7" "a123", "004enrico-\xD6l",
                                            "003enrico_1", "002enrico 2"};
    for (const auto& n : namen) liste.HighscoreEintragen(ausCp1252(n.substr(3)), static_cast<int16_t>(std::stoi(n)));
    // Read as one line or as two, the last name gives the same bytes.
    EXPECT_EQ(liste.ZeilenLesen(), namen);
    EXPECT_EQ(liste.HighscoreEintragen("Neu", 35), 4);
    EXPECT_EQ(lies(), datei(mit(namen, 3, "035Neu")));
    // Lines another program wrote stay lines of their own beside such names,
    // and go at the next insertion.
    const std::vector<std::string> gemischt = {"042A", "Liste", "030en", "Test", "020Wifi", "Ein Kommentar"};
    platte.ablegen("/spiel/Highscores.qmb", datei(gemischt));
    EXPECT_EQ(liste.ZeilenLesen(), gemischt);
    EXPECT_EQ(liste.HighscoreEintragen("Neu", 25), 3);
    EXPECT_EQ(lies(), datei({"042A", "030en", "025Neu", "020Wifi"}));
}

TEST_F(Liste, RiesigeUndUnlesbareDateien) {
    // A huge file is read only at its start; its cut-off last line is dropped.
    platte.ablegen("/spiel/Highscores.qmb", datei({"080Anfang"}) + std::string(DATEI_HÖCHSTENS - 18, 'x') + "\r\n" + datei({"099Hinten"}));
    EXPECT_EQ(liste.HighscoreEintragen("Neu", 90), 1);
    EXPECT_EQ(lies(), datei({"090Neu", "080Anfang"}));
    // A list that cannot be read may have room; it is told once, no place
    // is named, and it is never replaced.
    platte.lesefehler = EACCES;
    EXPECT_TRUE(liste.IstHighscore(60));
    EXPECT_EQ(liste.HighscoreEintragen("Bob", 60), Bestenliste::NICHT_GESPEICHERT);
    EXPECT_EQ(liste.ZeilenLesen().size(), 0u);
    EXPECT_EQ(lies(), datei({"090Neu", "080Anfang"}));
    ASSERT_EQ(fenster.protokoll.size(), 1u);
    EXPECT_NE(fenster.protokoll[0].prompt.find("/spiel/Highscores.qmb\xE2\x80\x9C konnte nicht gelesen werden: Der Zugriff wurde verweigert."),
              std::string::npos);
    platte.lesefehler = 0; // readable again, then unreadable again: told again
    liste.ZeilenLesen();
    platte.lesefehler = EACCES;
    liste.ZeilenLesen();
    EXPECT_EQ(fenster.protokoll.size(), 2u);
}

TEST_F(Liste, ProgrammordnerNurWennBeschreibbarUndNichtInstalliert) {
    platte.ablegen("/spiel/Highscores.qmb", datei({"050Mitgebracht"}));
    // Left-overs of copies that died (9, and an old version's) and a new
    // list of a copy still writing (8).
    for (const std::string rest : {"Cache.qmb", "Cache.qmb.9.2", ".Highscores-Probe-9-0", "Cache.qmb.8.1"})
        platte.ablegen("/spiel/" + rest, "Rest");
    platte.laufend = {"8"};
    platte.sperrfehler = EWOULDBLOCK; // another copy at work: an old version's stays too
    modQuambel(programm, fenster, platte).HighscoreDateiSetzen();
    EXPECT_EQ(platte.namen.count("/spiel/Cache.qmb"), 1u);
    platte.sperrfehler = 0;
    platte.schreibgeschützt.insert("/spiel");
    // The list beside the program comes along once.
    EXPECT_EQ(liste.HighscoreEintragen("Neu", 60), 1);
    EXPECT_EQ(lies("/home/q/Highscores.qmb"), datei({"060Neu", "050Mitgebracht"}));
    EXPECT_EQ(modQuambel(programm, fenster, platte).ZeilenLesen().size(), 2u) << "started again, it keeps its list";
    platte.schreibgeschützt.clear();
    for (bool installiert : {true, false}) {
        programm.installiert = installiert;
        modQuambel neu(programm, fenster, platte);
        neu.HighscoreDateiSetzen();
        EXPECT_EQ(neu.HighscoreDatei(), installiert ? "/home/q/Highscores.qmb" : "/spiel/Highscores.qmb");
    }
    EXPECT_EQ(platte.namen.size(), 3u);
    EXPECT_EQ(platte.namen.count("/spiel/Cache.qmb.8.1") + platte.namen.count("/home/q/Highscores.qmb"), 2u)
        << "left-overs go at the start, what a running copy writes stays";
    // Neither folder takes the list: the message names the one tried last.
    platte.schreibgeschützt = {"/spiel", "/home"};
    platte.ordner.erase("/home/q");
    EXPECT_EQ(modQuambel(programm, fenster, platte).HighscoreEintragen("Neu", 60), Bestenliste::NICHT_GESPEICHERT);
    ASSERT_EQ(fenster.protokoll.size(), 1u);
    EXPECT_NE(fenster.protokoll[0].prompt.find("/home/q/Highscores.qmb\xE2\x80\x9C konnte nicht gespeichert werden: Der Zugriff wurde verweigert."),
              std::string::npos);
}

struct Unterbrechung : Liste, ::testing::WithParamInterface<std::tuple<bool, bool, bool>> {};

// Every step of an insertion interrupted in turn: made to fail, or the
// program stopped there (killed, or by a power failure). Each time the list
// must be the old or the new one, whole, the answer must tell the truth, and
// the next start must go on from it.
TEST_P(Unterbrechung, LässtImmerDieAlteOderDieNeueListeGanzZurück) {
    const auto [mitListe, abstürzen, strom] = GetParam();
    const auto alt = mitListe ? std::optional(datei(ALT)) : std::nullopt;
    const auto neu = datei(mitListe ? NEU : std::vector<std::string>{"060rolf"});
    int k = 1;
    for (bool ungestört = false; !ungestört; ++k) {
        SCOPED_TRACE("Schritt " + std::to_string(k));
        platte = Speicherplatte();
        if (alt) platte.ablegen("/spiel/Highscores.qmb", *alt);
        platte.abstürzen = abstürzen;
        SkriptFenster fenster;
        std::optional<int> platz; // none after a crash
        try {
            modQuambel liste(programm, fenster, platte);
            liste.HighscoreDateiSetzen();
            platte.schritte = 0; // from the insertion on
            platte.störAn = k;
            platz = liste.HighscoreEintragen("rolf", 60);
        } catch (const Absturz&) {
        }
        ungestört = platte.schritte < k;
        // Power fails right after the crash, or right after a reported success.
        if (strom && (!platz || ungestört)) platte.stromausfall();
        const auto jetzt = platte.inhalt("/spiel/Highscores.qmb");
        const bool blieb = jetzt == alt;
        ASSERT_TRUE(blieb || jetzt == neu);
        if (platz) {
            // The place told, one message when it failed, and no left-over beside the list.
            EXPECT_EQ(*platz, blieb ? Bestenliste::NICHT_GESPEICHERT : (mitListe ? 3 : 1));
            EXPECT_EQ(fenster.protokoll.size(), blieb ? 1u : 0u) << "messages";
            EXPECT_EQ(platte.namen.size(), jetzt ? 1u : 0u) << "a left-over beside the list";
        }
        platte.störAn = 0;
        modQuambel neustart(programm, fenster, platte);
        neustart.HighscoreDateiSetzen();
        EXPECT_EQ(platte.namen.size(), jetzt ? 1u : 0u) << "a left-over beside the list";
        EXPECT_EQ(neustart.HighscoreEintragen("Danach", 10), (mitListe ? 4 : 1) + (blieb ? 0 : 1));
    }
    EXPECT_GE(k, 10) << "lock, look, read, create, write, flush, close, rename, flush folder";
}

INSTANTIATE_TEST_SUITE_P(JederSchritt, Unterbrechung, ::testing::Combine(::testing::Bool(), ::testing::Bool(), ::testing::Bool()));

std::string füllzeilen(int n) {
    return n ? "\r\n0 - Niemand" + füllzeilen(n - 1) : "";
}

// The window's text: each line its own, filled up to ten, no line end at the
// close; only "löschen" answered with Yes empties the list.
TEST_F(Liste, FensterTextUndLöschenNurNachJa) {
    // An empty name (three characters) is not shown; "ä" comes out as UTF-8;
    // a control byte would break the line, so it shows as "?".
    EXPECT_EQ(HighscoreText({"100Max", "042", "042J\xE4rg", "007a\nb", "Liste"}),
              "100 - Max\r\n042 - J\xC3\xA4rg\r\n007 - a?b\r\nLis - te" + füllzeilen(6));
    platte.ablegen("/spiel/Highscores.qmb", datei({"020Spieler", "011X"}));
    frmHighScoreModell form(liste, fenster);
    form.Form_Load();
    fenster.msgAntworten = {Antwort::Nein, Antwort::Ja};
    form.cmdLöschen_Click();
    EXPECT_EQ(form.txtHighscore + lies(), "020 - Spieler\r\n011 - X" + füllzeilen(8) + datei({"020Spieler", "011X"}));
    form.cmdLöschen_Click();
    platte.stromausfall(); // cleared for good, and an empty list shows ten lines of filler
    EXPECT_EQ(form.txtHighscore + lies(), füllzeilen(10).substr(2) + "fehlt");
    for (const Dialog& frage : fenster.protokoll)
        EXPECT_TRUE(frage.knöpfe == Knöpfe::JaNein && frage.symbol == Symbol::Frage && frage.standard == Antwort::Nein);
}

std::string eigeneSperre() { return "Highscores." + std::to_string(::geteuid()) + ".lock"; }

// The lock on the machine's file system: a plain file of this user's, for
// his eyes only, and nothing else. A pipe, a link or another user's file in
// its place is refused at once, never waited on nor followed, and a held
// lock is answered at once.
TEST(Kopien, SperrdateiNurAlsEigeneGewöhnlicheDatei) {
    namespace fs = std::filesystem;
    std::string vorlage = ::testing::TempDir() + "quambel-sperre-XXXXXX";
    TestProgramm programm;
    programm.appPfad = ::mkdtemp(vorlage.data());
    const std::string pfad = programm.appPfad + "/" + eigeneSperre();
    Dateisystem& d = systemDateisystem();
    std::unique_ptr<Sperre> fremd, s;
    const auto leer = [](const std::string& p) { // an empty file made at p
        std::ofstream{p};
        return p;
    };
    const std::tuple<std::function<void()>, Fehlernummer> fälle[] = {
        {[&] { fs::permissions(leer(pfad), fs::perms(0644)); }, 0},
        {[&] { ::mkfifo(pfad.c_str(), 0600); }, EINVAL},
        {[&] { fs::create_symlink(leer(programm.appPfad + "/ziel"), pfad); }, ELOOP},
        {[&] { (void)::chown(leer(pfad).c_str(), 65534, 65534); }, ::geteuid() == 0 ? EPERM : 0},
        {[&] { d.sperren(pfad, false, fremd); }, EWOULDBLOCK},
    };
    for (const auto& [anlegen, erwartet] : fälle) {
        fs::remove(pfad);
        anlegen();
        EXPECT_EQ(d.sperren(pfad, true, s), erwartet);
        EXPECT_TRUE(erwartet || fs::status(pfad).permissions() == fs::perms(0600));
        s.reset();
    }
    fs::remove_all(programm.appPfad);
}

TEST(Kopien, ZugleichGehtKeinEintragVerlorenUndDieListeBleibtGanz) {
    std::string vorlage = ::testing::TempDir() + "quambel-kopien-XXXXXX";
    TestProgramm programm;
    programm.appPfad = ::mkdtemp(vorlage.data());
    const std::vector<std::string> erwartet = {"100B4", "090A4", "080B3", "070A3", "060B2", "050A2", "040B1", "030A1", "020B0", "010A0"};
    std::vector<pid_t> vorige;
    for (int runde = 0; runde < 20; ++runde) {
        std::filesystem::remove(programm.appPfad + "/Highscores.qmb");
        // What the last round's copies, gone now, might have left: it goes.
        for (pid_t p : vorige) std::ofstream{programm.appPfad + "/Cache.qmb." + std::to_string(p) + ".1"};
        if (!vorige.empty()) std::ofstream{programm.appPfad + "/.Highscores-Probe-" + std::to_string(vorige[0]) + "-0"};
        int los[2];
        ASSERT_EQ(::pipe(los), 0);
        std::vector<pid_t> kinder;
        // Copies 0 and 1 enter five scores each, copy 2 starts again and
        // again. Each waits until the pipe closes, so that all begin at once.
        for (int k = 0; k < 3; ++k) {
            kinder.push_back(::fork());
            if (kinder.back() != 0) continue;
            ::close(los[1]);
            char c;
            [[maybe_unused]] const auto n = ::read(los[0], &c, 1);
            SkriptFenster fenster;
            modQuambel liste(programm, fenster);
            bool gut = true;
            if (k < 2)
                for (int i = 0; i < 5 && gut; ++i)
                    gut = liste.HighscoreEintragen(std::string(1, "AB"[k]) + std::to_string(i),
                                                   static_cast<int16_t>(20 * i + 10 * k + 10)) > 0;
            else
                for (int i = 0; i < 20 && gut; ++i)
                    gut = std::ranges::all_of(modQuambel(programm, fenster).ZeilenLesen(), istEintrag);
            ::_exit(gut && fenster.protokoll.empty() ? 0 : 1);
        }
        ::close(los[0]);
        ::close(los[1]);

        for (pid_t p : kinder) {
            int status = -1;
            ::waitpid(p, &status, 0);
            EXPECT_EQ(status, 0) << "a copy saw a failure, a lost place or a broken list in round " << runde;
        }
        vorige = kinder;
        SkriptFenster fenster;
        ASSERT_EQ(modQuambel(programm, fenster).ZeilenLesen(), erwartet) << runde;
        for (const auto& e : std::filesystem::directory_iterator(programm.appPfad))
            EXPECT_TRUE(e.path().filename() == "Highscores.qmb" || e.path().filename() == eigeneSperre()) << e.path();
    }
    std::filesystem::remove_all(programm.appPfad);
}

} // namespace
} // namespace qmb::test

// The list and the music files on the real Windows file system, in folders
// whose names have umlauts (UTF-8 inside, UTF-16 at the system): replacing an
// existing list, every byte kept (CR LF and Ctrl-Z are text-mode traps), the
// player's words for the system's errors, and a stop at every step of a write.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "../highscore/Hilfen.h"
#include "highscore/modQuambel.h"
#include "platform/Systemdienste.h"
#include "sound/modSound.h"
#include "sound/player/MidiDatei.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;

struct Absturz {};

// Stops the program at the k-th operation, open files included.
struct Unterbrecher : Dateisystem {
    Dateisystem& echt = systemDateisystem();
    int k = 0, schritte = 0;
    void schritt() {
        if (++schritte == k) throw Absturz{};
    }
    struct Datei : Schreibdatei {
        Unterbrecher* u;
        std::unique_ptr<Schreibdatei> d;
        Fehlernummer schreiben(std::string_view t) override { return u->schritt(), d->schreiben(t); }
        Fehlernummer sichern() override { return u->schritt(), d->sichern(); }
        Fehlernummer schliessen() override { return u->schritt(), d->schliessen(); }
    };
    Dateiart art(const std::string& p) override { return schritt(), echt.art(p); }
    Fehlernummer lesen(const std::string& p, std::size_t g, std::string& i, bool& m) override {
        return schritt(), echt.lesen(p, g, i, m);
    }
    Fehlernummer anlegen(const std::string& p, std::unique_ptr<Schreibdatei>& d) override {
        schritt();
        auto w = std::make_unique<Datei>();
        w->u = this;
        const Fehlernummer f = echt.anlegen(p, w->d);
        if (!f) d = std::move(w);
        return f;
    }
    Fehlernummer umbenennen(const std::string& v, const std::string& n) override { return schritt(), echt.umbenennen(v, n); }
    Fehlernummer entfernen(const std::string& p) override { return schritt(), echt.entfernen(p); }
    Fehlernummer ordnerSichern(const std::string& o) override { return schritt(), echt.ordnerSichern(o); }
    Fehlernummer ordnerAnlegen(const std::string& o) override { return schritt(), echt.ordnerAnlegen(o); }
    bool beschreibbar(const std::string& o) override { return schritt(), echt.beschreibbar(o); }
};

// A fresh folder "Spiel Ä ü …" in the system's temporary folder, named in UTF-16.
struct UmlautOrdner : ::testing::Test {
    fs::path ordner = fs::temp_directory_path() / (L"Spiel \u00c4 \u00fc " + std::to_wstring(::GetCurrentProcessId()));
    std::string utf8 = utf8Text(ordner);
    TestProgramm programm;
    SkriptFenster fenster;
    void SetUp() override {
        fs::remove_all(ordner);
        fs::create_directories(ordner);
        programm.appPfad = programm.tempOrdner = utf8;
        programm.benutzerOrdner = utf8 + "\\nutzer";
    }
    void TearDown() override { fs::remove_all(ordner); }
    std::string lies(const fs::path& p) const {
        std::ifstream ein(ordner / p, std::ios::binary);
        return {std::istreambuf_iterator<char>(ein), {}};
    }
    std::set<fs::path> namen() const {
        std::set<fs::path> n;
        for (const auto& e : fs::directory_iterator(ordner)) n.insert(e.path().filename());
        return n;
    }
};

// "rolf" at that place of a line is scrambled into a Ctrl-Z byte.
const std::vector<std::string> ALT{"090A", "070B", "050C"};
const std::vector<std::string> NEU{"090A", "070B", "060rolf", "050C"};

TEST_F(UmlautOrdner, ListeWirdErsetztUndBleibtByteFuerByte) {
    std::ofstream(ordner / L"Highscores.qmb", std::ios::binary) << datei(ALT);
    modQuambel liste(programm, fenster);
    liste.HighscoreDateiSetzen();
    EXPECT_EQ(liste.HighscoreEintragen("rolf", 60), 3);
    EXPECT_EQ(liste.HighscoreEintragen("Zwei", 55), 4);
    EXPECT_EQ(lies(L"Highscores.qmb"), datei({"090A", "070B", "060rolf", "055Zwei", "050C"}));
    EXPECT_TRUE(fenster.nur(Dialog::MsgBox).empty());
}

TEST_F(UmlautOrdner, FehlerDesSystemsInDenWortenDesSpiels) {
    // A folder in the list's place; the list held open by another program.
    const struct {
        bool ordner;
        const char* worte;
    } fälle[] = {{true, "an ihrer Stelle steht ein Ordner"}, {false, "die Datei ist in Benutzung"}};
    for (const auto& fall : fälle) {
        SetUp();
        const fs::path pfad = ordner / L"Highscores.qmb";
        HANDLE fremd = INVALID_HANDLE_VALUE;
        if (fall.ordner) fs::create_directory(pfad);
        else fremd = ::CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        SkriptFenster meldungen;
        modQuambel liste(programm, meldungen);
        liste.HighscoreDateiSetzen();
        EXPECT_EQ(liste.HighscoreEintragen("Neu", 60), 0);
        ASSERT_EQ(meldungen.nur(Dialog::MsgBox).size(), 1u) << fall.worte;
        EXPECT_NE(meldungen.nur(Dialog::MsgBox)[0].prompt.find(fall.worte), std::string::npos)
            << meldungen.nur(Dialog::MsgBox)[0].prompt;
        if (fremd != INVALID_HANDLE_VALUE) ::CloseHandle(fremd);
    }
}

TEST_F(UmlautOrdner, HaltAnJedemSchrittLaesstDieAlteOderDieNeueListe) {
    int k = 1;
    for (;; ++k) {
        SCOPED_TRACE("Schritt " + std::to_string(k));
        SetUp();
        std::ofstream(ordner / L"Highscores.qmb", std::ios::binary) << datei(ALT);
        Unterbrecher halt;
        halt.k = k;
        try {
            modQuambel liste(programm, fenster, halt);
            liste.HighscoreDateiSetzen();
            liste.HighscoreEintragen("rolf", 60);
        } catch (const Absturz&) {
        }
        const std::string jetzt = lies(L"Highscores.qmb");
        const bool blieb = jetzt == datei(ALT);
        ASSERT_TRUE(blieb || jetzt == datei(NEU));
        modQuambel neustart(programm, fenster);
        neustart.HighscoreDateiSetzen();
        EXPECT_EQ(namen(), std::set<fs::path>{L"Highscores.qmb"}) << "leftovers are cleared at the next start";
        EXPECT_EQ(neustart.HighscoreEintragen("Danach", 10), blieb ? 4 : 5);
        if (halt.schritte < k) break; // every step was reached
    }
    EXPECT_GE(k, 8);
    EXPECT_TRUE(fenster.nur(Dialog::MsgBox).empty());
}

TEST_F(UmlautOrdner, MidiDateiWirdGefundenUndGelesen) {
    std::ofstream(ordner / L"st\u00fcck.mid", std::ios::binary) << "MThd kaputt";
    MidiStück stück;
    EXPECT_NE(leseMidiDatei(utf8 + "\\st\xC3\xBCck.mid", stück), MidiFehler::DateiUnlesbar);
}

TEST_F(UmlautOrdner, MusikordnerEntstehtUndGehtWieder) {
    BefehlsProtokoll mci;
    modSound sound{mci, programm, fenster};
    for (int id = 101; id <= 106; ++id) programm.ressourcen[id] = {'M', '\r', '\n', 0x1A, static_cast<unsigned char>(id)};
    sound.SoundInitialisieren();
    EXPECT_TRUE(fenster.nur(Dialog::MsgBox).empty());
    EXPECT_EQ(lies(L"QmbSound\\won.qmb"), std::string("M\r\n\x1A") + static_cast<char>(102));
    EXPECT_EQ(sound.VerlorenDatei, utf8 + "\\QmbSound\\lost.qmb");
    sound.SoundBeenden();
    EXPECT_EQ(namen(), std::set<fs::path>{});
}

} // namespace
} // namespace qmb::test

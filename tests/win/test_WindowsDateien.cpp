// The list and the music files on the real Windows file system, in a folder
// whose name has umlauts (UTF-8 inside, UTF-16 at the system): a stop at every
// step of a write that replaces an existing list, every byte kept (CR LF and
// Ctrl-Z are text-mode traps), the player's words for the system's errors,
// the lock between copies, the music folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "Attrappen.h"
#include "../highscore/Listenbytes.h"
#include "highscore/modQuambel.h"
#include "platform/Systemdienste.h"
#include "sound/modSound.h"
#include "sound/player/MidiDatei.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;

// The machine's file system, stopping the program at the k-th operation.
struct Unterbrecher : Dateisystem {
    Dateisystem& echt = systemDateisystem();
    int k = 0, schritte = 0;
    // One more step on the real file system or a real file; the k-th never comes back.
    template <typename T> T& weiter(T& x) {
        if (++schritte == k) throw Absturz{};
        return x;
    }
    struct Datei : Schreibdatei {
        Unterbrecher* u;
        std::unique_ptr<Schreibdatei> d;
        Fehlernummer schreiben(std::string_view t) override { return u->weiter(*d).schreiben(t); }
        Fehlernummer sichern() override { return u->weiter(*d).sichern(); }
        Fehlernummer schließen() override { return u->weiter(*d).schließen(); }
    };
    using S = const std::string&;
    Dateiart art(S p) override { return weiter(echt).art(p); }
    Fehlernummer lesen(S p, std::size_t g, std::string& i, bool& m) override { return weiter(echt).lesen(p, g, i, m); }
    Fehlernummer anlegen(S p, std::unique_ptr<Schreibdatei>& d, bool privat) override {
        auto w = std::make_unique<Datei>();
        w->u = this;
        const Fehlernummer f = weiter(echt).anlegen(p, w->d, privat);
        if (!f) d = std::move(w);
        return f;
    }
    Fehlernummer umbenennen(S v, S n) override { return weiter(echt).umbenennen(v, n); }
    Fehlernummer entfernen(S p) override { return weiter(echt).entfernen(p); }
    Fehlernummer ordnerSichern(S o) override { return weiter(echt).ordnerSichern(o); }
    Fehlernummer ordnerAnlegen(S o) override { return weiter(echt).ordnerAnlegen(o); }
    bool beschreibbar(S o) override { return weiter(echt).beschreibbar(o); }
    Fehlernummer auflisten(S o, std::vector<std::string>& n) override { return weiter(echt).auflisten(o, n); }
    Fehlernummer sperren(S p, bool e, std::unique_ptr<Sperre>& s) override { return weiter(echt).sperren(p, e, s); }
    std::string kennung() override { return echt.kennung(); }
    bool läuft(S k) override { return echt.läuft(k); }
    std::string benutzer() override { return echt.benutzer(); }
    Fehlernummer eigenerOrdner(S o) override { return weiter(echt).eigenerOrdner(o); }
    Fehlernummer ordnerEntfernen(S o) override { return weiter(echt).ordnerEntfernen(o); }
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
        programm.appPfad = programm.tempOrdner = programm.benutzerOrdner = utf8; // nothing outside it
    }
    void TearDown() override { fs::remove_all(ordner); }
    std::string lies(const fs::path& p) const { return (std::ostringstream() << std::ifstream(ordner / p, std::ios::binary).rdbuf()).str(); }
    std::set<fs::path> namen() const { return {fs::directory_iterator(ordner), fs::directory_iterator()}; }
};

TEST_F(UmlautOrdner, HaltAnJedemSchrittLaesstDieAlteOderDieNeueListe) {
    int k = 1;
    for (;; ++k) {
        SCOPED_TRACE("Schritt " + std::to_string(k));
        SetUp();
        std::ofstream(ordner / L"Highscores.qmb", std::ios::binary) << datei(ALT);
        Unterbrecher halt;
        halt.k = k;
        try {
            modQuambel(programm, fenster, halt).HighscoreEintragen("rolf", 60);
        } catch (const Absturz&) {
        }
        const bool blieb = lies(L"Highscores.qmb") == datei(ALT);
        ASSERT_TRUE(blieb || lies(L"Highscores.qmb") == datei(NEU));
        modQuambel neustart(programm, fenster);
        neustart.HighscoreDateiSetzen();
        EXPECT_EQ(namen(), (std::set<fs::path>{ordner / L"Highscores.lock", ordner / L"Highscores.qmb"}));
        // Read past the Ctrl-Z, written without a CR before each LF.
        EXPECT_EQ(neustart.HighscoreEintragen("Danach", 10), blieb ? 4 : 5);
        if (halt.schritte < k) break; // every step was reached
    }
    EXPECT_GE(k, 8);
    EXPECT_TRUE(fenster.nur(Dialog::MsgBox).empty());
}

TEST_F(UmlautOrdner, ListeInBenutzungInDenWortenDesSpiels) {
    const HANDLE fremd = ::CreateFileW((ordner / L"Highscores.qmb").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    modQuambel liste(programm, fenster);
    liste.HighscoreDateiSetzen();
    EXPECT_EQ(liste.HighscoreEintragen("Neu", 60), modQuambel::NICHT_GESPEICHERT);
    EXPECT_NE(fenster.nur(Dialog::MsgBox).at(0).prompt.find(": Die Datei ist in Benutzung."), std::string::npos);
    ::CloseHandle(fremd);
}

TEST_F(UmlautOrdner, SperreZwischenKopien) {
    Dateisystem& d = systemDateisystem();
    std::unique_ptr<Sperre> a, b, c;
    const std::string pfad = utf8 + "\\Highscores.lock";
    EXPECT_EQ(d.sperren(pfad, false, a) + d.sperren(pfad, false, b), 0) << "shared beside shared";
    EXPECT_EQ(d.sperren(pfad, true, c), EWOULDBLOCK);
    a.reset();
    b.reset();
    EXPECT_EQ(d.sperren(pfad, true, c), 0);
}

TEST_F(UmlautOrdner, MusikdateienInUmlautOrdnern) {
    BefehlsProtokoll mci;
    modSound sound{mci, programm, fenster};
    for (int id = 101; id <= 106; ++id) programm.ressourcen[id] = {'M', '\r', '\n', 0x1A, static_cast<unsigned char>(id)};
    sound.SoundInitialisieren();
    EXPECT_TRUE(fenster.nur(Dialog::MsgBox).empty());
    EXPECT_EQ(lies(L"QmbSound\\won.qmb"), std::string("M\r\n\x1A") + static_cast<char>(102));
    MidiStück stück; // the player's reader finds it: not a MIDI file, but no unreadable one
    EXPECT_EQ(leseMidiDatei(sound.VerlorenDatei, stück), MidiFehler::KeinKopf);
    sound.SoundBeenden();
    // Windows 10 removes the folder too; wine keeps a name deleted while the
    // lock is open until it is closed, so there the folder stays, empty.
    EXPECT_TRUE(!fs::exists(ordner / L"QmbSound") || fs::is_empty(ordner / L"QmbSound"));
}

} // namespace
} // namespace qmb::test

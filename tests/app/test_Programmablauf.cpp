// Loading and closing the main window, in their order across every port,
// and the instructions text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <stdlib.h>

#include "Attrappen.h"
#include "NeuerOrdner.h"
#include "app/Anleitung.h"
#include "game/frmMain.h"
#include "sound/modSound.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;
using Schritte = std::vector<std::string>;

// One time line for every port, so that order across them can be checked.
struct Zeitleiste {
    Schritte schritte;
    void operator()(std::string s) { schritte.push_back(std::move(s)); }
};

class ZeitFenster : public SkriptFenster {
public:
    explicit ZeitFenster(Zeitleiste& z) : z_(z) {}
    void DoEvents() override { z_("DoEvents"); SkriptFenster::DoEvents(); }
    void Zeigen(qmb::Fenster f, bool modal) override {
        z_(std::string(f == qmb::Fenster::About ? "About" : "HighScore") + (modal ? " modal" : " modeless"));
        SkriptFenster::Zeigen(f, modal);
    }
    Antwort MsgBox(const std::string& p, Knoepfe k, Symbol s, const std::string& t, Antwort a) override {
        z_("MsgBox " + t);
        return SkriptFenster::MsgBox(p, k, s, t, a);
    }
private:
    Zeitleiste& z_;
};

class ZeitBefehle : public BefehlsProtokoll {
public:
    explicit ZeitBefehle(Zeitleiste& z) : z_(z) {}
    unsigned mciSendString(const std::string& b, std::string& a) override {
        z_(b.rfind("open ", 0) == 0 ? "open " + b.substr(b.rfind(" alias ") + 7) : b);
        return BefehlsProtokoll::mciSendString(b, a);
    }
private:
    Zeitleiste& z_;
};

class ZeitZeiger : public ZeigerProtokoll {
public:
    ZeitZeiger(Zeitleiste& z, std::function<std::string()> stand) : z_(z), stand_(std::move(stand)) {}
    void ClipCursor(const Rechteck& r) override {
        ZeigerProtokoll::ClipCursor(r);
        z_(std::string(r == desktop ? "Zeiger frei" : "Zeiger eingesperrt") + stand_());
    }
private:
    Zeitleiste& z_;
    std::function<std::string()> stand_;
};

class ZeitListe : public Bestenliste {
public:
    explicit ZeitListe(Zeitleiste& z) : z_(z) {}
    void HighscoreDateiSetzen() override { z_("HighscoreDateiSetzen"); }
    bool IstHighscore(int16_t) override { z_("IstHighscore"); return true; }
    int16_t HighscoreEintragen(const std::string&, int16_t) override { z_("HighscoreEintragen"); return 1; }
private:
    Zeitleiste& z_;
};

struct Programmablauf : ::testing::Test {
    Zeitleiste z;
    ZeitFenster fenster{z};
    FesterZufall zufall;
    FesteZeit uhr;
    frmMain* mp = nullptr;
    ZeitZeiger zeiger{z, [this] {
        return mp && mp->Ball.Existiert(100) && mp->Bonus.Existiert(10) && !mp->Ball.Existiert(101) ? " (Objekte da)" : "";
    }};
    ZeitBefehle mci{z};
    TestProgramm programm;
    modSound sound{mci, programm, fenster};
    ZeitListe liste{z};
    frmMain m{Dienste{fenster, zufall, uhr, zeiger}, sound, liste};
    fs::path temp;

    void SetUp() override {
        mp = &m;
        temp = neuerOrdner("quambel-ablauf-");
        programm.tempOrdner = temp.string();
        for (int id = 101; id <= 106; ++id) programm.ressourcen[id] = {'M', 'T', 'h', 'd'};
    }
    void TearDown() override { fs::remove_all(temp); }
    // Only what names a step of its own; the balls loading shows in the pointer step.
    bool musikDa() const { return fs::exists(temp / "QmbSound" / "game1.qmb"); }
};

TEST_F(Programmablauf, LadenInSeinerReihenfolge) {
    ASSERT_FALSE(m.Ball.Existiert(1));
    m.Form_Load();
    EXPECT_EQ(z.schritte, (Schritte{
                              "DoEvents",            // music written: after the four background pieces
                              "DoEvents",            // the random piece lets events in first
                              "stop qmbgame", "close qmbgame", "open qmbgame", "play qmbgame from 0",
                              "Zeiger frei (Objekte da)",
                              "HighscoreDateiSetzen",
                          }));
    EXPECT_TRUE(musikDa());
    EXPECT_TRUE(m.fraSpielEinstellungen.Visible);
    EXPECT_FALSE(m.SpielLäuft);
    EXPECT_FALSE(m.Ball(100).Visible);
    // A second load event (Qt can show a window twice) changes nothing.
    z.schritte.clear();
    m.Form_Load();
    EXPECT_TRUE(z.schritte.empty());
}

TEST_F(Programmablauf, SchließenInSeinerReihenfolge) {
    m.Form_Load();
    z.schritte.clear();
    m.Form_Unload();
    EXPECT_EQ(z.schritte, (Schritte{
                              "Zeiger frei (Objekte da)",
                              "About modeless",
                              "stop qmbscore", "close qmbscore", "stop qmbgame", "close qmbgame",
                          }));
    EXPECT_FALSE(musikDa());
    EXPECT_FALSE(fs::exists(temp / "QmbSound"));
}

// Closed in the middle of a game: no abort message, no entry, and no timer
// may tick on a window that is gone.
TEST_F(Programmablauf, SchließenMittenImSpiel) {
    m.Form_Load();
    m.optTastatur.Value = true;
    m.optMaus.Value = false;
    m.SpielStarten();
    ASSERT_TRUE(m.SpielLäuft);
    ASSERT_TRUE(m.tmrBälle.Enabled());
    z.schritte.clear();
    m.Form_Unload();
    for (const auto& s : z.schritte) {
        EXPECT_EQ(s.rfind("MsgBox", 0), std::string::npos) << s;
        EXPECT_NE(s, "HighscoreEintragen");
        EXPECT_NE(s, "IstHighscore");
    }
    for (Zeitgeber* t : {&m.tmrBälle, &m.tmrBonusse, &m.tmrSchüsse, &m.tmrPad, &m.tmrRand})
        EXPECT_FALSE(t->Enabled()) << t->Name();
    EXPECT_FALSE(musikDa());
    // Closing twice (close box after Ctrl+Q) does it all once.
    z.schritte.clear();
    m.Unload();
    m.Form_Unload();
    EXPECT_TRUE(z.schritte.empty());
}

TEST_F(Programmablauf, KnöpfeUndMenüpunkte) {
    m.Form_Load();
    z.schritte.clear();
    m.mnuAbout_Click();
    m.mnuHighScore_Click();
    EXPECT_EQ(z.schritte, (Schritte{"About modal", "HighScore modal"}));
    m.cmdBeenden_Click();
    EXPECT_TRUE(m.Entladen()); // the view closes its widget when it mirrors this
}

TEST(Anleitung, DreiundzwanzigZeilen) {
    const Schritte zeilen{
        "I. Das Ziel des Spiels Quambel ist es, möglichst viele Bälle gleichzeitig in der Luft zu behalten, "
        "wobei 100 die Maximalpunktzahl darstellt. Die Steuerung des Pads erfolgt durch:",
        "  a) Tastatur:",
        "    Pfeil nach rechts: Pad nach rechts bewegen",
        "    Pfeil nach links: Pad nach links bewegen.",
        "  b) Maus (bewegen).",
        "",
        "II. Außerdem gibt es Zusatzfunktionen:",
        "  1. Das PowerPad: Das Pad wird rot, die Bälle springen höher.",
        "  2. Die Gewehre: befinden sich links und rechts am Pad und können abwechselnd schießen. Dabei darf "
        "allerdings nicht die Munition fehlen, die über einen Bonus nachgeladen werden kann.",
        "     Wird ein Ball getroffen, teilt er sich.",
        "",
        "III. Um das Spiel zu vereinfachen gibt es Boni:",
        "  1. Munition",
        "  2. 5 Bälle",
        "  3. 2 weitere Boni",
        "",
        "IV. Die weitere Steuerung: (Maus UND Tastatur)",
        "  Strg/Ctrl oder C oder Pfeil nach oben: Schießen",
        "  Shift oder Leertaste oder Pfeil nach unten: PowerPad",
        "  Linksklick: Schießen",
        "  Rechtsklick: PowerPad",
        "",
        "Das Spiel kann jederzeit mit Esc abgebrochen werden.",
    };
    Schritte gelesen;
    const std::string& text = AnleitungText();
    size_t anfang = 0;
    for (;;) {
        const size_t ende = text.find("\r\n", anfang);
        gelesen.push_back(text.substr(anfang, ende - anfang));
        if (ende == std::string::npos) break;
        anfang = ende + 2;
    }
    ASSERT_EQ(gelesen.size(), 23u);
    for (size_t i = 0; i < zeilen.size(); ++i) EXPECT_EQ(gelesen[i], zeilen[i]) << "Zeile " << i + 1;
    EXPECT_EQ(text.find('\n', text.find("\r\n") + 2) - 1, text.find('\r', text.find("\r\n") + 2))
        << "a lone LF or CR in the text";
}

TEST_F(Programmablauf, AnleitungMittenImSpielHältNichtsAn) {
    m.Form_Load();
    m.optTastatur.Value = true;
    m.optMaus.Value = false;
    m.SpielStarten();
    fenster.protokoll.clear();
    bool liefWährendDesFensters = false;
    fenster.beiDialog = [&](const Dialog&) { liefWährendDesFensters = m.tmrBälle.Enabled() && !m.Pausiert; };
    m.mnuAnleitung_Click();
    const auto boxen = fenster.nur(Dialog::MsgBox);
    ASSERT_FALSE(boxen.empty());
    EXPECT_EQ(boxen.back().titel, "Anleitung zu Quambel. Viel Spaß beim Spielen!");
    EXPECT_EQ(boxen.back().prompt, AnleitungText());
    EXPECT_EQ(boxen.back().symbol, Symbol::Information);
    EXPECT_EQ(boxen.back().knoepfe, Knoepfe::OK);
    EXPECT_TRUE(liefWährendDesFensters);
    EXPECT_TRUE(m.SpielLäuft);
}

} // namespace
} // namespace qmb::test

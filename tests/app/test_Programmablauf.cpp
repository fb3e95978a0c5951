// The program's own course: loading and closing the main window in their
// order across every port, the buttons and menu items that only pass on,
// and the instructions. (The menus and the settings panel as the player
// first sees them are checked on the real window, in tests/qt.)
#include <gtest/gtest.h>

#include "Modell.h"
#include "app/Anleitung.h"

namespace qmb::test {
namespace {

using Schritte = std::vector<std::string>;

struct Programmablauf : ::testing::Test, Modell {
    Programmablauf() {
        einrichten();
        // The window loads its balls and bonuses itself.
        for (int i = 1; i <= 100; ++i) m.Ball.Unload(i);
        for (int i = 1; i <= 10; ++i) m.Bonus.Unload(i);
    }
};

// Loaded once however often Qt shows it, then closed in the middle of a
// game: no message, no entry, and no timer may tick on a window that is gone.
TEST_F(Programmablauf, LadenUndSchließen) {
    m.Form_Load();
    // The order, with the piece's file name left out of "open".
    for (auto& schritt : ablauf)
        if (schritt.rfind("open ", 0) == 0) schritt = "open" + schritt.substr(schritt.rfind(" alias ") + 6);
    EXPECT_EQ(ablauf, (Schritte{"DoEvents", // the music written, after the background pieces
                                "DoEvents", // the random piece lets events in first
                                "stop qmbgame", "close qmbgame", "open qmbgame", "play qmbgame from 0", "Zeiger frei",
                                "HighscoreDateiSetzen"}));
    EXPECT_TRUE(std::filesystem::exists(ordner / "QmbSound" / "game1.qmb"));
    EXPECT_EQ(m.Ball.Anzahl(), 100);
    EXPECT_EQ(m.Bonus.Anzahl(), 10);
    ablauf.clear();
    m.Form_Load(); // Qt may show a window twice
    EXPECT_TRUE(ablauf.empty());
    m.optTastatur_Click();
    starten();
    m.cmdBeenden_Click();
    EXPECT_EQ(ablauf, (Schritte{"Zeiger frei", "About", "stop qmbscore", "close qmbscore", "stop qmbgame", "close qmbgame"}));
    EXPECT_FALSE(einSpielTimerLäuft() || std::filesystem::exists(ordner / "QmbSound"));
    ablauf.clear();
    m.Unload(); // the close box after Ctrl+Q
    m.Form_Unload();
    EXPECT_TRUE(ablauf.empty());
}

TEST_F(Programmablauf, KnöpfeUndMenüpunkte) {
    m.Form_Load();
    starten();
    fenster.beiDialog = [this](const Dialog&) { ablauf.push_back(m.tmrBälle.Enabled() ? "läuft" : "steht"); };
    m.mnuAbout_Click();
    m.mnuHighScore_Click();
    m.cmdHilfe_Click();
    m.mnuAnleitung_Click();
    const std::string titel = "MsgBox Anleitung zu Quambel. Viel Spaß beim Spielen!";
    EXPECT_EQ(ablauf, (Schritte{"About modal", "läuft", "HighScore modal", "läuft", titel, "läuft", titel,
                                "läuft"}));
    // The instructions explain every control the game has (the controls
    // tests check what each does), with its lines as the player has always
    // read them: the left arrow's with a full stop, the right arrow's without.
    const Dialog& anleitung = fenster.protokoll[2];
    EXPECT_EQ(anleitung.symbol, Symbol::Information);
    for (const char* zeile : {"\r\n    Pfeil nach rechts: Pad nach rechts bewegen\r\n",
                              "\r\n    Pfeil nach links: Pad nach links bewegen.\r\n", "\r\n  b) Maus (bewegen).\r\n",
                              "\r\n  Strg/Ctrl oder C oder Pfeil nach oben: Schießen\r\n",
                              "\r\n  Shift oder Leertaste oder Pfeil nach unten: PowerPad\r\n",
                              "\r\n  Linksklick: Schießen\r\n", "\r\n  Rechtsklick: PowerPad\r\n",
                              "\r\nDas Spiel kann jederzeit mit Esc abgebrochen werden."})
        EXPECT_NE(anleitung.prompt.find(zeile), std::string::npos) << zeile;
}

} // namespace
} // namespace qmb::test

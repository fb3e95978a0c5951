// The high-score window's model: its text, the clear button, keys, focus.
#include <algorithm>

#include "Hilfen.h"
#include "highscore/frmHighScoreModell.h"

namespace qmb::test {
namespace {

std::string füllzeilen(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "\r\n0 - Niemand";
    return s;
}

TEST(HighscoreText, FülltAufZehnZeilenOhneZeilenendeAmSchluss) {
    EXPECT_EQ(HighscoreText({}), füllzeilen(10).substr(2));
    // An empty name (three characters) is not shown; "ä" comes out as UTF-8;
    // a control byte of a broken file would break the line, so it shows as "?".
    EXPECT_EQ(HighscoreText({"100Max", "042", "042J\xE4rg", "007a\nb"}),
              "100 - Max\r\n042 - J\xC3\xA4rg\r\n007 - a?b" + füllzeilen(7));
    std::vector<std::string> elf;
    for (int i = 0; i < 11; ++i) elf.push_back("05" + std::to_string(i % 10) + "Name");
    const std::string text = HighscoreText(elf);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
    EXPECT_EQ(text.substr(text.size() - 12), "\r\n050 - Name");
}

using Fenster = Ordner;

TEST_F(Fenster, ZeigtDieDateiUndLöschtNurNachJa) {
    std::vector<std::string> zehn;
    for (int i = 10; i > 0; --i) zehn.push_back("0" + std::to_string(i + 10) + "Spieler");
    schreib(datei(zehn));
    frmHighScoreModell form(*liste, fenster);
    form.Form_Load();
    EXPECT_EQ(form.txtHighscore.substr(0, 32), "020 - Spieler\r\n019 - Spieler\r\n01");
    EXPECT_EQ(form.txtHighscore.substr(form.txtHighscore.size() - 13), "011 - Spieler");
    const std::string vorher = form.txtHighscore;

    fenster.msgAntworten = {Antwort::Nein, Antwort::Ja};
    form.cmdLöschen_Click();
    EXPECT_EQ(form.txtHighscore, vorher);
    EXPECT_EQ(lies(), datei(zehn));
    form.cmdLöschen_Click();
    EXPECT_FALSE(std::filesystem::exists(pfad + "/Highscores.qmb"));
    EXPECT_EQ(form.txtHighscore, füllzeilen(10).substr(2));

    const auto fragen = fenster.nur(Dialog::MsgBox);
    ASSERT_EQ(fragen.size(), 2u);
    EXPECT_EQ(fragen[0].prompt, "Wollen Sie die Highscoreliste wirklich löschen?");
    EXPECT_EQ(fragen[0].titel, "Wirklich löschen?");
    EXPECT_EQ(fragen[0].knoepfe, Knoepfe::JaNein);
    EXPECT_EQ(fragen[0].symbol, Symbol::Frage);
    EXPECT_EQ(fragen[0].standard, Antwort::Nein);
}

TEST_F(Fenster, EnterUndEscSchließenDieListeGibtDenFokusWeiter) {
    frmHighScoreModell form(*liste, fenster);
    form.GotFocus(frmHighScoreModell::Steuerelement::cmdLöschen);
    form.GotFocus(frmHighScoreModell::Steuerelement::txtHighscore);
    EXPECT_EQ(form.Fokus, frmHighScoreModell::Steuerelement::cmdSchließen);
    for (int taste : {32, 65, 40}) form.Form_KeyDown(taste);
    EXPECT_FALSE(form.Entladen);
    for (int taste : {13, 27}) {
        frmHighScoreModell f(*liste, fenster);
        f.Form_KeyDown(taste);
        EXPECT_TRUE(f.Entladen) << taste;
    }
}

} // namespace
} // namespace qmb::test

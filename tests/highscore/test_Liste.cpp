// The list file: scrambling, order, the ten places, the bytes on the disk.
#include "Hilfen.h"
#include "highscore/Dateien.h"
#include "highscore/Listenformat.h"

namespace qmb::test {
namespace {

TEST(Verwürfeln, GibtVonHandGerechneteBytes) {
    // '0'^'K' = 0x7B, '4'^'Q' = 0x65, '2'^'X' = 0x6A, 'A'^'h' = 0x29, 'n'^'d' = LF ...
    EXPECT_EQ(ZeileVerwürfeln("042Anna"), "\x7B\x65\x6A\x29\x0A\x02\x0C");
    EXPECT_EQ(ZeileVerwürfeln("100Bob"), "\x7A\x61\x68\x2A\x0B\x0E");
    // A character equal to its key character is kept, so no NUL appears.
    EXPECT_EQ(ZeileVerwürfeln("KQX"), "KQX");
    EXPECT_EQ(ZeileVerwürfeln(""), "");
    EXPECT_EQ(Verwürfeln("abc", ""), "abc");
}

TEST(Verwürfeln, WiederholtDenSchlüsselUndIstSeinEigenesGegenstück) {
    const std::string lang(30, 'a');
    const std::string v = ZeileVerwürfeln(lang);
    EXPECT_EQ(v[0], v[22]);
    EXPECT_EQ(v[7], v[29]);
    EXPECT_NE(v[0], v[1]);
    std::string alle;
    for (int b = 1; b < 256; ++b) alle += static_cast<char>(b);
    EXPECT_EQ(ZeileVerwürfeln(ZeileVerwürfeln(alle)), alle);
    EXPECT_EQ(Verwürfeln(Verwürfeln(alle, "xyz"), "xyz"), alle);
}

using Liste = Ordner;

TEST_F(Liste, OhneDateiGehtJederPunktstandHinein) {
    EXPECT_TRUE(liste->IstHighscore(0));
    EXPECT_EQ(liste->HighscoreEintragen("Anna", 0), 1);
    EXPECT_EQ(lies(), std::string("\x7B\x61\x68\x29\x0A\x02\x0C\r\n"));
    EXPECT_TRUE(fenster.protokoll.empty());
}

TEST_F(Liste, SchreibtByteGenauUndSetztUnbekannteZeichenAlsFragezeichen) {
    EXPECT_EQ(liste->HighscoreEintragen("Anna", 42), 1);
    EXPECT_EQ(liste->HighscoreEintragen("Bob", 100), 1);
    // "Ł" is not in Windows-1252, "ä" is (0xE4): plain text "007?uä".
    EXPECT_EQ(liste->HighscoreEintragen("\xC5\x81u\xC3\xA4", 7), 3);
    EXPECT_EQ(lies(), std::string("\x7A\x61\x68\x2A\x0B\x0E\r\n"
                                  "\x7B\x65\x6A\x29\x0A\x02\x0C\r\n"
                                  "\x7B\x61\x6F\x57\x11\x88\r\n"));
}

TEST(Eintragstext, DreiZiffernUndEinNameAusSichtbarenZeichen) {
    EXPECT_EQ(Eintragstext(42, "Anna"), "042Anna");
    EXPECT_EQ(Eintragstext(250, "a\tb\x7F"), "100a?b?");
    const std::string lang = Eintragstext(-3, std::string(300, 'x'));
    EXPECT_EQ(lang.substr(0, 4), "000x");
    EXPECT_EQ(lang.size(), 3u + 255u);
}

std::vector<std::string> zehn() {
    return {"090A", "080B", "070C", "060D", "050E", "040F", "030G", "020H", "018I", "017J"};
}

TEST_F(Liste, ZehnEinträgeMitGleichstandAmEnde) {
    schreib(datei(zehn()));
    EXPECT_TRUE(liste->IstHighscore(17));
    EXPECT_FALSE(liste->IstHighscore(16));
    EXPECT_EQ(liste->HighscoreEintragen("Neu", 17), 10);
    auto erwartet = zehn();
    erwartet.back() = "017Neu";
    EXPECT_EQ(lies(), datei(erwartet));
    EXPECT_EQ(liste->HighscoreEintragen("Zu wenig", 16), 0);
    EXPECT_EQ(lies(), datei(erwartet));
}

TEST_F(Liste, VolleListeVerliertDenZehntenAnDenBesten) {
    schreib(datei(zehn()));
    EXPECT_EQ(liste->HighscoreEintragen("Top", 99), 1);
    EXPECT_EQ(liste->HighscoreEintragen("Max", 100), 1);
    auto erwartet = zehn();
    erwartet.insert(erwartet.begin(), {"100Max", "099Top"});
    erwartet.resize(10);
    EXPECT_EQ(lies(), datei(erwartet));
}

TEST_F(Liste, NeuesterZuerstUnterGleichen) {
    schreib(datei({"050A", "042B", "042C"}));
    EXPECT_EQ(liste->HighscoreEintragen("Neu", 42), 2);
    EXPECT_EQ(lies(), datei({"050A", "042Neu", "042B", "042C"}));
}

TEST_F(Liste, ZeilenOhneZiffernZählenNichtUndVerschwindenBeimNeuschreiben) {
    auto zeilen = zehn();
    zeilen.pop_back();
    zeilen.insert(zeilen.begin() + 3, "x1Kein Eintrag");
    zeilen.push_back("005"); // an empty name is an entry: the tenth
    schreib(datei(zeilen));
    EXPECT_FALSE(liste->IstHighscore(4));
    EXPECT_TRUE(liste->IstHighscore(5));
    EXPECT_EQ(liste->HighscoreEintragen("", 6), 10);
    auto erwartet = zehn();
    erwartet.back() = "006";
    EXPECT_EQ(lies(), datei(erwartet));
}

TEST_F(Liste, ExistenzprüfungenFürDateienUndOrdner) {
    schreib("x", "datei");
    EXPECT_TRUE(DateiExistiert(pfad + "/datei"));
    EXPECT_TRUE(OrdnerExistiert(pfad + "/datei"));
    EXPECT_FALSE(DateiExistiert(pfad));
    EXPECT_TRUE(OrdnerExistiert(pfad));
    for (const std::string& p : {pfad + "/fehlt", pfad + "/datei/unter", std::string(), pfad + std::string("/datei\0x", 8)}) {
        EXPECT_FALSE(DateiExistiert(p)) << p;
        EXPECT_FALSE(OrdnerExistiert(p)) << p;
    }
}

} // namespace
} // namespace qmb::test

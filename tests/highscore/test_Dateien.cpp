// Broken, huge and unreadable files, the folder of the list and what is left
// behind by an interrupted run.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "Hilfen.h"
#include "Speicherplatte.h"
#include "highscore/Listenformat.h"

namespace qmb::test {
namespace {

using SchlechteDatei = Ordner;

TEST_F(SchlechteDatei, LeerBinärOderAbgeschnittenStörtNicht) {
    schreib("");
    EXPECT_TRUE(liste->IstHighscore(0));
    EXPECT_EQ(liste->HighscoreEintragen("A", 3), 1);

    std::mt19937 zufall(1);
    std::string müll(5000, '\0');
    for (char& c : müll) c = static_cast<char>(zufall() % 8 == 0 ? "\r\n\0"[zufall() % 3] : zufall());
    schreib(müll);
    liste->IstHighscore(50);
    liste->HighscoreEintragen("B", 50);
    for (const auto& z : liste->ZeilenLesen()) EXPECT_TRUE(istEintrag(z)) << "left after the rewrite";
    EXPECT_LE(liste->ZeilenLesen().size(), 10u);

    // Cut off in the middle of the second line, as after a full disk elsewhere.
    schreib(datei({"050Anna", "040Berta"}).substr(0, 13));
    EXPECT_EQ(liste->ZeilenLesen(), (std::vector<std::string>{"050Anna", "040B"}));
    EXPECT_TRUE(fenster.protokoll.empty());
}

TEST_F(SchlechteDatei, RiesigeDateiWirdNurAmAnfangGelesen) {
    {
        std::string kopf = datei({"080Anfang"});
        std::ofstream f(pfad + "/Highscores.qmb", std::ios::binary);
        f << kopf;
        f.seekp(1 << 20);
        f << datei({"099Weit hinten"}); // must never be seen
    }
    ASSERT_EQ(::truncate((pfad + "/Highscores.qmb").c_str(), 100LL << 20), 0);
    EXPECT_EQ(liste->ZeilenLesen().front(), "080Anfang");
    EXPECT_EQ(liste->HighscoreEintragen("Neu", 90), 1);
    EXPECT_EQ(lies(), datei({"090Neu", "080Anfang"}));

    schreib(std::string(3 << 20, 'x')); // one line, no line end at all
    EXPECT_TRUE(liste->IstHighscore(0));
    EXPECT_EQ(liste->ZeilenLesen().size(), 0u);
}

TEST_F(SchlechteDatei, OrdnerOderRohrStattDateiGibtEineMeldungUndHängtNicht) {
    ASSERT_EQ(::mkfifo((pfad + "/Highscores.qmb").c_str(), 0600), 0);
    EXPECT_TRUE(liste->IstHighscore(5)); // a pipe is no list: not opened, no hang
    ::unlink((pfad + "/Highscores.qmb").c_str());
    std::filesystem::create_directory(pfad + "/Highscores.qmb");
    EXPECT_EQ(liste->HighscoreEintragen("Anna", 5), 0);
    const auto meldungen = fenster.nur(Dialog::MsgBox);
    ASSERT_EQ(meldungen.size(), 1u);
    EXPECT_EQ(meldungen[0].symbol, Symbol::Ausrufezeichen);
    EXPECT_NE(meldungen[0].prompt.find(pfad + "/Highscores.qmb"), std::string::npos);
    EXPECT_NE(meldungen[0].prompt.find("nicht gespeichert"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(pfad + "/Cache.qmb"));
}

TEST_F(SchlechteDatei, ReinigtNachAbsturzOhneDieListeAnzurühren) {
    const std::string alt = datei({"050Alt"});
    schreib(alt);
    schreib(datei({"070Unfertig"}).substr(0, 5), "Cache.qmb");
    starten();
    EXPECT_FALSE(std::filesystem::exists(pfad + "/Cache.qmb"));
    EXPECT_EQ(lies(), alt);
    // The writability probe left nothing behind either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pfad), {}), 1);
}

// Root can read and write anything, so refused access is played in memory.
struct ImSpeicher : ::testing::Test {
    Speicherplatte platte;
    TestProgramm programm;
    SkriptFenster fenster;
    void SetUp() override {
        programm.appPfad = "/spiel";
        programm.benutzerOrdner = "/home/.local/share/Quambel";
    }
};

TEST_F(ImSpeicher, UnlesbareListeWirdGemeldetUndNieÜberschrieben) {
    platte.ablegen("/spiel/Highscores.qmb", datei({"050Anna"}));
    platte.lesefehler["/spiel/Highscores.qmb"] = EACCES;
    modQuambel liste(programm, fenster, platte);
    liste.HighscoreDateiSetzen();
    EXPECT_FALSE(liste.IstHighscore(60));
    EXPECT_EQ(liste.HighscoreEintragen("Bob", 60), 0);
    EXPECT_TRUE(liste.ZeilenLesen().empty());
    EXPECT_EQ(platte.inhalt("/spiel/Highscores.qmb"), datei({"050Anna"}));
    const auto meldungen = fenster.nur(Dialog::MsgBox);
    ASSERT_EQ(meldungen.size(), 3u);
    EXPECT_EQ(meldungen[0].prompt,
              "Die Highscoreliste \xE2\x80\x9E/spiel/Highscores.qmb\xE2\x80\x9C konnte nicht gelesen werden "
              "(Zugriff verweigert).\r\n\r\nDas Spiel geht ohne sie weiter; die Datei bleibt, wie sie ist.");
    EXPECT_EQ(meldungen[0].symbol, Symbol::Ausrufezeichen);
}

TEST_F(ImSpeicher, SchreibgeschützterProgrammordnerNimmtDenBenutzerordner) {
    platte.ablegen("/spiel/Highscores.qmb", datei({"050Mitgebracht"}));
    platte.schreibgeschützt.insert("/spiel");
    modQuambel liste(programm, fenster, platte);
    liste.HighscoreDateiSetzen();
    EXPECT_EQ(liste.HighscoreDatei(), "/home/.local/share/Quambel/Highscores.qmb");
    EXPECT_EQ(liste.HighscoreEintragen("Neu", 60), 1);
    EXPECT_EQ(platte.inhalt(liste.HighscoreDatei()), datei({"060Neu", "050Mitgebracht"}));
    EXPECT_EQ(platte.inhalt("/spiel/Highscores.qmb"), datei({"050Mitgebracht"}));
    EXPECT_TRUE(fenster.protokoll.empty());

    platte.schreibgeschützt.clear(); // beside a writable program the list stays there
    programm.appPfad = "/spiel/";
    modQuambel daneben(programm, fenster, platte);
    daneben.HighscoreDateiSetzen();
    EXPECT_EQ(daneben.HighscoreDatei(), "/spiel/Highscores.qmb");
}

// Root may write into /usr/games, but the package manager owns that folder:
// an installed program keeps every player's list in the player's folder.
TEST_F(ImSpeicher, InstalliertesProgrammSchreibtNieNebenSich) {
    programm.installiert = true;
    modQuambel liste(programm, fenster, platte);
    liste.HighscoreDateiSetzen();
    EXPECT_EQ(liste.HighscoreEintragen("Root", 7), 1);
    EXPECT_EQ(liste.HighscoreDatei(), "/home/.local/share/Quambel/Highscores.qmb");
    EXPECT_EQ(platte.art("/spiel/Highscores.qmb"), Dateiart::Fehlt);
    EXPECT_EQ(platte.inhalt("/home/.local/share/Quambel/Highscores.qmb"), datei({"007Root"}));
}

} // namespace
} // namespace qmb::test

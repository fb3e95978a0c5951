// The command strings the music routines send, in order, and which of them
// the music switch holds back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Attrappen.h"
#include "platform/Systemdienste.h"
#include "sound/modSound.h"

namespace qmb::test {
namespace {

using Befehle = std::vector<std::string>;

struct Befehlsfolge : ::testing::Test {
    BefehlsProtokoll mci;
    TestProgramm programm;
    SkriptFenster fenster;
    modSound sound{mci, programm, fenster};
    std::filesystem::path ordner;
    std::string stück;

    void SetUp() override {
        ordner = std::filesystem::temp_directory_path() /
                 ("quambel-befehle-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(ordner);
        stück = (ordner / "game1.qmb").string();
        std::ofstream(stück) << "MThd";
    }
    void TearDown() override { std::filesystem::remove_all(ordner); }
};

TEST_F(Befehlsfolge, MitMusikGehtJederBefehlHinaus) {
    sound.MusikAn = true;
    sound.MciSpielen(stück, "qmbgame");
    sound.MciEndlosSpielen(stück, "qmbscore");
    sound.MciStoppen("qmbgame");
    sound.MciFortsetzen("qmbgame");
    sound.MciSchließen("qmbscore");
    EXPECT_EQ(mci.befehle, (Befehle{
                               "open " + stück + " type MPEGVideo alias qmbgame",
                               "play qmbgame from 0",
                               "open " + stück + " type MPEGVideo alias qmbscore",
                               "play qmbscore repeat from 0",
                               "stop qmbgame",
                               "play qmbgame",
                               "stop qmbscore",
                               "close qmbscore",
                           }));
}

// Off, nothing starts, pauses or resumes; closing and asking still go out.
TEST_F(Befehlsfolge, OhneMusikNurSchließenUndFragen) {
    sound.MusikAn = false;
    sound.MciSpielen(stück, "qmbgame");
    sound.MciEndlosSpielen(stück, "qmbscore");
    sound.MciStoppen("qmbgame");
    sound.MciFortsetzen("qmbgame");
    sound.MciAbfrage("play qmbscore from 2600");
    sound.MciSchließen("qmbgame");
    EXPECT_TRUE(sound.StückZuEnde("qmbgame"));
    EXPECT_EQ(mci.befehle, (Befehle{
                               "play qmbscore from 2600",
                               "stop qmbgame",
                               "close qmbgame",
                               "status qmbgame length",
                               "status qmbgame position",
                           }));
}

// The player needs the path as one word: with a blank it goes in quotes; a
// missing file leaves the file name out, and the command fails quietly.
TEST_F(Befehlsfolge, PfadImOpenBefehl) {
    sound.MusikAn = true;
    const std::string mitLeerzeichen = utf8Text(ordner / u8"mein stück.qmb");
    std::ofstream(utf8Pfad(mitLeerzeichen)) << "MThd";
    sound.MciSpielen(mitLeerzeichen, "qmbgame");
    sound.MciSpielen((ordner / "fehlt.qmb").string(), "qmbscore");
    ASSERT_EQ(mci.befehle.size(), 4u);
    EXPECT_EQ(mci.befehle[0], "open \"" + mitLeerzeichen + "\" type MPEGVideo alias qmbgame");
    EXPECT_EQ(mci.befehle[2], "open  type MPEGVideo alias qmbscore");
}

TEST(Abfrage, FührendeZahlDerAntwort) {
    BefehlsProtokoll mci;
    TestProgramm programm;
    SkriptFenster fenster;
    modSound sound(mci, programm, fenster);
    const auto frage = [&](const std::string& antwort) {
        mci.antworten["status qmbgame length"] = antwort;
        return sound.MciAbfrage("status qmbgame length");
    };
    EXPECT_EQ(frage("183204"), 183204);
    EXPECT_EQ(frage("  42 ms"), 42);
    EXPECT_EQ(frage(""), 0);          // the alias is not open
    EXPECT_EQ(frage("stopped"), 0);   // not a number at all
    EXPECT_EQ(frage("-7"), -7);
    EXPECT_EQ(frage("99999999999999999999"), 2147483647); // saturates, never wraps
    // The answer buffer holds 256 characters: a number past them is cut.
    EXPECT_EQ(frage(std::string(254, ' ') + "12345"), 1);
}

TEST(Abfrage, StückZuEndeWennPositionGleichLänge) {
    BefehlsProtokoll mci;
    TestProgramm programm;
    SkriptFenster fenster;
    modSound sound(mci, programm, fenster);
    mci.antworten["status qmbgame length"] = "60000";
    mci.antworten["status qmbgame position"] = "59999";
    EXPECT_FALSE(sound.StückZuEnde("qmbgame"));
    mci.antworten["status qmbgame position"] = "60000";
    EXPECT_TRUE(sound.StückZuEnde("qmbgame"));
}

} // namespace
} // namespace qmb::test

// The command strings the music routines send, in order, for every event,
// with the music on and off.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "Modell.h"

namespace qmb::test {
namespace {

using Befehle = std::vector<std::string>;

struct Musikbefehle : ::testing::Test, Modell {
    void SetUp() override {
        einrichten();
        for (int i = 1; i <= 4; ++i) { // piece 2 has a blank in its name
            sound.Lieder[i] = (ordner / (i == 2 ? "game 2.qmb" : "game" + std::to_string(i) + ".qmb")).string();
            std::ofstream(sound.Lieder[i]) << "MThd";
        }
        sound.MusikAn = true;
        // The event pump shows in the list where it runs.
        fenster.beiDoEvents = [this](int) { mci.befehle.push_back("(DoEvents)"); };
    }
    Befehle spielt(int i) {
        const std::string p = i == 2 ? "\"" + sound.Lieder[2] + "\"" : sound.Lieder[i];
        return {"(DoEvents)", "stop qmbgame", "close qmbgame", "open " + p + " type MPEGVideo alias qmbgame", "play qmbgame from 0"};
    }
};

TEST_F(Musikbefehle, JedesEreignisMitMusikAnUndAus) {
    const Befehle ende{"status qmbgame length", "status qmbgame position"}, zu{"(DoEvents)", "stop qmbgame", "close qmbgame"};
    const std::string a = sound.Lieder[1];
    const std::tuple<const char*, std::function<void()>, Befehle, Befehle> fälle[] = { // what, on, off
        {"MciEndlosSpielen", [&] { sound.MciEndlosSpielen(a, "qmbscore"); },
         {"open " + a + " type MPEGVideo alias qmbscore", "play qmbscore repeat from 0"}, {}},
        {"missing file", [&] { sound.MciSpielen(a + "x", "qmbgame"); }, {"open  type MPEGVideo alias qmbgame", "play qmbgame from 0"}, {}},
        {"MciStoppen", [&] { sound.MciStoppen("qmbgame"); }, {"stop qmbgame"}, {}},
        {"MciFortsetzen", [&] { sound.MciFortsetzen("qmbgame"); }, {"play qmbgame"}, {}},
        {"MciAbfrage", [&] { sound.MciAbfrage("play qmbscore from 2600"); }, {"play qmbscore from 2600"}, {"play qmbscore from 2600"}},
        {"mnuNächsterSong", [&] { m.mnuNächsterSong_Click(); }, spielt(2), zu},
        {"tmrRand, playing", [&] { m.tmrRand_Timer(); }, ende, ende},
    };
    mci.antworten["status qmbgame length"] = "90000";
    mci.antworten["status qmbgame position"] = "45000";
    for (bool musik : {true, false}) {
        for (const auto& [was, tun, an, aus] : fälle) {
            sound.MusikAn = musik;
            mci.befehle.clear();
            tun();
            EXPECT_EQ(mci.befehle, musik ? an : aus) << was << (musik ? " (on)" : " (off)");
        }
    }
    // At the end of the piece the watch starts the next one; it and the piece both re-seed.
    mci.antworten["status qmbgame position"] = "90000";
    uhr.sekunden = 3600.5;
    zufall.saaten.clear();
    mci.befehle.clear();
    sound.MusikAn = true;
    m.tmrRand_Timer();
    Befehle soll = ende;
    for (const auto& b : spielt(2)) soll.push_back(b);
    EXPECT_EQ(mci.befehle, soll);
    EXPECT_EQ(zufall.saaten, (std::vector<double>{3600.5, 3600.5}));
}

TEST_F(Musikbefehle, MusikschalterImMenü) {
    m.mnuMusik_Click();
    EXPECT_FALSE(sound.MusikAn || m.mnuMusik.Checked);
    EXPECT_EQ(mci.befehle, (Befehle{"stop qmbgame", "close qmbgame"}));
    mci.befehle.clear();
    m.mnuMusik_Click();
    EXPECT_TRUE(sound.MusikAn && m.mnuMusik.Checked);
    EXPECT_EQ(mci.befehle, spielt(2));
}

// r × 3 + 1 rounded with halves to even: 2 and 3 twice as likely as 1 and 4.
TEST_F(Musikbefehle, WahlDesStücks) {
    const std::pair<float, int> fälle[] = {{0.0f, 1}, {0.16f, 1}, {0.17f, 2}, {0.5f, 2}, {0.5f - 1e-7f, 2}, {0.5f + 1e-7f, 3},
                                           {0.8f, 3}, {0.84f, 4}, {0.99999994f, 4}};
    for (const auto& [r, stück] : fälle) {
        zufall.werte = {r};
        mci.befehle.clear();
        m.ZufallsStück();
        EXPECT_EQ(mci.befehle, spielt(stück)) << "r = " << r;
    }
}

TEST_F(Musikbefehle, AbfrageLiestDieFührendeZahl) {
    const std::pair<std::string, int32_t> fälle[] = {
        {"183204", 183204}, {"  42 ms", 42}, {"", 0}, {"stopped", 0}, {"-7", -7}, {"+5", 5},
        {"99999999999999999999", 2147483647}, {"-99999999999", -2147483647},
        {std::string(254, ' ') + "12345", 1}, // the answer buffer holds 256 characters
    };
    for (const auto& [antwort, wert] : fälle) {
        mci.antworten["status qmbgame length"] = antwort;
        EXPECT_EQ(sound.MciAbfrage("status qmbgame length"), wert) << '"' << antwort << '"';
    }
    const std::tuple<const char*, const char*, bool> enden[] = {{"60000", "59999", false}, {"60000", "60000", true}, {"", "", true}};
    for (const auto& [länge, position, zuEnde] : enden) {
        mci.antworten["status qmbgame length"] = länge;
        mci.antworten["status qmbgame position"] = position;
        EXPECT_EQ(sound.StückZuEnde("qmbgame"), zuEnde) << position;
    }
}

} // namespace
} // namespace qmb::test

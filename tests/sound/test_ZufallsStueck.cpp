// The random background piece, the watch timer and the two items of the
// audio menu, with their command strings.
#include <gtest/gtest.h>

#include "Modell.h"

namespace qmb::test {
namespace {

using Befehle = std::vector<std::string>;

struct Hintergrund : ::testing::Test, Modell {

    void SetUp() override {
        // Paths of files that do not exist: the open commands name no file,
        // which is what the test wants to see apart from the alias.
        sound.MusikAn = true;
        for (int i = 1; i <= 4; ++i) sound.Lieder[static_cast<size_t>(i)] = "/fehlt/game" + std::to_string(i);
        fenster.doEventsProtokollieren = true;
    }
    static Befehle spielt() { return {"stop qmbgame", "close qmbgame", "open  type MPEGVideo alias qmbgame",
                                      "play qmbgame from 0"}; }
};

// r × 3 + 1 rounded with halves to even: 2 and 3 twice as likely as 1 and 4.
TEST_F(Hintergrund, WahlDesStücks) {
    struct Fall { float r; int stück; } fälle[] = {
        {0.0f, 1}, {0.16f, 1}, {0.5f, 2}, {0.5f - 1e-7f, 2}, {0.8f, 3}, {0.84f, 4}, {0.99999994f, 4},
    };
    for (const auto& f : fälle) {
        zufall.werte = {f.r};
        // A piece with a real file is named in the open command.
        sound.Lieder[static_cast<size_t>(f.stück)] = programm.tempOrdner; // "." exists
        mci.befehle.clear();
        m.ZufallsStück();
        ASSERT_EQ(mci.befehle.size(), 4u);
        EXPECT_EQ(mci.befehle[2], "open . type MPEGVideo alias qmbgame") << "r = " << f.r;
        sound.Lieder[static_cast<size_t>(f.stück)] = "/fehlt";
    }
}

TEST_F(Hintergrund, ErstNeuSäenDannEreignisseDannSchließen) {
    uhr.sekunden = 3600.5;
    m.ZufallsStück();
    EXPECT_EQ(zufall.saaten, (std::vector<double>{3600.5}));
    ASSERT_FALSE(fenster.protokoll.empty());
    EXPECT_EQ(fenster.protokoll[0].art, Dialog::DoEvents);
    EXPECT_EQ(mci.befehle, spielt());
}

TEST_F(Hintergrund, WächterStartetNurNachDemEnde) {
    mci.antworten["status qmbgame length"] = "90000";
    mci.antworten["status qmbgame position"] = "45000";
    m.tmrRand_Timer();
    EXPECT_EQ(mci.befehle, (Befehle{"status qmbgame length", "status qmbgame position"}));
    mci.befehle.clear();
    mci.antworten["status qmbgame position"] = "90000";
    m.tmrRand_Timer();
    Befehle erwartet{"status qmbgame length", "status qmbgame position"};
    for (const auto& b : spielt()) erwartet.push_back(b);
    EXPECT_EQ(mci.befehle, erwartet);
    EXPECT_EQ(zufall.saaten.size(), 3u); // the watch and the piece both re-seed
}

TEST_F(Hintergrund, MusikschalterUndNächstesStück) {
    ASSERT_TRUE(m.mnuMusik.Checked);
    m.mnuMusik_Click();
    EXPECT_FALSE(sound.MusikAn);
    EXPECT_FALSE(m.mnuMusik.Checked);
    EXPECT_EQ(mci.befehle, (Befehle{"stop qmbgame", "close qmbgame"}));

    // Off, the next piece only closes; so does the watch, at every tick.
    mci.befehle.clear();
    m.mnuNächsterSong_Click();
    m.tmrRand_Timer();
    EXPECT_EQ(mci.befehle, (Befehle{"stop qmbgame", "close qmbgame", "status qmbgame length",
                                    "status qmbgame position", "stop qmbgame", "close qmbgame"}));

    mci.befehle.clear();
    m.mnuMusik_Click();
    EXPECT_TRUE(sound.MusikAn);
    EXPECT_TRUE(m.mnuMusik.Checked);
    EXPECT_EQ(mci.befehle, spielt());
}

} // namespace
} // namespace qmb::test

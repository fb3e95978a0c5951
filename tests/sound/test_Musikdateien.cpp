// The music files: written byte for byte into a private folder at start-up,
// removed at shut-down, one retry and a message when that fails, and a
// folder that is not ours alone refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

#include "Attrappen.h"
#include "sound/modSound.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;

std::vector<unsigned char> bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::string inhalt(const fs::path& p) {
    std::ifstream ein(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(ein), {}};
}

const std::vector<std::string> NAMEN{"game1.qmb", "game2.qmb", "game3.qmb", "game4.qmb", "lost.qmb", "won.qmb"};

struct Musikordner : ::testing::Test {
    BefehlsProtokoll mci;
    TestProgramm programm;
    SkriptFenster fenster;
    modSound sound{mci, programm, fenster};
    fs::path temp;

    void SetUp() override {
        char muster[] = "/tmp/quambel-musik-XXXXXX";
        ASSERT_NE(::mkdtemp(muster), nullptr);
        temp = muster;
        programm.tempOrdner = temp.string();
        for (int id = 101; id <= 106; ++id)
            // Bytes a text reader would mangle: CR LF, NUL, 0xFF.
            programm.ressourcen[id] = bytes("MThd\r\n" + std::to_string(id) + std::string("\0\xff", 2));
    }
    void TearDown() override {
        std::error_code f;
        fs::permissions(temp, fs::perms::owner_all, f);
        fs::remove_all(temp, f);
    }
    fs::path qmb() const { return temp / "QmbSound"; }
    std::vector<Dialog> meldungen() const { return fenster.nur(Dialog::MsgBox); }
};

TEST_F(Musikordner, EinrichtenSchreibtSechsStückeByteFürByte) {
    // Between the background pieces and the jingles the window gets events once.
    std::vector<bool> beimPumpen;
    fenster.beiDoEvents = [&](int) {
        for (const auto& n : NAMEN) beimPumpen.push_back(fs::exists(qmb() / n));
    };
    sound.SoundInitialisieren();
    EXPECT_TRUE(sound.MusikAn);
    EXPECT_TRUE(meldungen().empty());
    EXPECT_EQ(beimPumpen, (std::vector<bool>{true, true, true, true, false, false}));

    EXPECT_EQ(sound.SoundOrdner, qmb().string() + "/");
    EXPECT_EQ(sound.Lieder[1], (qmb() / "game1.qmb").string());
    EXPECT_EQ(sound.Lieder[4], (qmb() / "game4.qmb").string());
    EXPECT_EQ(sound.VerlorenDatei, (qmb() / "lost.qmb").string());
    EXPECT_EQ(sound.GewonnenDatei, (qmb() / "won.qmb").string());
    const int ids[] = {103, 104, 105, 106, 101, 102};
    for (size_t i = 0; i < NAMEN.size(); ++i) {
        const auto& r = programm.ressourcen[ids[i]];
        EXPECT_EQ(inhalt(qmb() / NAMEN[i]), std::string(r.begin(), r.end())) << NAMEN[i];
        struct stat st {};
        ASSERT_EQ(::stat((qmb() / NAMEN[i]).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << NAMEN[i];
    }
    struct stat st {};
    ASSERT_EQ(::stat(qmb().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    mci.befehle.clear();
    sound.SoundBeenden();
    EXPECT_FALSE(fs::exists(qmb()));
    EXPECT_EQ(mci.befehle, (std::vector<std::string>{"stop qmbscore", "close qmbscore", "stop qmbgame",
                                                      "close qmbgame"}));
}

// A folder a crashed run left behind is taken again; the old files are replaced.
TEST_F(Musikordner, ZurückgelassenerOrdnerWirdWiederGenommen) {
    fs::create_directory(qmb());
    fs::permissions(qmb(), fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    std::ofstream(qmb() / "game2.qmb") << "ein viel längerer alter Inhalt, der verschwinden muss";
    sound.SoundInitialisieren();
    EXPECT_TRUE(meldungen().empty());
    const auto& r = programm.ressourcen[104];
    EXPECT_EQ(inhalt(qmb() / "game2.qmb"), std::string(r.begin(), r.end()));
    struct stat st {};
    ASSERT_EQ(::stat(qmb().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "others could read the music folder";
    // Files the program did not write stay, and so does the folder then.
    std::ofstream(qmb() / "fremd.txt") << "x";
    sound.SoundBeenden();
    EXPECT_TRUE(fs::exists(qmb() / "fremd.txt"));
    for (const auto& n : NAMEN) EXPECT_FALSE(fs::exists(qmb() / n)) << n;
}

TEST_F(Musikordner, FehlendesStückEinmalWiederholtDannGemeldet) {
    programm.ressourcen.erase(105);
    sound.SoundInitialisieren();
    const auto m = meldungen();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].prompt,
              "Beim Initialisieren des SoundModuls ist ein Fehler aufgetreten:\r\n"
              "Ressource mit Bezeichner 105 nicht gefunden (326).\r\n\r\nEs kann Störungen beim Sound geben.");
    EXPECT_EQ(m[0].titel, "Fehler beim Laden des Soundmoduls.");
    EXPECT_EQ(m[0].symbol, Symbol::Stopp);
    EXPECT_EQ(m[0].knoepfe, Knoepfe::OK);
    // The retry began with the clean-up; both attempts wrote the first two pieces.
    EXPECT_EQ(mci.befehle, (std::vector<std::string>{"stop qmbscore", "close qmbscore", "stop qmbgame",
                                                      "close qmbgame"}));
    EXPECT_TRUE(fs::exists(qmb() / "game2.qmb"));
    EXPECT_FALSE(fs::exists(qmb() / "game3.qmb"));
    EXPECT_TRUE(sound.MusikAn); // the program goes on and plays what is there
}

TEST_F(Musikordner, KeinTemporärerOrdner) {
    programm.tempOrdner = "";
    sound.SoundInitialisieren();
    ASSERT_EQ(meldungen().size(), 1u);
    EXPECT_NE(meldungen()[0].prompt.find("kein temporärer Ordner"), std::string::npos);
    EXPECT_NE(meldungen()[0].prompt.find("(76)."), std::string::npos);
}

// Someone else planted a link under our name: nothing is written through it,
// nothing is deleted there at the clean-up.
TEST_F(Musikordner, VerweisStattOrdnerWirdAbgelehnt) {
    const fs::path ziel = temp / "anderswo";
    fs::create_directory(ziel);
    std::ofstream(ziel / "game1.qmb") << "wichtig";
    fs::create_directory_symlink(ziel, qmb());
    sound.SoundInitialisieren();
    ASSERT_EQ(meldungen().size(), 1u);
    EXPECT_NE(meldungen()[0].prompt.find("symbolischer Verweis"), std::string::npos) << meldungen()[0].prompt;
    EXPECT_NE(meldungen()[0].prompt.find("(70)."), std::string::npos);
    EXPECT_EQ(inhalt(ziel / "game1.qmb"), "wichtig");
    EXPECT_EQ(std::distance(fs::directory_iterator(ziel), fs::directory_iterator()), 1);
    sound.SoundBeenden();
    EXPECT_EQ(inhalt(ziel / "game1.qmb"), "wichtig");
    EXPECT_TRUE(fs::is_symlink(qmb()));
}

TEST_F(Musikordner, DateiStattOrdnerWirdAbgelehnt) {
    std::ofstream(qmb()) << "kein Ordner";
    sound.SoundInitialisieren();
    ASSERT_EQ(meldungen().size(), 1u);
    EXPECT_NE(meldungen()[0].prompt.find("ist kein Ordner"), std::string::npos);
    EXPECT_EQ(inhalt(qmb()), "kein Ordner");
}

// A link planted in place of one piece is replaced, never written through.
TEST_F(Musikordner, VerweisStattStückWirdErsetzt) {
    fs::create_directory(qmb(), temp);
    ::chmod(qmb().c_str(), 0700);
    const fs::path opfer = temp / "opfer.txt";
    std::ofstream(opfer) << "bleibt";
    fs::create_symlink(opfer, qmb() / "game1.qmb");
    sound.SoundInitialisieren();
    EXPECT_TRUE(meldungen().empty());
    EXPECT_EQ(inhalt(opfer), "bleibt");
    EXPECT_FALSE(fs::is_symlink(qmb() / "game1.qmb"));
}

// Only root can give a folder away; elsewhere this case cannot be built.
TEST_F(Musikordner, FremderOrdnerWirdAbgelehnt) {
    if (::geteuid() != 0) GTEST_SKIP() << "braucht root, um den Ordner einem anderen Benutzer zu geben";
    fs::create_directory(qmb());
    ASSERT_EQ(::chown(qmb().c_str(), 65534, 65534), 0);
    sound.SoundInitialisieren();
    ASSERT_EQ(meldungen().size(), 1u);
    EXPECT_NE(meldungen()[0].prompt.find("gehört einem anderen Benutzer"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(qmb()));
}

} // namespace
} // namespace qmb::test

// The music files: written byte for byte into a private folder at start-up,
// removed at shut-down, one retry and a message when that fails, and a
// folder that is not ours alone refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Modell.h"

namespace qmb::test {
namespace {

namespace fs = std::filesystem;

std::string inhalt(const fs::path& p) {
    std::ifstream ein(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(ein), {}};
}

// The folder p, made now.
fs::path angelegt(const fs::path& p) {
    fs::create_directories(p);
    return p;
}

unsigned rechte(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 01000;
}

// The model's private folder stands in for the system's temporary folder.
struct Musikordner : ::testing::Test, Modell {
    fs::path qmb;

    void SetUp() override {
        einrichten();
        qmb = ordner / "QmbSound";
        zurück();
    }
    void zurück() {
        for (const auto& e : fs::directory_iterator(ordner)) fs::remove_all(e.path());
        programm.tempOrdner = ordner.string();
        vergessen();
        for (int id = 101; id <= 106; ++id) { // bytes a text reader would mangle: CR LF, NUL, 0xFF
            const std::string s = "MThd\r\n" + std::to_string(id) + std::string("\0\xff", 2);
            programm.ressourcen[id] = {s.begin(), s.end()};
        }
    }
    // Each of the six files there with its contents (the part after "MThd\r\n"), "!" if others may read it.
    std::string dateien() {
        std::string s;
        for (const std::string n : {"game1", "game2", "game3", "game4", "lost", "won"})
            if (const fs::path p = qmb / (n + ".qmb"); fs::is_regular_file(p)) s += n + "=" + inhalt(p).substr(6, 3) + (rechte(p) == 0600 ? " " : "! ");
        return s;
    }
    std::string meldungen() {
        std::string s;
        for (const Dialog& d : fenster.nur(Dialog::MsgBox))
            s += "[" + d.titel + (d.symbol == Symbol::Stopp && d.knöpfe == Knöpfe::OK ? "] " : " (other kind)] ") + d.prompt;
        return s;
    }
};

// A folder a crashed run left behind is taken again and closed to others; a
// link in place of a piece is replaced, never written through. What a copy
// killed while writing left goes, what a running one writes stays until the
// last copy leaves.
TEST_F(Musikordner, EinrichtenUndAufräumen) {
    ::chmod(angelegt(qmb).c_str(), 0755);
    std::ofstream(qmb / "game2.qmb") << "ein viel längerer alter Inhalt";
    const pid_t tot = ::fork();
    if (tot == 0) ::_exit(0);
    ::waitpid(tot, nullptr, 0);
    const fs::path halb = qmb / ("lost.qmb." + std::to_string(tot)), läuft = qmb / "won.qmb.1";
    std::ofstream(halb) << "halb";
    std::ofstream(läuft) << "im Werden";
    std::ofstream(ordner / "opfer.txt") << "bleibt";
    fs::create_symlink(ordner / "opfer.txt", qmb / "game1.qmb");
    std::string beimPumpen; // between the background pieces and the jingles the window gets events once
    fenster.beiDoEvents = [&](int) { beimPumpen = dateien(); };
    sound.SoundInitialisieren();
    EXPECT_EQ(beimPumpen, "game1=103 game2=104 game3=105 game4=106 ");
    EXPECT_EQ(dateien() + meldungen(), "game1=103 game2=104 game3=105 game4=106 lost=101 won=102 ");
    EXPECT_FALSE(fs::exists(halb));
    EXPECT_TRUE(fs::exists(läuft));
    EXPECT_EQ(inhalt(qmb / "lost.qmb"), std::string("MThd\r\n101\0\xff", 11));
    EXPECT_EQ(rechte(qmb), 0700u);
    EXPECT_EQ(inhalt(ordner / "opfer.txt"), "bleibt");
    EXPECT_FALSE(fs::is_symlink(qmb / "game1.qmb"));
    sound.SoundBeenden();
    EXPECT_FALSE(fs::exists(qmb));
    // A temporary folder all users share: a folder of one's own in it.
    programm.tempGeteilt = true;
    sound.SoundInitialisieren();
    EXPECT_EQ(sound.SoundOrdner, qmb.string() + "-" + std::to_string(::geteuid()) + "/");
    sound.SoundBeenden();
    EXPECT_FALSE(fs::exists(sound.SoundOrdner));
}

// One retry (it begins with the clean-up), then one message; nothing outside
// our own folder is written or deleted.
TEST_F(Musikordner, FehlschlägeWerdenEinmalWiederholtDannGemeldet) {
    const fs::path anderswo = ordner / "anderswo";
    const std::tuple<std::function<void()>, std::string, std::string, std::string> fälle[] = {
        {[&] { programm.ressourcen.erase(105); }, "game1=103 game2=104 ", "Ressource mit Bezeichner 105 nicht gefunden (326", ""},
        {[&] { programm.tempOrdner = ""; }, "", "Es ist kein temporärer Ordner zu finden (76", ""},
        {[&] {
             std::ofstream(angelegt(anderswo) / "game1.qmb") << "MThd\r\nalt";
             fs::create_directory_symlink(anderswo, qmb);
         },
         "game1=alt! ", "Der Musikordner \"" + qmb.string() + "\" ist ein symbolischer Verweis (70", "game1=alt! "},
        {[&] { std::ofstream(qmb) << "kein Ordner"; }, "", "\"" + qmb.string() + "\" ist kein Ordner (75", ""},
        // Nothing blocks the start; the system's reasons in our words.
        {[&] { ::mkfifo((angelegt(qmb) / ".belegt").c_str(), 0600); }, "",
         "Die Sperrdatei \"" + qmb.string() + "/.belegt\" des Musikordners ließ sich nicht öffnen: An ihrer Stelle steht keine gewöhnliche Datei (75", ""},
        {[&] { fs::create_directories(qmb / "won.qmb"); }, "game1=103 game2=104 game3=105 game4=106 lost=101 ",
         "Die Musikdatei \"" + qmb.string() + "/won.qmb\" konnte nicht geschrieben werden: An ihrer Stelle steht ein Ordner (75", ""},
        {[&] { (void)::chown(angelegt(qmb).c_str(), 65534, 65534); }, "",
         "Der Musikordner \"" + qmb.string() + "\" gehört einem anderen Benutzer (70", ""},
    };
    for (const auto& [einrichten, danach, grund, aufgeräumt] : fälle) {
        if (grund.find("gehört") != std::string::npos && ::geteuid() != 0) continue; // only root can give a folder away
        zurück();
        einrichten();
        sound.SoundInitialisieren();
        EXPECT_EQ(dateien() + meldungen(), danach + "[Fehler beim Laden des Soundmoduls.] Beim Initialisieren des SoundModuls ist ein "
                                                     "Fehler aufgetreten:\r\n" + grund + ").\r\n\r\nEs kann Störungen beim Sound geben.");
        EXPECT_EQ(mci.befehle, (std::vector<std::string>{"stop qmbscore", "close qmbscore", "stop qmbgame", "close qmbgame"}));
        EXPECT_TRUE(sound.MusikAn); // the program goes on and plays what is there
        sound.SoundBeenden();
        EXPECT_EQ(dateien(), aufgeräumt);
    }
}

} // namespace
} // namespace qmb::test

// Copies of the program at once, as real processes on the real file system:
// two enter scores at the same moment while a third starts and shows the
// list again and again. Every entry confirmed must be in the list, every
// look at it must find it whole, and nothing may be left beside it.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "Attrappen.h"
#include "highscore/modQuambel.h"

namespace qmb::test {
namespace {

TEST(Kopien, ZugleichGehtKeinEintragVerlorenUndDieListeBleibtGanz) {
    std::string vorlage = ::testing::TempDir() + "quambel-kopien-XXXXXX";
    const std::string ordner = ::mkdtemp(vorlage.data());
    TestProgramm programm;
    programm.appPfad = ordner;
    const std::vector<std::string> erwartet = {"100B4", "090A4", "080B3", "070A3", "060B2", "050A2", "040B1", "030A1", "020B0", "010A0"};
    for (int runde = 0; runde < 20; ++runde) {
        std::filesystem::remove(ordner + "/Highscores.qmb");
        int los[2];
        ASSERT_EQ(::pipe(los), 0);
        std::vector<pid_t> kinder;
        // Each copy waits until the pipe closes, so that all begin at once.
        const auto kind = [&](auto arbeit) {
            if (const pid_t pid = ::fork(); pid != 0) return kinder.push_back(pid);
            ::close(los[1]);
            char c;
            [[maybe_unused]] const auto n = ::read(los[0], &c, 1);
            SkriptFenster fenster;
            modQuambel liste(programm, fenster);
            ::_exit(arbeit(liste, fenster) && fenster.protokoll.empty() ? 0 : 1);
        };
        for (int k = 0; k < 2; ++k)
            kind([k](modQuambel& liste, SkriptFenster&) {
                for (int i = 0; i < 5; ++i)
                    if (liste.HighscoreEintragen(std::string(1, "AB"[k]) + std::to_string(i), static_cast<int16_t>(20 * i + 10 * k + 10)) <= 0) return false;
                return true;
            });
        kind([&](modQuambel&, SkriptFenster& fenster) {
            for (int i = 0; i < 20; ++i) {
                modQuambel neu(programm, fenster);
                neu.HighscoreDateiSetzen();
                if (!std::ranges::all_of(neu.ZeilenLesen(), [](const std::string& z) { return istEintrag(z); })) return false;
            }
            return true;
        });
        ::close(los[0]), ::close(los[1]);
        for (pid_t p : kinder) {
            int status = -1;
            ::waitpid(p, &status, 0);
            EXPECT_EQ(status, 0) << "a copy saw a failure, a lost place or a broken list in round " << runde;
        }
        SkriptFenster fenster;
        ASSERT_EQ(modQuambel(programm, fenster).ZeilenLesen(), erwartet) << runde;
        for (const auto& e : std::filesystem::directory_iterator(ordner))
            EXPECT_TRUE(e.path().filename() == "Highscores.qmb" || e.path().filename() == "Highscores.lock") << e.path();
    }
    std::filesystem::remove_all(ordner);
}

} // namespace
} // namespace qmb::test

// Every step of an insertion, interrupted in turn: made to fail, or the
// program stopped there (killed, or by a power failure, after which only
// what was flushed survives). Each time the list must be the old or the new one, whole;
// the next start must clear up and the next insertion must work.
#include "Hilfen.h"
#include "Speicherplatte.h"

namespace qmb::test {
namespace {

using Art = Speicherplatte::Störung;

struct Unterbrechung : ::testing::TestWithParam<std::tuple<bool, Art, bool>> {};

TEST_P(Unterbrechung, LässtImmerDieAlteOderDieNeueListeGanzZurück) {
    const auto [mitListe, art, strom] = GetParam();
    const auto alt = mitListe ? std::optional(datei({"090A", "070B", "050C"})) : std::nullopt;
    const auto neu = mitListe ? datei({"090A", "070B", "060Neu", "050C"}) : datei({"060Neu"});
    TestProgramm programm;
    programm.appPfad = "/spiel";
    int k = 1;
    for (;; ++k) {
        SCOPED_TRACE("Schritt " + std::to_string(k));
        Speicherplatte platte;
        if (alt) platte.ablegen("/spiel/Highscores.qmb", *alt);
        platte.störAn = k;
        platte.störung = art;
        SkriptFenster fenster;
        int platz = -1;
        try {
            modQuambel liste(programm, fenster, platte);
            platte.scharf = false;
            liste.HighscoreDateiSetzen();
            platte.scharf = true;
            platz = liste.HighscoreEintragen("Neu", 60);
        } catch (const Absturz&) {
        }
        const bool ungestört = platte.schritte < k; // step k was never reached
        // Power fails right after the crash, or right after a reported success.
        if (strom && (platz < 0 || ungestört)) platte.stromausfall();
        const auto jetzt = platte.inhalt("/spiel/Highscores.qmb");
        const bool blieb = jetzt == alt;
        ASSERT_TRUE(blieb || jetzt == neu);
        if (platz >= 0) { // not crashed: the answer tells the truth
            EXPECT_EQ(platz, blieb ? 0 : (mitListe ? 3 : 1));
            EXPECT_EQ(fenster.nur(Dialog::MsgBox).size(), blieb ? 1u : 0u);
            EXPECT_FALSE(platte.inhalt("/spiel/Cache.qmb"));
        }
        platte.störAn = 0;
        SkriptFenster danach;
        modQuambel neustart(programm, danach, platte);
        neustart.HighscoreDateiSetzen();
        EXPECT_FALSE(platte.inhalt("/spiel/Cache.qmb"));
        EXPECT_EQ(platte.inhalt("/spiel/Highscores.qmb"), jetzt);
        EXPECT_EQ(neustart.HighscoreEintragen("Danach", 10), (mitListe ? 4 : 1) + (blieb ? 0 : 1));
        EXPECT_TRUE(danach.protokoll.empty());
        if (ungestört) break; // all steps are done
    }
    EXPECT_GE(k, 8) << "look, read, create, write, flush, close, rename, flush folder";
}

INSTANTIATE_TEST_SUITE_P(JederSchritt, Unterbrechung,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(Art::Fehler, Art::Absturz, Art::HalbGeschrieben),
                                            ::testing::Bool()));

} // namespace
} // namespace qmb::test

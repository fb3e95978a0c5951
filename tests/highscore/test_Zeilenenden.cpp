// Scrambled names that contain the bytes CR and LF must come back whole.
#include <random>

#include "Hilfen.h"
#include "highscore/Listenformat.h"

namespace qmb::test {
namespace {

using Zeilenenden = Ordner;

TEST_F(Zeilenenden, NamenMitCrLfImVerwürfeltenTextBleibenGanz) {
    // Plain position 4 meets key 'h', 5 'd', 6 'l', 7 'm':
    // "en" gives CR LF right after the score, "Wifi" CR LF inside the name,
    // "Haag" a line that itself ends in CR LF, "ex" a lone CR, "Anna" a lone LF.
    const std::vector<std::pair<std::string, int16_t>> namen = {
        {"en", 60}, {"Wifi", 50}, {"Haag", 40}, {"ex", 30}, {"Anna", 20}, {"Zoe", 10},
        // "·a" at plain positions 21 and 22 (key º, k) gives CR LF, and
        // then "123" meets the key's first three bytes: it looks like the start
        // of a line with 123 points, which the game never writes.
        {"Abcdefghijklmnopq\xC2\xB7" "a123", 5}};
    for (const auto& [name, punkte] : namen) liste->HighscoreEintragen(name, punkte);
    const std::string bytes = lies();
    ASSERT_EQ(bytes.substr(0, 7), std::string("\x7B\x67\x68\x0D\x0A\r\n", 7)); // score 060, then CR LF, CR LF
    EXPECT_NE(bytes.find(std::string("\x7B\x65\x68\x20\x05\x0D\x0A\r\n")), std::string::npos);

    starten();
    EXPECT_EQ(liste->ZeilenLesen(),
              (std::vector<std::string>{"060en", "050Wifi", "040Haag", "030ex", "020Anna", "010Zoe",
                                        "005Abcdefghijklmnopq\xB7" "a123"}));
    EXPECT_EQ(liste->HighscoreEintragen("Neu", 35), 4);
    EXPECT_EQ(lies(), datei({"060en", "050Wifi", "040Haag", "035Neu", "030ex", "020Anna", "010Zoe",
                             "005Abcdefghijklmnopq\xB7" "a123"}));
}

TEST(ZeilenZerlegen, GibtJedeListeMitGewöhnlichenNamenUnverändertZurück) {
    // Every name made of the characters players type, chosen at random:
    // the cutting into lines must recover the list exactly.
    const std::string zeichen = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-_'!\xE4\xF6\xFC\xC4\xD6\xDC\xDF\xE9";
    std::mt19937 zufall(4711);
    for (int durchgang = 0; durchgang < 3000; ++durchgang) {
        std::vector<std::string> klartexte;
        for (int n = std::uniform_int_distribution<int>(1, 10)(zufall); n > 0; --n) {
            std::string name;
            for (int l = std::uniform_int_distribution<int>(0, 30)(zufall); l > 0; --l)
                name += zeichen[std::uniform_int_distribution<size_t>(0, zeichen.size() - 1)(zufall)];
            klartexte.push_back(Eintragstext(static_cast<int16_t>(zufall() % 101), name));
        }
        ASSERT_EQ(ZeilenZerlegen(ListeSchreiben(klartexte)), klartexte) << durchgang;
    }
}

} // namespace
} // namespace qmb::test

// The about window's web address: opened through the shell, and a clear
// message when no browser takes it.
#include <gtest/gtest.h>

#include "Attrappen.h"
#include "app/frmAboutModell.h"

namespace qmb::test {
namespace {

struct Shell : Shelldienste {
    bool gelingt = true;
    std::vector<std::string> aufrufe;
    bool ShellAusführen(const std::string& d, int32_t s, const std::string& a) override {
        aufrufe.push_back(a + " " + d + " " + std::to_string(s));
        return gelingt;
    }
};

TEST(About, AdresseÖffnenOderMelden) {
    SkriptFenster fenster;
    Shell shell;
    frmAboutModell about(fenster, shell);
    about.Label2_Click();
    EXPECT_EQ(shell.aufrufe, (std::vector<std::string>{"open http://www.quambel.example 3"}));
    shell.gelingt = false;
    about.Label2_Click();
    // Only the failed one says so.
    EXPECT_EQ(fenster.protokoll, (std::vector<Dialog>{{Dialog::MsgBox, "Die Seite \"www.quambel.example\" konnte nicht "
              "geöffnet werden. Sie können sie selbst in Ihrem Browser aufrufen.", "Fehler beim Öffnen", "", Knöpfe::OK,
              Symbol::Ausrufezeichen}}));
}

} // namespace
} // namespace qmb::test

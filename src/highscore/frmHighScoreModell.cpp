#include "highscore/frmHighScoreModell.h"

#include "highscore/Listenformat.h"
#include "platform/Codepage.h"

namespace qmb {
namespace {

std::string anzeigbar(std::string_view cp1252) {
    std::string s(cp1252);
    for (char& c : s)
        if (!darstellbar(static_cast<unsigned char>(c))) c = '?';
    return ausCp1252(s);
}

} // namespace

std::string HighscoreText(const std::vector<std::string>& klartextZeilen) {
    std::string text;
    int anzahl = 0;
    for (const auto& z : klartextZeilen) {
        if (z.size() <= 3) continue; // also an entry with an empty name
        text += anzeigbar(std::string_view(z).substr(0, 3)) + " - " + anzeigbar(std::string_view(z).substr(3)) + "\r\n";
        ++anzahl;
    }
    for (int i = anzahl + 1; i <= 10; ++i) text += "0 - Niemand\r\n";
    text.resize(text.size() - 2);
    return text;
}

void frmHighScoreModell::Form_Load() {
    txtHighscore.clear();
    txtHighscore = HighscoreText(liste_.ZeilenLesen());
}

void frmHighScoreModell::cmdLöschen_Click() {
    if (fenster_.MsgBox("Wollen Sie die Highscoreliste wirklich löschen?", Knöpfe::JaNein, Symbol::Frage,
                        "Wirklich löschen?", Antwort::Nein) != Antwort::Ja)
        return;
    liste_.ListeLöschen();
    Form_Load();
}

void frmHighScoreModell::Form_KeyDown(int KeyCode) {
    if (KeyCode == 13 || KeyCode == 27) Entladen = true;
}

} // namespace qmb

#pragma once
// The high-score window without its widgets: the list text, the clear and
// close buttons, the keys and where the focus goes. The Qt window
// (highscore/qt/frmHighScore.h) forwards its events here and mirrors the
// result.
#include <string>
#include <vector>

#include "highscore/modQuambel.h"
#include "platform/Fensterdienste.h"

namespace qmb {

// The text of txtHighscore for the plain lines of the file (Windows-1252):
// every line longer than three characters as "ddd - name", then "0 - Niemand"
// up to ten lines, the lines ended by CR LF except the last. UTF-8; bytes
// that are no visible character (a hand-edited or broken file) show as "?",
// so every line of the file stays one line on the screen.
std::string HighscoreText(const std::vector<std::string>& klartextZeilen);

class frmHighScoreModell {
public:
    enum class Steuerelement { txtHighscore, cmdSchließen, cmdLöschen };

    frmHighScoreModell(modQuambel& liste, Fensterdienste& fenster) : liste_(liste), fenster_(fenster) {}

    void Form_Load();
    void cmdLöschen_Click();
    void cmdSchließen_Click() { Entladen = true; }
    // Key codes as on Windows: Enter 13 and Esc 27 close the window.
    void Form_KeyDown(int KeyCode);
    // A control got the focus; the list box passes it on to the close button.
    void GotFocus(Steuerelement s) { Fokus = s == Steuerelement::txtHighscore ? Steuerelement::cmdSchließen : s; }

    std::string txtHighscore; // lines ended by CR LF
    Steuerelement Fokus = Steuerelement::cmdSchließen;
    bool Entladen = false; // the window is to close

private:
    modQuambel& liste_;
    Fensterdienste& fenster_;
};

} // namespace qmb

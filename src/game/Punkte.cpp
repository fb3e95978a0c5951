// The score label and the two ways a game ends: won at 100 balls, over when
// the last ball has fallen. Both run to their end inside the tick that ended
// the game, with modal dialogues, after SpielEnde has stopped every timer.
#include <string>

#include "game/Regeln.h"
#include "game/frmMain.h"
#include "platform/Codepage.h"
#include "sound/modSound.h"

namespace qmb {

namespace {
const std::string CRLF = "\r\n";
}

void frmMain::PunkteStandAktualisieren() {
    lblPunkte.Caption = "Punkte: " + std::to_string(Punkte) + CRLF + "Rekord: " + std::to_string(Rekord) + CRLF +
                        "Munition: " + std::to_string(Munition);
    if (Punkte == SIEGPUNKTE) SpielGewonnen();
}

void frmMain::SpielGewonnen() {
    sound.MciStoppen(ALIAS_MUSIK);
    sound.MciEndlosSpielen(sound.GewonnenDatei, ALIAS_JINGLE);
    sound.MciAbfrage("play " + ALIAS_JINGLE + " from 2500");
    SpielEnde();
    Rekord = 0;
    // The window was closed while the game was being ended: the program is
    // shutting down, and no dialogue of this game may open after it.
    if (Entladen()) return;

    const std::string name =
        d.fenster.InputBox("Sie haben 100 Punkte erreicht! Das ist die Maximalanzahl. Bitte geben Sie Ihren Namen "
                           "für die Highscoreliste ein.",
                           "MAXIMALANZAHL", "Velmora");
    const int16_t platz = liste.HighscoreEintragen(name, SIEGPUNKTE);
    // A list that failed has told the player so: no word about a place then.
    if (platz > 0)
        d.fenster.MsgBox("Sie Sind auf dem " + std::to_string(platz) +
                             ". Platz in der Highscoreliste. Herzlichen Glückwunsch." + CRLF + CRLF +
                             "Hier nocheinmal Ihr sagenhafter Score: 100, in Worten: \"EINHUNDERT\"!" + CRLF +
                             "Schaffen Sie das nochmal?",
                         Knöpfe::OK, Symbol::Information, "Highscore");
    sound.MciSchließen(ALIAS_JINGLE);
    sound.MciFortsetzen(ALIAS_MUSIK);
}

void frmMain::SpielVerloren() {
    SpielEnde();
    // Closed while the game was being ended: no more dialogues (see above).
    if (Entladen()) return;
    const auto keinPlatz = [this] {
        d.fenster.MsgBox("Sie haben leider keinen Platz auf der Highscoreliste erreicht." + CRLF + CRLF +
                             "Ihr Rekord: " + std::to_string(Rekord) + "!" + CRLF +
                             "Vielleicht schaffen Sie es beim nächsten Mal.",
                         Knöpfe::OK, Symbol::Keins, "Quambel");
    };
    const bool eingetragen = liste.IstHighscore(Rekord);
    if (eingetragen) {
        sound.MciStoppen(ALIAS_MUSIK);
        sound.MciEndlosSpielen(sound.GewonnenDatei, ALIAS_JINGLE);
        sound.MciAbfrage("play " + ALIAS_JINGLE + " from 2500");
        std::string name;
        // The list wants a name: Cancel only brings the question back.
        while (name.empty()) {
            name =
                d.fenster.InputBox("Sie haben einen Platz in er Highscoreliste erspielt! Geben Sie bitte Ihren Namen "
                                   "ein.",
                                   "HIGHSCORE!", "Velmora");
        }
        if (zeichenAnzahl(name) > 10) name = ersteZeichen(name, 10);
        const int16_t platz = liste.HighscoreEintragen(name, Rekord);
        // A failed list has told the player so; and another copy of the game
        // may have filled the list since the question.
        if (platz == 0) keinPlatz();
        if (platz > 0)
            d.fenster.MsgBox("Sie sind auf dem " + std::to_string(platz) +
                                 ". Platz auf der Highscoreliste. Herzlichen Glückwunsch." + CRLF + CRLF +
                                 "Hier Ihr Rekord: " + std::to_string(Rekord) + "!" + CRLF +
                                 "Doch auch Sie können sich verbessen." + CRLF +
                                 "Mal sehen, ob Sie Ihren Highscore schlagen können...",
                             Knöpfe::OK, Symbol::Information, "Punkte: " + std::to_string(Rekord));
    } else {
        sound.MciStoppen(ALIAS_MUSIK);
        sound.MciEndlosSpielen(sound.VerlorenDatei, ALIAS_JINGLE);
        sound.MciAbfrage("play " + ALIAS_JINGLE + " from 2600");
        keinPlatz();
    }
    Rekord = 0;
    d.fenster.Zeigen(Fenster::HighScore, true);
    sound.MciSchließen(ALIAS_JINGLE);
    sound.MciFortsetzen(ALIAS_MUSIK);
}

} // namespace qmb

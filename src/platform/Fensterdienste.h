#pragma once
// What the game asks of its window toolkit besides drawing: letting pending
// events run, modal message and input boxes, and showing the other windows.
// The program's implementation is Qt (platform/qt); tests script the answers.
#include <string>

namespace qmb {

enum class Symbol { Keins, Information, Ausrufezeichen, Frage, Stopp };
enum class Knöpfe { OK, JaNein };
enum class Antwort { OK, Ja, Nein };

// The game's other windows, shown through the toolkit.
enum class Fenster { HighScore, About };

class Fensterdienste {
public:
    virtual ~Fensterdienste() = default;

    // One pass of the toolkit's event dispatch: any queued input, paint or
    // timer event may run before this returns.
    virtual void DoEvents() = 0;

    // A short wait (a few hundredths of a second) in which the window paints
    // and the program's own events (timers, an end request) run, but not the
    // player's input, which stays queued: for waits inside a procedure that
    // the player's keys must not enter, such as the wait for a lock.
    virtual void Warten() = 0;

    // A modal message box. `standard` is the button that has the focus.
    virtual Antwort MsgBox(const std::string& prompt, Knöpfe knöpfe, Symbol symbol, const std::string& titel,
                           Antwort standard = Antwort::OK) = 0;

    // A modal input box with OK and Cancel; returns the text on OK and the
    // empty text on Cancel.
    virtual std::string InputBox(const std::string& prompt, const std::string& titel, const std::string& vorgabe) = 0;

    // Shows one of the other windows: modal (the call returns when it has been
    // closed) or modeless (the call returns at once).
    virtual void Zeigen(Fenster fenster, bool modal) = 0;
};

} // namespace qmb

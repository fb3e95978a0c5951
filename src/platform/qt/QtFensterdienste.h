#pragma once
// The window services of the game on Qt: event pump, message and input
// boxes with Qt's (German) standard buttons, and the other windows.
#include <functional>

#include <QPointer>
#include <QWidget>

#include "platform/Fensterdienste.h"

namespace qmb {

class QtFensterdienste : public Fensterdienste {
public:
    explicit QtFensterdienste(QWidget* eltern = nullptr) : eltern_(eltern) {}
    void setEltern(QWidget* eltern) { eltern_ = eltern; }

    // Runs before events are let in and before a dialog opens, so that the
    // window shows the game's state as it is at that moment.
    std::function<void()> vorEreignissen;
    // Opens one of the other windows; set by the program, which knows them.
    std::function<void(Fenster, bool modal)> fensterZeigen;

    void DoEvents() override;
    void Warten() override;
    Antwort MsgBox(const std::string& prompt, Knöpfe knöpfe, Symbol symbol, const std::string& titel,
                   Antwort standard) override;
    std::string InputBox(const std::string& prompt, const std::string& titel, const std::string& vorgabe) override;
    void Zeigen(Fenster fenster, bool modal) override;

private:
    QPointer<QWidget> eltern_;
};

// CR LF ends a line in the game's texts; Qt wants a plain line feed.
QString alsAnzeigetext(const std::string& text);

} // namespace qmb

#pragma once
// The high-score window on Qt: a thin view over frmHighScoreModell. It
// forwards clicks, keys and focus changes to the model and mirrors the
// model's text, focus and "unload" onto its widgets.
#include <QDialog>

#include "highscore/frmHighScoreModell.h"

class QPushButton;
class QTextEdit;

namespace qmb {

class frmHighScore : public QDialog {
    Q_OBJECT
public:
    frmHighScore(modQuambel& liste, Fensterdienste& fenster, QWidget* eltern = nullptr);

    // The window's load event: reads the list anew into the box.
    void Form_Load();
    const frmHighScoreModell& modell() const { return modell_; }

    QTextEdit* txtHighscore;
    QPushButton* cmdSchließen;
    QPushButton* cmdLöschen;

protected:
    // Key preview: the window sees every key before the focused control.
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
    void keyPressEvent(QKeyEvent* ereignis) override;

private:
    bool tasteVorab(QKeyEvent* ereignis);
    void spiegeln();

    frmHighScoreModell modell_;
};

// Opens the window modally over `eltern` (load routine included) and returns
// when it has been closed. `fenster` asks the clear question and tells about
// file errors.
void frmHighScoreZeigen(modQuambel& liste, Fensterdienste& fenster, QWidget* eltern);

} // namespace qmb

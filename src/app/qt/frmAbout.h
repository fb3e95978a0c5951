#pragma once
// The about window: credits, two notes, the project's web address and a
// close button, laid out in twips like the rest of the program.
#include <QDialog>

#include "app/frmAboutModell.h"

class QLabel;
class QPushButton;

namespace qmb {

class frmAbout : public QDialog {
public:
    frmAbout(Fensterdienste& fenster, Shelldienste& shell, QWidget* eltern = nullptr);

    QLabel* Label2;
    QPushButton* cmdSchließen;

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    frmAboutModell modell_;
};

// Opens the system's browser through Qt.
class QtShell : public Shelldienste {
public:
    bool ShellAusführen(const std::string& Datei, int32_t Fensterstatus, const std::string& Aktion) override;
};

} // namespace qmb

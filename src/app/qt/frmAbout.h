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

} // namespace qmb

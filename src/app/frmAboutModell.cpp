#include "app/frmAboutModell.h"

namespace qmb {

void frmAboutModell::Label2_Click() {
    const std::string adresse = AboutTexte::Label2;
    if (!shell_.ShellAusführen("http://" + adresse, 3, "open")) {
        fenster_.MsgBox("Die Seite \"" + adresse +
                            "\" konnte nicht geöffnet werden. Sie können sie selbst in Ihrem Browser aufrufen.",
                        Knöpfe::OK, Symbol::Ausrufezeichen, "Fehler beim Öffnen");
    }
}

} // namespace qmb

#pragma once
// The about window's contents and its one piece of logic: the web-address
// label opens the project's site in the browser and says so when it cannot.
#include <string>

#include "platform/Fensterdienste.h"
#include "platform/Shelldienste.h"

namespace qmb {

struct AboutTexte {
    static constexpr const char* Caption = "About Quambel";
    static constexpr const char* Label1 = "Proggrammierung + Ideen :";
    static constexpr const char* Label3 = "Kai Ballhaus";
    static constexpr const char* Label4 = "Design + Ideen :";
    static constexpr const char* Label5 = "Jo Prellbock";
    static constexpr const char* Label6 = "Betatester :";
    static constexpr const char* Label7 = "Uli Fangnetz";
    static constexpr const char* Label13 = "© 2026 Das Quambel-Team";
    static constexpr const char* Label11 =
        "Wir übernehmen keine Haftung über eventuelle Schäden an Ihrer Software bzw. Hardware";
    static constexpr const char* Label12 =
        "Quambel ist kostenlos. Es darf nicht verkauft, aber gern an Freunde weitergegeben werden.";
    static constexpr const char* Label2 = "www.quambel.example";
    static constexpr const char* cmdSchließen = "Schließen";
};

class frmAboutModell {
public:
    frmAboutModell(Fensterdienste& fenster, Shelldienste& shell) : fenster_(fenster), shell_(shell) {}
    void Label2_Click();

private:
    Fensterdienste& fenster_;
    Shelldienste& shell_;
};

} // namespace qmb

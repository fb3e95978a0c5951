// The score label and the two endings: won at 100 balls, over with the last
// ball lost, each with its jingle, name dialogue, high-score entry and message.
#include "Spielaufbau.h"

namespace qmb::test {
namespace {

using Punktestand = Spielfeld;

// What the game should have said to the player when the game ended.
struct Zustand {
    bool spielLäuft, panel, timer;
    int16_t punkte, rekord;
    size_t befehle;
};

class Spielende : public Spielfeld {
protected:
    std::vector<Zustand> beiDialogen;
    void SetUp() override {
        fenster.beiDialog = [this](const Dialog&) {
            beiDialogen.push_back({form.SpielLäuft, form.fraSpielEinstellungen.Visible, einSpielTimerLäuft(),
                                   form.Punkte, form.Rekord, mci.befehle.size()});
        };
    }
    // Loses the last ball of a game whose best was `rekord`.
    void verlieren(int16_t rekord) {
        starten();
        form.Rekord = rekord;
        ball(1, 500, 6400, 0, 0); // beside the pad and already below its top edge
        form.tmrBälle_Timer();
    }
    void gewinnen() {
        starten();
        form.Punkte = 100;
        form.PunkteStandAktualisieren();
    }
    std::vector<std::string> jingle(const std::string& datei, const std::string& ab) const {
        return {"stop qmbgame", "open " + datei + " type MPEGVideo alias qmbscore",
                "play qmbscore repeat from 0", "play qmbscore from " + ab};
    }
    const std::vector<std::string> fortsetzen{"stop qmbscore", "close qmbscore", "play qmbgame"};
};

TEST_F(Punktestand, DreiZeilenMitDenZählern) {
    starten();
    EXPECT_EQ(form.lblPunkte.Caption, "Punkte: 1\r\nRekord: 1\r\nMunition: 100");
    form.Punkte = 12;
    form.Rekord = 15;
    form.Munition = 87;
    form.PunkteStandAktualisieren();
    EXPECT_EQ(form.lblPunkte.Caption, "Punkte: 12\r\nRekord: 15\r\nMunition: 87");
    form.Munition = -3;
    form.Punkte = 99;
    form.PunkteStandAktualisieren();
    EXPECT_EQ(form.lblPunkte.Caption, "Punkte: 99\r\nRekord: 15\r\nMunition: -3");
    EXPECT_TRUE(form.SpielLäuft) << "99 balls do not win";
    EXPECT_TRUE(fenster.protokoll.empty());
}

TEST_F(Spielende, GewonnenMitJingleNameUndGlückwunsch) {
    gewinnen();
    std::vector<std::string> erwartet = jingle(sound.GewonnenDatei, "2500");
    erwartet.insert(erwartet.end(), fortsetzen.begin(), fortsetzen.end());
    EXPECT_EQ(mci.befehle, erwartet);

    ASSERT_EQ(fenster.protokoll.size(), 2u) << "no high-score window after a win";
    const Dialog& frage = fenster.protokoll[0];
    EXPECT_EQ(frage.art, Dialog::InputBox);
    EXPECT_EQ(frage.prompt,
              "Sie haben 100 Punkte erreicht! Das ist die Maximalanzahl. Bitte geben Sie Ihren Namen "
              "für die Highscoreliste ein.");
    EXPECT_EQ(frage.titel, "MAXIMALANZAHL");
    EXPECT_EQ(frage.vorgabe, "Velmora");
    const Dialog& meldung = fenster.protokoll[1];
    EXPECT_EQ(meldung.art, Dialog::MsgBox);
    EXPECT_EQ(meldung.titel, "Highscore");
    EXPECT_EQ(meldung.symbol, Symbol::Information);
    EXPECT_EQ(meldung.knoepfe, Knoepfe::OK);
    EXPECT_EQ(meldung.prompt,
              "Sie Sind auf dem 1. Platz in der Highscoreliste. Herzlichen Glückwunsch.\r\n\r\n"
              "Hier nocheinmal Ihr sagenhafter Score: 100, in Worten: \"EINHUNDERT\"!\r\n"
              "Schaffen Sie das nochmal?");

    // The game had ended before the first dialogue opened, with the jingle on.
    ASSERT_EQ(beiDialogen.size(), 2u);
    for (const Zustand& z : beiDialogen) {
        EXPECT_FALSE(z.spielLäuft);
        EXPECT_TRUE(z.panel);
        EXPECT_FALSE(z.timer);
        EXPECT_EQ(z.punkte, 0);
        EXPECT_EQ(z.rekord, 0);
        EXPECT_EQ(z.befehle, 4u);
    }
    EXPECT_EQ(form.lblPunkte.Caption, "");
    EXPECT_EQ(form.Caption, TITEL_START);
}

TEST_F(Spielende, GewonnenNimmtDenNamenWieEingegeben) {
    fenster.eingaben = {"Ein sehr langer Spielername"};
    gewinnen();
    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0].first, "Ein sehr langer Spielername");
    EXPECT_EQ(liste.eintragungen[0].second, 100);

    fenster.eingaben = {""}; // Cancel
    gewinnen();
    ASSERT_EQ(liste.eintragungen.size(), 2u);
    EXPECT_EQ(liste.eintragungen[1].first, "");
    EXPECT_EQ(fenster.nur(Dialog::InputBox).size(), 1u) << "asked once, even for an empty name";
    EXPECT_EQ(fenster.nur(Dialog::MsgBox)[0].prompt.substr(0, 20), "Sie Sind auf dem 2. ");
}

TEST_F(Spielende, VerlorenMitPlatzInDerListe) {
    fenster.eingaben = {"", "", "Jörg Müller-Lüdenscheidt"};
    verlieren(7);
    EXPECT_EQ(liste.anfragen, std::vector<int16_t>{7});
    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0].first, "Jörg Mülle") << "ten characters, not ten bytes";
    EXPECT_EQ(liste.eintragungen[0].second, 7);

    std::vector<std::string> erwartet = jingle(sound.GewonnenDatei, "2500");
    erwartet.insert(erwartet.end(), fortsetzen.begin(), fortsetzen.end());
    EXPECT_EQ(mci.befehle, erwartet);

    ASSERT_EQ(fenster.protokoll.size(), 5u);
    for (int i = 0; i < 3; ++i) {
        const Dialog& frage = fenster.protokoll[static_cast<size_t>(i)];
        EXPECT_EQ(frage.art, Dialog::InputBox);
        EXPECT_EQ(frage.prompt,
                  "Sie haben einen Platz in er Highscoreliste erspielt! Geben Sie bitte Ihren Namen ein.");
        EXPECT_EQ(frage.titel, "HIGHSCORE!");
        EXPECT_EQ(frage.vorgabe, "Velmora");
    }
    const Dialog& meldung = fenster.protokoll[3];
    EXPECT_EQ(meldung.art, Dialog::MsgBox);
    EXPECT_EQ(meldung.titel, "Punkte: 7");
    EXPECT_EQ(meldung.symbol, Symbol::Information);
    EXPECT_EQ(meldung.prompt,
              "Sie sind auf dem 1. Platz auf der Highscoreliste. Herzlichen Glückwunsch.\r\n\r\n"
              "Hier Ihr Rekord: 7!\r\nDoch auch Sie können sich verbessen.\r\n"
              "Mal sehen, ob Sie Ihren Highscore schlagen können...");
    const Dialog& bestenliste = fenster.protokoll[4];
    EXPECT_EQ(bestenliste.art, Dialog::Fenster);
    EXPECT_EQ(bestenliste.fenster, Fenster::HighScore);
    EXPECT_TRUE(bestenliste.modal);

    // The name dialogues still see the best score; the list window comes after
    // it was cleared and before the music goes on.
    ASSERT_EQ(beiDialogen.size(), 5u);
    EXPECT_EQ(beiDialogen[0].rekord, 7);
    EXPECT_FALSE(beiDialogen[0].spielLäuft);
    EXPECT_FALSE(beiDialogen[0].timer);
    EXPECT_EQ(beiDialogen[4].rekord, 0);
    EXPECT_EQ(beiDialogen[4].befehle, 4u);
    EXPECT_EQ(form.Rekord, 0);
    EXPECT_EQ(form.Punkte, 0);
    EXPECT_EQ(form.lblPunkte.Caption, "");
}

TEST_F(Spielende, ZehnZeichenBleibenGanz) {
    fenster.eingaben = {"Äbcdefghij"};
    verlieren(3);
    ASSERT_EQ(liste.eintragungen.size(), 1u);
    EXPECT_EQ(liste.eintragungen[0].first, "Äbcdefghij");
}

TEST_F(Spielende, VerlorenOhnePlatz) {
    liste.füllen(8); // the tenth place holds 8, so 7 does not enter
    verlieren(7);
    EXPECT_TRUE(liste.eintragungen.empty());
    std::vector<std::string> erwartet = jingle(sound.VerlorenDatei, "2600");
    erwartet.insert(erwartet.end(), fortsetzen.begin(), fortsetzen.end());
    EXPECT_EQ(mci.befehle, erwartet);

    ASSERT_EQ(fenster.protokoll.size(), 2u);
    const Dialog& meldung = fenster.protokoll[0];
    EXPECT_EQ(meldung.art, Dialog::MsgBox);
    EXPECT_EQ(meldung.titel, "Quambel");
    EXPECT_EQ(meldung.symbol, Symbol::Keins);
    EXPECT_EQ(meldung.prompt,
              "Sie haben leider keinen Platz auf der Highscoreliste erreicht.\r\n\r\n"
              "Ihr Rekord: 7!\r\nVielleicht schaffen Sie es beim nächsten Mal.");
    EXPECT_EQ(fenster.protokoll[1].art, Dialog::Fenster);
    EXPECT_EQ(fenster.protokoll[1].fenster, Fenster::HighScore);
    EXPECT_TRUE(fenster.protokoll[1].modal);
    EXPECT_EQ(form.Rekord, 0);
}

TEST_F(Spielende, OhneMusikGehenNurDieImmerGesendetenBefehle) {
    form.mnuMusik_Click();
    ASSERT_FALSE(sound.MusikAn);
    liste.füllen(8);
    verlieren(7);
    EXPECT_EQ(mci.befehle,
              (std::vector<std::string>{"play qmbscore from 2600", "stop qmbscore", "close qmbscore"}));
}

// The player closes the window while the game is being ended: the program is
// shutting down, so none of the game's dialogues may open afterwards, and the
// music it had stopped must stay stopped.
TEST_F(Spielende, GeschlossenesFensterBekommtKeineDialogeMehr) {
    for (int art = 0; art < 3; ++art) {
        SCOPED_TRACE(art);
        Spielaufbau s;
        s.starten();
        s.fenster.beiDoEvents = [&s, fertig = false](int) mutable {
            if (fertig) return;
            fertig = true;
            s.form.Unload();
        };
        if (art == 0) {
            s.ball(1, 500, 6400, 0, 0);
            s.form.tmrBälle_Timer(); // the last ball is lost
        } else if (art == 1) {
            s.form.Punkte = 100;
            s.form.PunkteStandAktualisieren(); // won
        } else {
            s.form.Form_KeyDown(vbKeyEscape, 0); // aborted
        }
        ASSERT_TRUE(s.form.Entladen());
        for (const Dialog& d : s.fenster.protokoll)
            EXPECT_FALSE(d.art == Dialog::MsgBox || d.art == Dialog::InputBox ||
                         (d.art == Dialog::Fenster && d.fenster == Fenster::HighScore))
                << d.titel;
        EXPECT_TRUE(s.liste.eintragungen.empty());
        EXPECT_TRUE(s.mci.befehle.empty() || s.mci.befehle.back() != "play qmbgame");
        EXPECT_FALSE(s.einSpielTimerLäuft());
    }
}

TEST_F(Spielende, NachDemSpielendeStartetDasNächsteSauber) {
    verlieren(7);
    starten(0.5f);
    EXPECT_TRUE(form.SpielLäuft);
    EXPECT_EQ(form.Punkte, 1);
    EXPECT_EQ(form.Rekord, 1);
    EXPECT_EQ(form.lblPunkte.Caption, label(1, 1, 100));
    EXPECT_EQ(bälleImSpiel(), 1);
}

} // namespace
} // namespace qmb::test

// The main window on Qt: its widgets where the layout puts them, menus that
// answer their shortcuts only while the game allows them, and keys and mouse
// passed on to the game as Windows key codes and twips.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QMouseEvent>
#include <QTest>

#include "Modell.h"
#include "app/qt/HauptFenster.h"
#include "app/qt/Spielfeld.h"

namespace qmb::test {
namespace {

struct Fenster : ::testing::Test {
    Modell mod;
    frmMain& m = mod.m;
    HauptFenster w{m};
    void SetUp() override {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    void taste(Qt::Key k, Qt::KeyboardModifiers mod = Qt::NoModifier) { QTest::keyClick(ziel(), k, mod); }
    // Keys go where Qt sends them: to the widget with the focus.
    QWidget* ziel() { return QApplication::focusWidget() ? QApplication::focusWidget() : &w; }
    void drücken(Qt::Key k) { QTest::keyPress(ziel(), k); }
    void loslassen(Qt::Key k) { QTest::keyRelease(ziel(), k); }
    void maus(QEvent::Type t, QPoint p, Qt::MouseButton b = Qt::NoButton) {
        const Qt::MouseButtons gehalten = t == QEvent::MouseButtonPress ? Qt::MouseButtons(b) : Qt::NoButton;
        QMouseEvent e(t, p, w.feld()->mapToGlobal(p), b, gehalten, Qt::NoModifier);
        QApplication::sendEvent(w.feld(), &e);
    }
    int spiele() const {
        int n = 0;
        for (const auto& d : mod.fenster.protokoll) n += d.art == Dialog::DoEvents;
        return n;
    }
};

TEST_F(Fenster, AufbauInPixelnDerTwips) {
    EXPECT_EQ(w.feld()->size(), QSize(426, 482));
    EXPECT_EQ(w.size(), QSize(426, 482 + w.menuBar()->height()));
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Quambel - F2 zum Starten drücken"));
    EXPECT_TRUE(w.optMaus->isChecked());
    EXPECT_FALSE(w.optTastatur->isChecked());
    EXPECT_TRUE(w.chkMaus->isChecked());
    EXPECT_EQ(w.cmdLos->text(), QString::fromUtf8("Das Spiel &starten"));
    // Every control sits inside the playfield at its twip place / 15.
    for (QWidget* c : {static_cast<QWidget*>(w.cmdLos), static_cast<QWidget*>(w.cmdHilfe),
                       static_cast<QWidget*>(w.cmdBeenden), static_cast<QWidget*>(w.optTastatur)})
        EXPECT_TRUE(w.feld()->rect().contains(c->mapTo(w.feld(), c->rect().bottomRight()))) << c->objectName().toStdString();
    // Menus: captions, shortcuts and starting states.
    EXPECT_EQ(w.mnuSpielStarten->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(w.mnuPause->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_FALSE(w.mnuPause->isEnabled());
    EXPECT_FALSE(w.mnuSpielbeenden->isVisible());
    EXPECT_TRUE(w.mnuMusik->isChecked());
    EXPECT_EQ(w.mnuAbout->text(), QString::fromUtf8("About &Quambel..."));
}

TEST_F(Fenster, TabReihenfolge) {
    std::vector<QWidget*> reihe;
    QWidget* x = w.optTastatur;
    for (int i = 0; i < 6; ++i) {
        reihe.push_back(x);
        x = x->nextInFocusChain();
        while (x && !(x->focusPolicy() & Qt::TabFocus)) x = x->nextInFocusChain();
    }
    const std::vector<QWidget*> erwartet{w.optTastatur, w.optMaus, w.chkMaus, w.cmdLos, w.cmdHilfe, w.cmdBeenden};
    EXPECT_EQ(reihe, erwartet);
}

// A hidden or disabled item does not answer its shortcut.
TEST_F(Fenster, KürzelNurWennDerMenüpunktDaIst) {
    taste(Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(m.Pausiert);
    taste(Qt::Key_F3);
    EXPECT_EQ(spiele(), 0);

    m.optTastatur.Value = true; // no pointer to follow in this test
    m.optMaus.Value = false;
    taste(Qt::Key_F2);
    ASSERT_TRUE(m.SpielLäuft);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Quambel"));
    EXPECT_FALSE(w.fraSpielEinstellungen->isVisible());
    EXPECT_FALSE(w.mnuSpielStarten->isVisible());
    const int nachStart = spiele();
    taste(Qt::Key_F2); // a second start while the game runs
    EXPECT_EQ(spiele(), nachStart);

    taste(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(m.Pausiert);
    EXPECT_TRUE(w.mnuPause->isChecked());
    taste(Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(m.Pausiert);

    taste(Qt::Key_F3);
    EXPECT_FALSE(m.SpielLäuft);
    EXPECT_TRUE(w.fraSpielEinstellungen->isVisible());
    EXPECT_TRUE(w.mnuSpielStarten->isVisible());
}

TEST(Tasten, QtTasteAlsWindowsTastencode) {
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Left), 37);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Up), 38);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Right), 39);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Down), 40);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Space), 32);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Shift), 16);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Control), 17);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Escape), 27);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_C), 67);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_F2), 113);
    EXPECT_EQ(HauptFenster::virtuelleTaste(Qt::Key_Adiaeresis), 0);
    EXPECT_EQ(HauptFenster::umschaltzustand(Qt::ShiftModifier | Qt::ControlModifier), 3);
}

TEST_F(Fenster, TastenSteuernDasPad) {
    m.optTastatur.Value = true;
    m.optMaus.Value = false;
    taste(Qt::Key_F2);
    ASSERT_TRUE(m.SpielLäuft);
    drücken(Qt::Key_Left);
    EXPECT_EQ(m.PadRichtung, 1);
    // X11 repeats a held key as release + press; the release does not stop the pad.
    QKeyEvent wiederholt(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(ziel(), &wiederholt);
    EXPECT_EQ(m.PadRichtung, 1);
    loslassen(Qt::Key_Left);
    EXPECT_EQ(m.PadRichtung, 0);

    drücken(Qt::Key_Control);
    EXPECT_TRUE(m.Schießen);
    drücken(Qt::Key_Right);
    EXPECT_EQ(m.PadRichtung, 2);
    // The window loses the keyboard (a dialog, another program): nothing stays held.
    QEvent weg(QEvent::WindowDeactivate);
    QApplication::sendEvent(&w, &weg);
    EXPECT_FALSE(m.Schießen);
    EXPECT_EQ(m.PadRichtung, 0);

    taste(Qt::Key_Escape);
    EXPECT_FALSE(m.SpielLäuft);
    ASSERT_FALSE(mod.fenster.nur(Dialog::MsgBox).empty());
    EXPECT_EQ(mod.fenster.nur(Dialog::MsgBox).back().prompt, "Das Spiel wurde abgebrochen.");
}

TEST_F(Fenster, MausInTwipsUndDasLabelGibtWeiter) {
    taste(Qt::Key_F2); // mouse mode: the pad follows the pointer
    ASSERT_TRUE(m.SpielLäuft);
    maus(QEvent::MouseMove, QPoint(200, 300));
    const float mitte200 = m.Pad.Left + m.Pad.Width / 2;
    maus(QEvent::MouseMove, QPoint(100, 300));
    const float mitte100 = m.Pad.Left + m.Pad.Width / 2;
    EXPECT_FLOAT_EQ(mitte200 - mitte100, 100 * 15.0f);
    // Over the label the label gets the events, in its own coordinates, and passes them on.
    const QPoint überLabel(static_cast<int>((m.lblPunkte.Left + 30) / 15), static_cast<int>((m.lblPunkte.Top + 30) / 15));
    maus(QEvent::MouseButtonPress, überLabel, Qt::LeftButton);
    EXPECT_TRUE(m.Schießen);
    maus(QEvent::MouseButtonRelease, überLabel, Qt::LeftButton);
    EXPECT_FALSE(m.Schießen);
    maus(QEvent::MouseButtonPress, QPoint(300, 200), Qt::RightButton);
    EXPECT_TRUE(m.PowerPad);
    maus(QEvent::MouseButtonRelease, QPoint(300, 200), Qt::RightButton);
    EXPECT_FALSE(m.PowerPad);
}

TEST_F(Fenster, SchließenEntlädtEinmal) {
    int entladen = 0;
    mod.fenster.beiDialog = [&](const Dialog& d) { entladen += d.art == Dialog::Fenster && d.fenster == qmb::Fenster::About; };
    taste(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(entladen, 1);
    EXPECT_EQ(mod.mci.befehle.back(), "close qmbgame");
}

// The close box in the middle of a game: the window unloads, the game's
// timers stop, and no abort message or list entry comes.
TEST_F(Fenster, SchließfeldMittenImSpiel) {
    m.optTastatur.Value = true;
    m.optMaus.Value = false;
    taste(Qt::Key_F2);
    ASSERT_TRUE(m.SpielLäuft);
    mod.fenster.protokoll.clear();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(m.tmrBälle.Enabled());
    EXPECT_FALSE(m.tmrRand.Enabled());
    ASSERT_EQ(mod.fenster.protokoll.size(), 1u);
    EXPECT_EQ(mod.fenster.protokoll[0].art, Dialog::Fenster);
    EXPECT_EQ(mod.fenster.protokoll[0].fenster, qmb::Fenster::About);
    EXPECT_FALSE(mod.fenster.protokoll[0].modal);
}

} // namespace
} // namespace qmb::test

// The main window: menus that answer their shortcuts only while the game
// shows them, keys and mouse passed on as Windows key codes and twips, the
// about window's texts and the name box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "Modell.h"
#include "app/qt/HauptFenster.h"
#include "app/qt/Spielfeld.h"
#include "app/qt/frmAbout.h"
#include "platform/qt/QtFensterdienste.h"

namespace qmb::test {
namespace {

// Keys go where Qt sends them: to the widget with the focus.
void taste(QEvent::Type t, Qt::Key k, bool wiederholt = false, const QString& text = {}) {
    QKeyEvent e(t, k, Qt::NoModifier, text, wiederholt);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow(), &e);
}

struct Fenster : ::testing::Test {
    Modell mod;
    frmMain& m = mod.m;
    HauptFenster w{m};
    void SetUp() override {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    void kürzel(Qt::Key k, Qt::KeyboardModifiers mod = Qt::NoModifier) { QTest::keyClick(&w, k, mod); }
    size_t pumpen() const { return mod.fenster.nur(Dialog::DoEvents).size(); }
    void tastatur() { m.optTastatur.Value = !(m.optMaus.Value = false); }
};

// A hidden or disabled item does not answer its shortcut; the window mirrors
// what the game shows.
TEST_F(Fenster, MenüsUndIhreKürzel) {
    QStringList baum;
    for (QMenu* menü : {w.mnuSpiel, w.mnuAudio, w.mnuHilfe})
        for (QAction* a : menü->actions()) baum << a->text() + " " + a->shortcut().toString();
    EXPECT_EQ(baum.join("|").toStdString(), "Spiel &starten F2|Spiel &pausieren Ctrl+P|Spiel &beenden F3| |"
                                             "&Highscoreliste ansehen Ctrl+H| |Quambel b&eenden Ctrl+Q|&Musik abspielen "
                                             "Ctrl+M| |&Nächstes Stück spielen F12|&Anleitung F1| |About &Quambel... F11");
    kürzel(Qt::Key_P, Qt::ControlModifier); // pause is disabled before a game
    kürzel(Qt::Key_F3);                     // "end game" is hidden
    EXPECT_FALSE(m.Pausiert || m.SpielLäuft);
    // Greyed, hidden and ticked as the game says ("Musik" starts ticked).
    EXPECT_FALSE(w.mnuPause->isEnabled() || w.mnuSpielbeenden->isVisible() || !w.mnuMusik->isChecked());
    tastatur();
    kürzel(Qt::Key_F2);
    EXPECT_FALSE(w.fraSpielEinstellungen->isVisible() || w.mnuSpielStarten->isVisible());
    const size_t nachStart = pumpen();
    kürzel(Qt::Key_F2); // hidden while the game runs
    kürzel(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(pumpen() == nachStart && m.Pausiert && w.mnuPause->isChecked());
    kürzel(Qt::Key_P, Qt::ControlModifier);
    kürzel(Qt::Key_F3);
    EXPECT_FALSE(m.SpielLäuft || m.Pausiert || w.mnuPause->isChecked() || !w.fraSpielEinstellungen->isVisible() ||
                 !w.mnuSpielStarten->isVisible());
}

// Qt's keys arrive as Windows key codes; held keys repeat, releases count
// once, nothing stays held when the window loses the keyboard; the mouse
// arrives in twips.
TEST_F(Fenster, TastenUndMaus) {
    std::vector<int> codes;
    for (int k : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space, Qt::Key_Shift,
                  Qt::Key_Control, Qt::Key_Escape, Qt::Key_C, Qt::Key_7, Qt::Key_F2, Qt::Key_Adiaeresis})
        codes.push_back(HauptFenster::virtuelleTaste(k));
    codes.push_back(HauptFenster::umschaltzustand(Qt::ShiftModifier | Qt::AltModifier));
    codes.push_back(HauptFenster::umschaltzustand(Qt::ControlModifier));
    EXPECT_EQ(codes, (std::vector<int>{37, 38, 39, 40, 32, 16, 17, 27, 67, 55, 113, 0, 5, 2}));
    tastatur();
    kürzel(Qt::Key_F2);
    taste(QEvent::KeyPress, Qt::Key_Left);
    // X11 repeats a held key as release + press; the release does not stop the pad.
    taste(QEvent::KeyRelease, Qt::Key_Left, true);
    const int gehalten = m.PadRichtung;
    taste(QEvent::KeyRelease, Qt::Key_Left);
    EXPECT_EQ(gehalten * 10 + m.PadRichtung, 10);
    taste(QEvent::KeyPress, Qt::Key_Control);
    // A release whose press went elsewhere (a shortcut ate it) is not the game's.
    taste(QEvent::KeyRelease, Qt::Key_C);
    EXPECT_TRUE(m.Schießen);
    taste(QEvent::KeyPress, Qt::Key_Right);
    QEvent weg(QEvent::WindowDeactivate);
    QApplication::sendEvent(&w, &weg);
    EXPECT_FALSE(m.Schießen || m.PadRichtung != 0);
    m.optTastatur.Value = !(m.optMaus.Value = true);
    QMouseEvent e(QEvent::MouseMove, QPointF(100, 300), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.feld(), &e);
    EXPECT_FLOAT_EQ(m.Pad.Left + m.Pad.Width / 2, 1500);
}

// Every text of the about window inside its label at scale 1 and 2.
TEST(About, JederTextPasstInSeinLabel) {
    SkriptFenster fenster;
    QtShell shell;
    frmAbout about(fenster, shell);
    for (const QLabel* l : about.findChildren<QLabel*>()) {
        if (l->text().isEmpty()) continue;
        for (int maß : {1, 2}) {
            QFont f = l->font();
            f.setPixelSize(f.pixelSize() * maß);
            const QFontMetrics fm(f);
            const QRect platz(QPoint(0, 0), l->contentsRect().size() * maß);
            const QRect braucht = fm.boundingRect(platz, Qt::TextWordWrap | l->alignment(), l->text());
            // Every line whole; only the last line's descent may touch the edge.
            EXPECT_TRUE((l->wordWrap() ? braucht.width() : fm.horizontalAdvance(l->text())) <= platz.width() &&
                        braucht.height() - fm.descent() <= platz.height()) << l->text().toStdString() << " at " << maß;
        }
    }
}

// Fire held when the last ball falls: its repeats must not type into the
// name box; keys pressed while it is open do, repeats included.
TEST(Eingabefeld, GehalteneTasteTipptNicht) {
    QtFensterdienste dienste;
    int breite = 0;
    QTimer warten;
    QObject::connect(&warten, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!d || !QApplication::focusWidget()) return;
        warten.stop();
        breite = d->width();
        for (auto [k, wiederholt] : {std::pair{Qt::Key_C, true}, {Qt::Key_C, true}, {Qt::Key_X, false}, {Qt::Key_X, true}})
            taste(QEvent::KeyPress, k, wiederholt, QString(QChar(k)).toLower());
        d->accept();
    });
    warten.start(10);
    const std::string name = dienste.InputBox("Sie haben 100 Punkte erreicht! Das ist die Maximalanzahl. Bitte geben "
                                              "Sie Ihren Namen für die Highscoreliste ein.", "MAXIMALANZAHL", "Velmora");
    EXPECT_EQ(name, "xx");
    EXPECT_TRUE(breite > 0 && breite <= 426) << breite; // not wider than the game window
}

} // namespace
} // namespace qmb::test

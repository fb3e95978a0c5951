// The high-score window on Qt (offscreen) over a list in a real folder:
// layout, the text, Enter and Esc, and the list box passing on the focus.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <filesystem>

#include <gtest/gtest.h>

#include "Attrappen.h"
#include "highscore/qt/frmHighScore.h"
#include "platform/qt/QtFensterdienste.h"

namespace qmb::test {
namespace {

TEST(FensterQt, AufbauTextTastenUndFokus) {
    std::string pfad = ::testing::TempDir() + "quambel-hs-XXXXXX";
    TestProgramm programm;
    programm.appPfad = ::mkdtemp(pfad.data());
    QtFensterdienste dienste;
    modQuambel liste(programm, dienste);
    liste.HighscoreEintragen("Anna", 50);
    liste.HighscoreEintragen("Bob", 40);
    frmHighScore form(liste, dienste);
    form.Form_Load();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.windowTitle() + form.cmdSchließen->text() + form.cmdLöschen->text(),
              QString::fromUtf8("Quambel - Highscore&SchließenHighscoreliste &löschen"));
    EXPECT_EQ(QRect(QPoint(), form.maximumSize()), QRect(0, 0, 243, 335));
    EXPECT_EQ(QList<QRect>({form.txtHighscore->geometry(), form.cmdLöschen->geometry(), form.cmdSchließen->geometry()}),
              QList<QRect>({QRect(16, 16, 209, 241), QRect(16, 272, 217, 25), QRect(16, 296, 217, 25)}));
    EXPECT_TRUE(form.txtHighscore->isReadOnly());
    EXPECT_EQ(form.txtHighscore->toPlainText(), "050 - Anna\n040 - Bob" + QString("\n0 - Niemand").repeated(8));
    for (QWidget* erwartet : {form.cmdSchließen, form.cmdLöschen, form.cmdSchließen}) {
        EXPECT_EQ(QApplication::focusWidget(), erwartet);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::mouseClick(form.txtHighscore->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(QApplication::focusWidget(), form.cmdSchließen);
    // Enter and Esc close, also on "löschen", which Enter must not click.
    for (Qt::Key taste : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        form.show();
        QTest::keyClick(form.cmdLöschen, taste);
        EXPECT_FALSE(form.isVisible()) << taste;
    }
    EXPECT_TRUE(std::filesystem::exists(pfad + "/Highscores.qmb"));
    std::filesystem::remove_all(pfad);
}

} // namespace
} // namespace qmb::test

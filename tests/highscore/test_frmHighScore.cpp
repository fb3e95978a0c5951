// The high-score window on Qt (offscreen): layout, keys, focus, and the real
// message box of the clear button.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "Hilfen.h"
#include "highscore/qt/frmHighScore.h"
#include "platform/qt/QtFensterdienste.h"

namespace qmb::test {
namespace {

// Waits for the next modal message box, notes what it shows and presses `knopf`.
struct Antworter : QTimer {
    QString gesehen; // title | text | icon | default is "No"
    explicit Antworter(QMessageBox::StandardButton knopf) {
        connect(this, &QTimer::timeout, [this, knopf] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                stop();
                gesehen = box->windowTitle() + "|" + box->text() + "|" + QString::number(box->icon()) + "|" +
                          (box->defaultButton() == box->button(QMessageBox::No) ? "Nein" : "?");
                box->button(knopf)->click();
            }
        });
        start(10);
    }
};

struct FensterQt : Ordner {
    QtFensterdienste dienste;
    std::unique_ptr<frmHighScore> form;
    void SetUp() override {
        Ordner::SetUp();
        schreib(datei({"050Anna", "040Bob"}));
        form = std::make_unique<frmHighScore>(*liste, dienste);
        form->Form_Load();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
};

TEST_F(FensterQt, AufbauInPixelnUndTabReihenfolge) {
    EXPECT_EQ(form->windowTitle(), "Quambel - Highscore");
    EXPECT_EQ(form->size(), QSize(243, 335));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->txtHighscore->geometry(), QRect(16, 16, 209, 241));
    EXPECT_EQ(form->cmdLöschen->geometry(), QRect(16, 272, 217, 25));
    EXPECT_EQ(form->cmdSchließen->geometry(), QRect(16, 296, 217, 25));
    EXPECT_EQ(form->cmdSchließen->text() + form->cmdLöschen->text(),
              QString::fromUtf8("&SchließenHighscoreliste &löschen"));
    EXPECT_EQ(form->txtHighscore->font().family(), "MS Sans Serif");
    EXPECT_EQ(form->txtHighscore->font().pixelSize(), 18);
    EXPECT_EQ(form->txtHighscore->palette().color(QPalette::Base), form->palette().color(QPalette::Button));
    EXPECT_TRUE(form->txtHighscore->isReadOnly());
    const QStringList zeilen = form->txtHighscore->toPlainText().split('\n');
    EXPECT_EQ(zeilen.size(), 10);
    EXPECT_EQ(zeilen.front() + zeilen.back(), "050 - Anna0 - Niemand");
    for (QWidget* erwartet : {form->cmdSchließen, form->cmdLöschen, form->cmdSchließen}) {
        EXPECT_EQ(QApplication::focusWidget(), erwartet);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

TEST_F(FensterQt, DieListeBehältDenFokusNie) {
    form->cmdLöschen->setFocus();
    QTest::mouseClick(form->txtHighscore->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(QApplication::focusWidget(), form->cmdSchließen);
    form->cmdLöschen->setFocus();
    form->txtHighscore->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), form->cmdSchließen);
}

TEST_F(FensterQt, EnterUndEscSchließenAuchAufDenKnöpfen) {
    for (Qt::Key taste : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        form->show();
        form->cmdLöschen->setFocus();
        QTest::keyClick(form->cmdLöschen, taste);
        EXPECT_FALSE(form->isVisible()) << taste;
    }
    // Enter did not click "löschen": no question, the list is still there.
    EXPECT_TRUE(std::filesystem::exists(pfad + "/Highscores.qmb"));
}

TEST_F(FensterQt, LöschenFragtMitDerEchtenMeldung) {
    Antworter nein(QMessageBox::No);
    QTest::mouseClick(form->cmdLöschen, Qt::LeftButton);
    EXPECT_EQ(nein.gesehen, QString::fromUtf8("Wirklich löschen?|Wollen Sie die Highscoreliste wirklich löschen?|") +
                                QString::number(QMessageBox::Question) + "|Nein");
    EXPECT_TRUE(std::filesystem::exists(pfad + "/Highscores.qmb"));
    EXPECT_TRUE(form->txtHighscore->toPlainText().startsWith("050 - Anna"));

    Antworter ja(QMessageBox::Yes);
    QTest::mouseClick(form->cmdLöschen, Qt::LeftButton);
    EXPECT_FALSE(std::filesystem::exists(pfad + "/Highscores.qmb"));
    EXPECT_EQ(form->txtHighscore->toPlainText(), QString("0 - Niemand\n").repeated(10).chopped(1));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(FensterQt, ZeigenLädtUndKehrtNachDemSchließenZurück) {
    form.reset();
    QString gesehen;
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<frmHighScore*>(QApplication::activeModalWidget());
        if (!dialog) return; // exec() below would then hang and the test time out
        gesehen = dialog->txtHighscore->toPlainText();
        QTest::keyClick(dialog->cmdSchließen, Qt::Key_Escape);
    });
    frmHighScoreZeigen(*liste, dienste, nullptr);
    EXPECT_TRUE(gesehen.startsWith("050 - Anna\n040 - Bob\n0 - Niemand"));
}

} // namespace
} // namespace qmb::test

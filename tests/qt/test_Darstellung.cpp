// Every text of the about window inside its label at scale 1 and 2, and a
// name box that keys held from play do not type into.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "Modell.h"
#include "app/qt/frmAbout.h"
#include "platform/qt/QtFensterdienste.h"

namespace qmb::test {
namespace {

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
            EXPECT_LE(l->wordWrap() ? braucht.width() : fm.horizontalAdvance(l->text()), platz.width()) << maß;
            EXPECT_LE(braucht.height() - fm.descent(), platz.height()) << l->text().toStdString() << " at " << maß;
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
        for (auto [k, wiederholt] : {std::pair{Qt::Key_C, true}, {Qt::Key_C, true}, {Qt::Key_X, false}, {Qt::Key_X, true}}) {
            QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, QString(QChar(k)).toLower(), wiederholt);
            QApplication::sendEvent(QApplication::focusWidget(), &e);
        }
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

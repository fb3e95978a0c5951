// The game's window on the offscreen platform: menus that answer their
// shortcuts only while the game shows them, keys and mouse passed on as
// Windows key codes and twips, the about window's texts and the name box;
// the playfield painting what the model says, crisp at a device pixel ratio
// of 2, and between ticks drawing where things are going, as the prediction
// works it out.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <random>
#include <ranges>

#include "Modell.h"
#include "app/qt/HauptFenster.h"
#include "app/qt/Spielfeld.h"
#include "app/qt/frmAbout.h"
#include "game/Vorhersage.h"
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
    // Greyed, hidden and ticked as the game says ("Musik" starts ticked).
    EXPECT_FALSE(m.Pausiert || m.SpielLäuft || w.mnuPause->isEnabled() || w.mnuSpielbeenden->isVisible() ||
                 !w.mnuMusik->isChecked());
    m.optTastatur.Value = !(m.optMaus.Value = false);
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
    std::vector<int> codes{HauptFenster::umschaltzustand(Qt::ShiftModifier | Qt::AltModifier),
                           HauptFenster::umschaltzustand(Qt::ControlModifier)};
    for (int k : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space, Qt::Key_Shift,
                  Qt::Key_Control, Qt::Key_Escape, Qt::Key_C, Qt::Key_7, Qt::Key_F2, Qt::Key_Adiaeresis})
        codes.push_back(HauptFenster::virtuelleTaste(k));
    EXPECT_EQ(codes, (std::vector<int>{5, 2, 37, 38, 39, 40, 32, 16, 17, 27, 67, 55, 113, 0}));
    m.optTastatur.Value = !(m.optMaus.Value = false);
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
    for (const QLabel* l : about.findChildren<QLabel*>())
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
    EXPECT_EQ(dienste.InputBox("Sie haben 100 Punkte erreicht! Das ist die Maximalanzahl. Bitte geben Sie Ihren "
                               "Namen für die Highscoreliste ein.", "MAXIMALANZAHL", "Velmora"), "xx");
    EXPECT_TRUE(breite > 0 && breite <= 426) << breite; // not wider than the game window
}

struct Malen : ::testing::Test {
    Modell mod;
    frmMain& m = mod.m;
    // The frame's repaints are collected where Qt delivers them.
    struct : Spielfeld {
        using Spielfeld::Spielfeld;
        QRegion gemalt;
        void paintEvent(QPaintEvent* e) override { gemalt += e->region(), Spielfeld::paintEvent(e); }
    } feld{m};
    double t = 0; // how far the ball timer is into its interval; the others half as far
    void SetUp() override {
        m.fraSpielEinstellungen.Visible = false;
        feld.anteil = [this](const Zeitgeber& z) { return &z == &m.tmrBälle ? t : t / 2; };
    }
    QImage bild(qreal dpr) {
        QImage b(QSize(426, 482) * dpr, QImage::Format_RGB32);
        b.setDevicePixelRatio(dpr);
        b.fill(Qt::magenta); // whatever is not painted shows
        QPainter p(&b);
        feld.zeichnen(p, QRegion(0, 0, 426, 482));
        return b;
    }
    // A pixel as a letter: red, blue, black ("schwarz") or something else.
    static char art(QRgb c) {
        return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60 ? 'r' : c == qRgb(0, 0, 255) ? 'b' : c == qRgb(0, 0, 0) ? 's' : '.';
    }
    void ball(int i, float left, float top, int vx = 0, int vy = 0) {
        m.Ball(i) = {left, top, 240, 240, true, Umriss::Kreis, ROT, ROT};
        m.BallDaten[static_cast<size_t>(i)] = {vx, vy, -1};
    }
};

TEST_F(Malen, AnIhremOrtBeiMaßstab1Und2) {
    m.Pad.Visible = true;
    ball(7, 4500, 3000); // centre 4620, 3120 twips: 308, 208 pixels, radius 8
    ball(3, m.lblPunkte.Left + 1200, m.lblPunkte.Top + 600); // under the opaque label, in front at 1, behind at 2
    const QPointF unterDemLabel = QPointF(m.Ball(3).Left + 120, m.Ball(3).Top + 120) / 15;
    const QImage leer = bild(2);
    m.Bonus(2) = {3000, 3000, 360, 360, true, Motiv::BonusMuni, {}}; // 200 to 224 pixels
    m.lblPunkte.Caption = "Punkte: 88";
    const Beschriftung& l = m.lblPunkte;
    int höhe[3] = {}; // of the label's glyphs, from the top of the highest to the foot of the lowest
    for (int s : {1, 2}) {
        m.lblPunkte.Hinten = s == 2;
        const QImage b = bild(s);
        const QRect lbl = alsPixel(l.Left, l.Top, l.Width, l.Height).toRect();
        for (int y = lbl.top() * s, oben = -1; y <= lbl.bottom() * s; ++y)
            for (int x = lbl.left() * s; x <= lbl.right() * s; ++x)
                if (qGray(b.pixel(x, y)) < 80) höhe[s] = y - (oben < 0 ? oben = y : oben) + 1;
        // Red ball inside its radius, not beyond; blue pad, black left wall to pixel 24.
        std::string arten;
        for (QPointF p : {QPointF(308, 208), {301, 208}, {299, 208}, {308, 217}, {210, 444}, {24, 200}, {26, 200}, unterDemLabel})
            arten += art(b.pixel((p * s).toPoint()));
        EXPECT_EQ(arten, s == 1 ? "rr..bs.." : "rr..bs.r");
    }
    // Glyphs at 18 pixels (13.5 point), twice as tall at scale 2: a bitmap font
    // would give 13 pixels, and small glyphs on a 2x screen.
    EXPECT_GE(höhe[1], 12) << "the digits of an 18-pixel font; 9 at 13 pixels";
    EXPECT_NEAR(höhe[2], 2 * höhe[1], 1);
    // The motif fills its 48 device pixels and nothing outside them.
    int anders = 0;
    for (const QImage b = bild(2); const int y : std::views::iota(398, 450))
        for (int x = 398; x < 450; ++x) anders += (b.pixel(x, y) != leer.pixel(x, y)) * (x < 400 || x > 447 || y < 400 || y > 447 ? 10000 : 1);
    EXPECT_TRUE(anders > 48 * 48 / 5 && anders < 10000) << anders;
}

// At a tick the picture is the model; between ticks the ball is drawn ahead
// and the frame repaints its old and its new place.
TEST_F(Malen, ZwischenDenTaktenVoraus) {
    m.SpielLäuft = true;
    m.tmrBälle.setEnabled(true);
    ball(5, 3000, 3000, 150, -100);
    m.Schuss.Load(1);
    m.Schuss(1) = {4500, 4500, 70, 70, true, Umriss::Quadrat, SCHWARZ, SCHWARZ};
    feld.setFlüssig(false);
    const QImage modell = bild(1);
    feld.setFlüssig(true);
    EXPECT_EQ(bild(1), modell);
    feld.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&feld));
    QCoreApplication::processEvents();
    feld.gemalt = {};
    t = 0.5;
    feld.bildMachen();
    EXPECT_EQ(feld.ballOrt(5), alsPixel(3075, 2958.5f, 240, 240)); // 3000 + 75, 3000 + (−100 + 17) / 2
    ASSERT_TRUE(QTest::qWaitFor([&] { return !feld.gemalt.isEmpty(); }));
    EXPECT_TRUE((QRegion(200, 200, 16, 16) + QRegion(205, 197, 16, 16) - feld.gemalt).isEmpty()) << "old and new place";
    EXPECT_EQ(bild(1).pixel(302, 298), qRgb(0, 0, 0)) << "the shot 60 twips up";
}

// A whole game on a virtual clock, the pad kept under the lowest ball: at
// every fraction of every interval each ball lies inside the walls, below
// the ceiling, and not in the pad where it is over it.
TEST_F(Malen, ZwischenDenTaktenImmerImFeld) {
    for (std::mt19937 gen(7); mod.zufall.werte.size() < 20000;)
        mod.zufall.werte.push_back(std::uniform_real_distribution<float>(0, 1)(gen));
    VirtuelleUhr uhr;
    for (Zeitgeber* z : {&m.tmrBälle, &m.tmrBonusse, &m.tmrSchüsse, &m.tmrPad, &m.tmrRand}) uhr.anmelden(*z);
    m.optTastatur.Value = !(m.optMaus.Value = false);
    m.mnuSpielStarten_Click();
    int geprüft = 0;
    for (int tick = 0; tick < 3000 && m.SpielLäuft; ++tick) {
        uhr.nächsterTick();
        float tiefster = -1e9f;
        for (int i = 1; i <= 100; ++i)
            if (m.BallDaten[static_cast<size_t>(i)].vy > 0 && m.Ball(i).Visible && m.Ball(i).Top > tiefster)
                m.Pad.Left = (tiefster = m.Ball(i).Top, m.Ball(i).Left - 480 + static_cast<float>(tick % 7) * 100);
        for (t = 0.3; t < 1.1; t += 0.35) {
            feld.bildMachen();
            for (int i = 1; i <= 100; ++i) {
                const QRectF r = feld.ballOrt(i);
                // (Where the pad was moved under a ball already below its top,
                // the model itself has it there.)
                const bool überPad = std::abs(r.center().x() * 15 - m.Pad.Left - m.Pad.Width / 2) < m.Pad.Width / 2 &&
                                     m.Ball(i).Top + m.Ball(i).Height <= m.Pad.Top;
                const bool imFeld = r.left() >= 24 && r.right() <= 400 && r.top() >= 24 && (!überPad || r.bottom() <= 440);
                ASSERT_TRUE(imFeld || !m.BallDaten[static_cast<size_t>(i)].Aktiv) << tick;
                geprüft += m.BallDaten[static_cast<size_t>(i)].Aktiv != 0;
            }
        }
    }
    EXPECT_GT(geprüft, 20000);
}

// Where a ball, a bonus and a shot are drawn between two ticks, against
// numbers worked out by hand from the rules' steps. The field's walls at 360 and 6000 twips, its ceiling at 360; the pad's top
// at 6600, from 2520 to 3720.
const Spielraum BALL{360, 6000, 360, Spielraum::Decke::Spiegeln, 2520, 3720, 6600, Spielraum::Pad::Mitte};
const Spielraum BONUS{360, 6000, 360, Spielraum::Decke::Keine, 2520, 3720, 6600, Spielraum::Pad::Ueberlappung};
const Spielraum SCHUSS{-1e9f, 1e9f, 360, Spielraum::Decke::Anhalten};

TEST(Vorhersage, EinIntervallVonHandGerechnet) {
    struct Fall { const char* was; qmb::Flug f; Spielraum r; double t; Ort soll; };
    const Fall fälle[] = {
        // 3000 + 0.5·100; 3000 + 0.5·(−200 + 17)
        {"ball in free flight", {3000, 3000, 240, 240, 100, -200, 17}, BALL, 0.5, {3050, 2908.5f}},
        // 400 − 0.5·120 = 340 lies 20 past the wall at 360: mirrored to 380
        {"ball at the left wall", {400, 3000, 240, 240, -120, 0, 17}, BALL, 0.5, {380, 3008.5f}},
        // 400 − 283 = 117 lies 243 above the ceiling: 360 + 243
        {"ball off the ceiling", {400, 400, 240, 240, 0, -300, 17}, BALL, 1.0, {400, 603}},
        // 6300 + 0.8·217 would sink 113.6 into the pad: it rests on its top
        {"ball on the pad", {3000, 6300, 240, 240, 0, 200, 17}, BALL, 0.8, {3000, 6360}},
        // beside the pad it falls on; the next tick loses it
        {"ball beside the pad", {4000, 6300, 240, 240, 0, 200, 17}, BALL, 0.8, {4000, 6473.6f}},
        // 5660 + 360 crosses 6000 by 20: 5640 − 20; 1000 + 0.5·(40 + 20)
        {"bonus at the right wall", {5600, 1000, 360, 360, 120, 40, 20}, BONUS, 0.5, {5620, 1030}},
        // it leaves at the next tick; until then it stops at the line
        {"shot at the ceiling", {2520, 500, 30, 120, 0, -240, 0}, SCHUSS, 1.0, {2520, 360}},
    };
    // At the tick itself the drawable is drawn exactly where it is.
    for (const Fall& f : fälle)
        EXPECT_EQ((std::pair{vorhersagen(f.f, f.r, f.t), vorhersagen(f.f, f.r, 0.0)}), (std::pair{f.soll, Ort{f.f.Left, f.f.Top}})) << f.was;
}

} // namespace
} // namespace qmb::test

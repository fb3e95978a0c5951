// The game's window on the offscreen platform: menus that answer their
// shortcuts only while the game shows them, keys and mouse passed on as
// Windows key codes and twips, the about window's texts, the name box and
// the list window; the timers' driver; the playfield painting what the model
// says, crisp at a device pixel ratio of 2, and between ticks drawing where
// things are going, as the prediction works it out. Its main() is at the end.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <ranges>

#include "Modell.h"
#include "app/qt/Anwendung.h"
#include "app/qt/HauptFenster.h"
#include "app/qt/Spielfeld.h"
#include "app/qt/frmAbout.h"
#include "highscore/qt/frmHighScore.h"
#include "platform/qt/QtFensterdienste.h"
#include "platform/qt/QtShell.h"
#include "platform/qt/QtZeitgeber.h"

// A rectangle in a failure message as x,y width x height.
void PrintTo(const QRect& r, std::ostream* o) { *o << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height(); }

namespace qmb::test {
namespace {

// Keys go where Qt sends them: to the widget with the focus.
void taste(QEvent::Type t, Qt::Key k) {
    QKeyEvent e(t, k, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow(), &e);
}

// A key as Qt 6.4 on X11 mostly delivers a held key's repeats: to the window,
// at the X server's time, never marked as a repeat.
void x11(QWidget* w, QEvent::Type t, Qt::Key k, ulong zeit, const QString& text = {}) {
    QKeyEvent e(t, k, Qt::NoModifier, text);
    e.setTimestamp(zeit);
    QApplication::sendEvent(w->window()->windowHandle(), &e);
}
// A held key's repeats, one every 40 ms: a release and a press at one time.
void wiederholen(QWidget* w, Qt::Key k, int n, ulong& zeit, const std::function<void()>& weiter = {}, const QString& text = {}) {
    for (int i = 0; i < n; ++i) {
        if (zeit += 40; weiter) weiter();
        for (QEvent::Type t : {QEvent::KeyRelease, QEvent::KeyPress}) x11(w, t, k, zeit, text);
    }
}

// A pixel as a letter: red, blue, black ("schwarz") or something else.
char art(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60 ? 'r' : c == qRgb(0, 0, 255) ? 'b' : c == qRgb(0, 0, 0) ? 's' : '.';
}

struct Fenster : ::testing::Test, Modell {

    HauptFenster w{m};
    void SetUp() override {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    void kürzel(Qt::Key k, Qt::KeyboardModifiers umschalt = Qt::NoModifier) { QTest::keyClick(&w, k, umschalt); }
};

// The menus as the game says between games and in a game: each item shown,
// enabled and ticked as its model item, for Qt leaves the shortcut of a
// hidden or disabled item unanswered (and counts a hidden one as disabled).
TEST_F(Fenster, MenüsUndIhreKürzel) {
    EXPECT_FALSE(w.mnuPause->isEnabled() || w.mnuSpielbeenden->isVisible()) << "no pause or end between games";
    // Ticked from the model: Qt ticks a checkable item itself when it is
    // triggered, so only the state before any click shows the mirroring.
    EXPECT_TRUE(w.mnuMusik->isChecked());
    m.optTastatur_Click();
    kürzel(Qt::Key_F2);
    EXPECT_FALSE(w.fraSpielEinstellungen->isVisible() || w.mnuSpielStarten->isVisible());
    kürzel(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(m.Pausiert && w.mnuPause->isChecked());
    kürzel(Qt::Key_P, Qt::ControlModifier);
    kürzel(Qt::Key_F3);
    EXPECT_FALSE(m.SpielLäuft || m.Pausiert || w.mnuPause->isChecked() || !w.fraSpielEinstellungen->isVisible() ||
                 !w.mnuSpielStarten->isVisible());
    kürzel(Qt::Key_Q, Qt::ControlModifier); // the game unloads; the window goes with it
    EXPECT_FALSE(w.isVisible());
}

// Qt's keys arrive as Windows key codes; releases count once, nothing stays
// held when the window loses the keyboard.
TEST_F(Fenster, TastenUndMaus) {
    laden();
    std::vector<int> codes{HauptFenster::umschaltzustand(Qt::ShiftModifier | Qt::AltModifier),
                           HauptFenster::umschaltzustand(Qt::ControlModifier)};
    for (int k : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space, Qt::Key_Shift,
                  Qt::Key_Control, Qt::Key_Escape, Qt::Key_C, Qt::Key_7, Qt::Key_F2, Qt::Key_Adiaeresis})
        codes.push_back(HauptFenster::virtuelleTaste(k));
    EXPECT_EQ(codes, (std::vector<int>{5, 2, 37, 38, 39, 40, 32, 16, 17, 27, 67, 55, 113, 0}));
    // A press on the settings panel that it leaves unhandled is not the playfield's.
    QTest::mousePress(w.fraSpielEinstellungen, Qt::LeftButton, {}, QPoint(5, 100));
    EXPECT_FALSE(m.Schießen);
    QTest::mouseRelease(w.fraSpielEinstellungen, Qt::LeftButton, {}, QPoint(5, 100));
    m.optTastatur_Click();
    kürzel(Qt::Key_F2);
    taste(QEvent::KeyPress, Qt::Key_Control);
    // A release whose press went elsewhere (a shortcut ate it) is not the game's.
    taste(QEvent::KeyRelease, Qt::Key_C);
    EXPECT_TRUE(m.Schießen);
    taste(QEvent::KeyPress, Qt::Key_Right);
    QEvent weg(QEvent::WindowDeactivate);
    QApplication::sendEvent(&w, &weg);
    EXPECT_FALSE(m.Schießen || m.PadRichtung != 0);
    // Held keys under X11, as their unmarked release and press pairs arrive:
    // fire held for three seconds shoots once every seventh shot tick, 15
    // shots as with the key held on Windows. Fire and an arrow still held
    // when the game ends leave the settings panel alone, and so does Space.
    ulong zeit = 1000;
    x11(&w, QEvent::KeyPress, Qt::Key_Up, zeit);
    wiederholen(&w, Qt::Key_Up, 3000 / 40, zeit, [&] { takt.vorspulen(40); });
    x11(&w, QEvent::KeyRelease, Qt::Key_Up, zeit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m.Schießen; }));
    EXPECT_EQ(100 - m.Munition, 15);
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Space, Qt::Key_Left}) x11(&w, QEvent::KeyPress, k, zeit += 20);
    kürzel(Qt::Key_F3);
    w.optMaus->setFocus(); // where a click left it before the game
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Space, Qt::Key_Left}) {
        wiederholen(&w, k, 3, zeit);
        x11(&w, QEvent::KeyRelease, k, zeit += 20);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.PowerPad; }) && !m.SpielLäuft && m.optTastatur.Value && !m.optMaus.Value &&
                QApplication::focusWidget() == w.optMaus && w.isVisible());
}

// The window enlarged by its border: the playfield in its middle, as large
// as fits in proportion, everything drawn that much larger (red ball inside
// its radius, not beyond; blue pad, black left wall), the panel with it, and
// the pad under the pointer, whose pixels are fewer twips each. Never smaller
// than at scale 1.
TEST_F(Fenster, VergrößertWächstAllesMit) {
    const QSize klein = w.size();
    m.optMaus_Click();
    kürzel(Qt::Key_F2);
    ball(7, {4500, 3000, 0, 0, true}); // centre 308, 208 pixels at scale 1, radius 8
    // The window's width, the scale, the playfield's and the start button's places, the button's font size.
    for (const auto& [breite, s, feld, los, schrift] :
         {std::tuple{426, 1.0, QRect(0, 0, 426, 482), QRect(16, 88, 305, 25), 11},
          {1000, 1.5, QRect(180, 0, 639, 723), QRect(24, 132, 458, 38), 17},
          {852, 2.0, QRect(0, 0, 852, 964), QRect(32, 176, 610, 50), 22}}) {
        w.resize(breite, klein.height() + static_cast<int>(482 * (s - 1)));
        QMouseEvent e(QEvent::MouseMove, QPointF(100, 300) * s, QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w.feld(), &e);
        w.feld()->bildMachen();
        EXPECT_EQ(w.feld()->geometry(), feld) << s;
        EXPECT_EQ(w.cmdLos->geometry(), los) << s;
        EXPECT_EQ(w.cmdLos->font().pixelSize(), schrift) << s;
        const QImage b = w.feld()->grab().toImage();
        const QPointF pad(m.Pad.Left + m.Pad.Width / 2, m.Pad.Top + m.Pad.Height / 2);
        std::string pixel;
        for (QPointF p : {QPointF(308, 208), {301, 208}, {299, 208}, {308, 217}, pad / 15, {24, 200}, {26, 200}})
            pixel += art(b.pixel((p * s).toPoint()));
        // The ball's centre and inside its radius, beyond it left and below; the pad; the wall and beside it.
        EXPECT_EQ(pixel, "rr..bs.") << s;
        EXPECT_FLOAT_EQ(pad.x(), 1500) << s;
    }
    w.resize(100, 100);
    EXPECT_EQ(w.size(), klein);
}

// A resting timer sleeps (the pad's timer while no arrow is held) and
// ticks on once woken.
TEST(Zeitgeber, RuhendSchläftGewecktTicktEr) {
    QtZeitgeberTreiber treiber;
    Zeitgeber z("z", 5);
    int ticks = 0;
    z.setTick([&] { ++ticks; });
    treiber.anmelden(z);
    z.setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }));
    z.setRuhend(true);
    const int vorher = ticks;
    QTest::qWait(50);
    EXPECT_EQ(ticks, vorher);
    z.setRuhend(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > vorher + 2; }));
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

// Keys held when the last ball falls (fire, PowerPad, an arrow): their
// repeats, unmarked release and press pairs as X11 mostly delivers them,
// must not type into the name box; a key pressed while it is open does,
// repeats included.
TEST(Eingabefeld, GehalteneTasteTipptNicht) {
    QtFensterdienste dienste;
    int breite = 0;
    QTimer warten;
    QObject::connect(&warten, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!d || !QApplication::focusWidget()) return;
        warten.stop();
        breite = d->width();
        ulong zeit = 5000;
        for (auto [k, text] : {std::pair{Qt::Key_C, "c"}, {Qt::Key_Space, " "}, {Qt::Key_Left, ""}})
            wiederholen(d, k, 3, zeit, {}, text);
        x11(d, QEvent::KeyPress, Qt::Key_X, zeit, "x");
        wiederholen(d, Qt::Key_X, 2, zeit, {}, "x");
        d->accept();
    });
    warten.start(10);
    EXPECT_EQ(dienste.InputBox("Sie haben 100 Punkte erreicht! Das ist die Maximalanzahl. Bitte geben Sie Ihren "
                               "Namen für die Highscoreliste ein.", "MAXIMALANZAHL", "Velmora"), "xxx");
    EXPECT_TRUE(breite > 0 && breite <= 426) << breite; // not wider than the game window
    // Enter in a question takes its safe default, No.
    QTimer antworten;
    QObject::connect(&antworten, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) QTest::keyClick(box, Qt::Key_Return);
    });
    antworten.start(10);
    EXPECT_EQ(dienste.MsgBox("Wirklich löschen?", Knöpfe::JaNein, Symbol::Frage, "", Antwort::Nein), Antwort::Nein);
}

// The list window over a list in a real folder: its text, Enter and Esc,
// and the list box passing on the focus.
TEST(ListenFenster, TextTastenUndFokus) {
    std::string pfad = ::testing::TempDir() + "quambel-hs-XXXXXX";
    TestProgramm programm;
    programm.appPfad = ::mkdtemp(pfad.data());
    QtFensterdienste dienste;
    modQuambel liste(programm, dienste);
    liste.HighscoreEintragen("Anna", 50);
    liste.HighscoreEintragen("Bob", 40);
    liste.HighscoreEintragen("WWWWWWWWWW", 30); // too wide for the box
    frmHighScore form(liste, dienste);
    form.Form_Load();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.txtHighscore->isReadOnly());
    const QString text = form.txtHighscore->toPlainText(); // ten lines, the long name cut short
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8("^050 - Anna\n040 - Bob\n030 - W+…(\n0 - Niemand){7}$")).match(text).hasMatch() &&
                form.txtHighscore->document()->lineCount() == 10) << text.toStdString();
    for (QWidget* erwartet : {form.cmdSchließen, form.cmdLöschen, form.cmdSchließen}) {
        EXPECT_EQ(QApplication::focusWidget(), erwartet);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::mouseClick(form.txtHighscore->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(QApplication::focusWidget(), form.cmdSchließen);
    // Enter and Esc close, also on "löschen", which Enter must not click;
    // each in a window of its own, as a closed one stays closing.
    for (Qt::Key taste : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        frmHighScore neu(liste, dienste);
        neu.show();
        QTest::keyClick(neu.cmdLöschen, taste);
        EXPECT_FALSE(neu.isVisible()) << taste;
    }
    std::filesystem::remove_all(pfad);
}

struct Malen : ::testing::Test, Modell {
    // The frame's repaints are collected where Qt delivers them.
    // The repaints are painted a second time onto a screen of their own that
    // keeps what is outside them, as a window's backing store does.
    struct : Spielfeld {
        using Spielfeld::Spielfeld;
        QImage schirm{426, 482, QImage::Format_RGB32};
        void paintEvent(QPaintEvent* e) override {
            Spielfeld::paintEvent(e);
            QPainter p(&schirm);
            zeichnen(p, e->region());
        }
    } feld{m};
    double t = 0; // how far the ball timer is into its interval; the others half as far
    void SetUp() override {
        m.fraSpielEinstellungen.Visible = false;
        feld.anteil = [this](const Zeitgeber& z) { return &z == &m.tmrBälle ? t : t / 2; };
    }
    // The picture of the model as it is now, or of the scene last taken.
    QImage bild(qreal dpr, bool erfassen = true) {
        if (erfassen) feld.aktualisieren();
        QImage b(QSize(426, 482) * dpr, QImage::Format_RGB32);
        b.setDevicePixelRatio(dpr);
        b.fill(Qt::magenta); // whatever is not painted shows
        QPainter p(&b);
        feld.zeichnen(p, QRegion(0, 0, 426, 482));
        return b;
    }
};

TEST_F(Malen, AnIhremOrtBeiMaßstab1Und2) {
    m.Pad.Visible = true;
    ball(7, {4500, 3000, 0, 0, true}); // centre 4620, 3120 twips: 308, 208 pixels, radius 8
    ball(3, {m.lblPunkte.Left + 1200, m.lblPunkte.Top + 600, 0, 0, true}); // under the opaque label, in front at 1, behind at 2
    const QPointF unterDemLabel = QPointF(m.Ball(3).Left + 120, m.Ball(3).Top + 120) / 15;
    const QImage leer = bild(2);
    m.Bonus(2) = {3000, 3000, 360, 360, true, Motiv::BonusMuni, {}}; // 200 to 224 pixels
    m.lblPunkte.Caption = "Punkte: 88";
    const QRect lbl = alsPixel(m.lblPunkte.Left, m.lblPunkte.Top, m.lblPunkte.Width, m.lblPunkte.Height).toRect();
    int höhe[3] = {}; // of the label's glyphs, from the top of the highest to the foot of the lowest
    for (int s : {1, 2}) {
        m.lblPunkte.Hinten = s == 2;
        const QImage b = bild(s);
        for (int y = lbl.top() * s, oben = -1; y <= lbl.bottom() * s; ++y)
            for (int x = lbl.left() * s; x <= lbl.right() * s; ++x)
                if (qGray(b.pixel(x, y)) < 80) höhe[s] = y - (oben < 0 ? oben = y : oben) + 1;
        // Red ball inside its radius, not beyond; blue pad, black left wall to pixel 24.
        std::string arten;
        for (QPointF p : {QPointF(308, 208), {301, 208}, {299, 208}, {308, 217}, {210, 444}, {24, 200}, {26, 200}, unterDemLabel})
            arten += art(b.pixel((p * s).toPoint()));
        EXPECT_EQ(arten, s == 1 ? "rr..bs.." : "rr..bs.r");
    }
    // A paused game shows a quiet sign in the field's middle, gone when it goes on.
    m.SpielLäuft = m.Pausiert = true;
    const QImage pause = bild(1);
    m.Pausiert = false;
    EXPECT_NE(pause.copy(63, 216, 300, 40), bild(1).copy(63, 216, 300, 40));
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

// At a tick the picture is the model. Between ticks, with the ball timer half
// through its interval and the others a quarter, each drawable is drawn where
// its step takes it, worked out by hand from the rules' steps against the
// field's walls at 360 and 6000 twips, its ceiling at 360 and the pad's top
// at 6600, from 2520 to 3720.
TEST_F(Malen, ZwischenDenTaktenVoraus) {
    m.SpielLäuft = true;
    m.tmrBälle.setEnabled(true);
    ball(5, {3000, 3000, 150, -100, true}); // 3000 + 0.5·150; 3000 + 0.5·(−100 + 17)
    ball(7, {3000, 6300, 60, 200, true});   // 6408.5 crosses the pad's line: it waits on it, at its place across
    ball(8, {4000, 6300, 0, 200, true});    // beside the pad the same: whether the pad comes in time, the tick decides
    ball(9, {3590, 6300, 60, 200, true});   // caught by its centre at 3710: drawn moving on, it would leave the pad's end
    ball(10, {1000, 6417, 0, 117, true});   // in its tick of grace it waits where it is: caught or lost from there
    // Leaving the pad's end sideways, a bonus still on it rests on its top until the tick.
    const float padEnde = m.Pad.Left + m.Pad.Width;
    bonus(3, static_cast<int>(Motiv::BonusMuni), {padEnde - 10, 6300, 120, 40, true});
    for (int i : {1, 2}) m.Schuss.Load(i);
    m.Schuss(1) = {4500, 4500, 70, 70, true, Umriss::Quadrat, SCHWARZ, SCHWARZ};
    m.Schuss(2) = {2520, 400, 30, 120, true, Umriss::Quadrat, SCHWARZ, SCHWARZ}; // stops at the ceiling
    m.lblPunkte.Caption = "Punkte: 1";
    feld.setFlüssig(false);
    const QImage modell = bild(1);
    feld.setFlüssig(true);
    EXPECT_EQ(bild(1), modell);
    t = 0.5;
    m.lblPunkte.Caption = "Punkte: 2";
    feld.bildMachen();
    EXPECT_EQ((std::vector{feld.ballOrt(5), feld.ballOrt(7), feld.ballOrt(8), feld.ballOrt(9), feld.ballOrt(10), feld.bonusOrt(3), feld.schussOrt(2)}),
              (std::vector{alsPixel(3075, 2958.5f, 240, 240), alsPixel(3000, 6360, 240, 240),
                           alsPixel(4000, 6360, 240, 240), alsPixel(3590, 6360, 240, 240), alsPixel(1000, 6417, 240, 240), alsPixel(padEnde + 20, 6300, 360, 360), alsPixel(2520, 360, 30, 120)}));
    const QRect label = alsPixel(m.lblPunkte.Left, m.lblPunkte.Top, m.lblPunkte.Width, m.lblPunkte.Height).toAlignedRect();
    EXPECT_EQ(bild(1).pixel(302, 298), qRgb(0, 0, 0)) << "the shot 60 twips up";
    EXPECT_NE(bild(1).copy(label), modell.copy(label)) << "the new text drawn";
}

// A frame repaints the old and new places of what moved and a new score
// text. A ball tick between a frame's request and its paint (the frame
// timer and the game's timers are independent): the paint draws the frame
// whose region was requested, whole, and nothing of the step the tick made,
// which lies outside that region.
TEST_F(Malen, EinTaktZwischenAnforderungUndBild) {
    laden();
    starten();
    ball(5, {1500, 3000, 300, -17, true}); // 20 pixels to the right a tick, level
    feld.aktualisieren();
    feld.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&feld));
    QCoreApplication::processEvents();
    t = 0.75;
    m.lblPunkte.Caption = "Punkte: 2";
    feld.bildMachen();
    const QPointF mitte = feld.ballOrt(5).center();
    takt.vorspulen(40); // the tick; the window mirrors the model as after every tick
    t = 0;
    feld.aktualisieren();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    EXPECT_EQ(std::string() + art(feld.schirm.pixel(mitte.toPoint())) + art(feld.schirm.pixel((mitte + QPointF(20, 0)).toPoint())), "r.")
        << "the ball where the frame put it, not a step further";
    EXPECT_EQ(feld.schirm, bild(1, false)) << "the frame whole: no sliver, nothing left over";
}

} // namespace
} // namespace qmb::test

// A QApplication on the offscreen platform (unless the caller chose one),
// set up as the game sets itself up (German standard buttons, its fonts).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTranslator deutsch;
    qmb::anwendungEinrichten(deutsch, "Test");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "app/qt/HauptFenster.h"

#include <cmath>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionMenuItem>

#include "app/qt/Spielfeld.h"
#include "game/frmMain.h"
#include "platform/Tastencodes.h"
#include "platform/qt/Schriften.h"

namespace qmb {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// Checkable menu items show a tick when checked and nothing when not: no
// empty box in front of "Musik" while the music is off.
class MenüStil : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement e, const QStyleOption* o, QPainter* p, const QWidget* w) const override {
        const auto* m = qstyleoption_cast<const QStyleOptionMenuItem*>(o);
        if (e == CE_MenuItem && m && m->checkType != QStyleOptionMenuItem::NotCheckable && !m->checked) {
            QStyleOptionMenuItem ohne(*m);
            ohne.checkType = QStyleOptionMenuItem::NotCheckable;
            QProxyStyle::drawControl(e, &ohne, p, w);
            return;
        }
        QProxyStyle::drawControl(e, o, p, w);
    }
};

// The menu bar's bottom line, whole: the style draws it around the menus'
// titles, and at a scale of 2 their edges leave gaps in it. Drawn again over
// the whole width after the bar, in the style's colour (the window's colour
// darkened, as the Fusion style mixes it).
class Menüleiste : public QMenuBar {
protected:
    void paintEvent(QPaintEvent* e) override {
        QMenuBar::paintEvent(e);
        const QColor f = palette().color(QPalette::Window);
        const QColor a = f.darker(120), b = f.darker(140).lighter(140);
        QPainter p(this);
        p.setPen(QColor((a.red() * 60 + b.red() * 40) / 100, (a.green() * 60 + b.green() * 40) / 100,
                        (a.blue() * 60 + b.blue() * 40) / 100));
        p.drawLine(QPointF(0, height() - 1), QPointF(width(), height() - 1));
    }
};

// The panel's tick boxes and option buttons grow with the view, as its
// text does; the style draws them into the rectangle these sizes give.
class TafelStil : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    double maß = 1.0;
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        const int wert = QProxyStyle::pixelMetric(m, o, w);
        switch (m) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing: return static_cast<int>(std::lround(wert * maß));
        default: return wert;
        }
    }
};

// The window's inside: the playfield in its middle, as large as fits in
// proportion, and around it the window's colour. The window can be enlarged
// and maximised, but not made smaller than the playfield at scale 1.
class Mitte : public QWidget {
public:
    explicit Mitte(QWidget* eltern) : QWidget(eltern) { setMinimumSize(sizeHint()); }
    QSize sizeHint() const override { return {Spielfeld::BREITE, Spielfeld::HÖHE}; }
    Spielfeld* feld = nullptr;

protected:
    void resizeEvent(QResizeEvent* e) override {
        const double s = Spielfeld::maßstabFür(size());
        const QSize g(static_cast<int>(std::lround(Spielfeld::BREITE * s)),
                      static_cast<int>(std::lround(Spielfeld::HÖHE * s)));
        if (feld) feld->setGeometry(QRect(QPoint((width() - g.width()) / 2, (height() - g.height()) / 2), g));
        QWidget::resizeEvent(e);
    }
};

} // namespace

HauptFenster::HauptFenster(frmMain& modell, QWidget* eltern) : QMainWindow(eltern), m_(modell) {
    setWindowTitle(text(m_.Caption));
    titel_ = m_.Caption;
    auto* mitte = new Mitte(this);
    feld_ = mitte->feld = new Spielfeld(m_, mitte);
    feld_->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(mitte);

    // The settings panel in the layout's small dialog font, 8 point at
    // scale 1 (set by tafelAnordnen).
    tafelSchrift_ = schrift(Schriftart::Dialog, 8);

    fraSpielEinstellungen = new QGroupBox(text(m_.fraSpielEinstellungen.Caption), feld_);
    tafel_.push_back({fraSpielEinstellungen, pixel(600, 600, 5175, 2895)});
    fraSpielEinstellungen->setAutoFillBackground(true);
    fraSteuerung = new QGroupBox(text(m_.fraSteuerung.Caption), fraSpielEinstellungen);
    tafel_.push_back({fraSteuerung, pixel(240, 240, 4695, 855)});
    optTastatur = new QRadioButton(text(m_.optTastatur.Caption), fraSteuerung);
    tafel_.push_back({optTastatur, pixel(240, 360, 975, 255)});
    optMaus = new QRadioButton(text(m_.optMaus.Caption), fraSteuerung);
    tafel_.push_back({optMaus, pixel(1320, 360, 735, 255)});
    chkMaus = new QCheckBox(text(m_.chkMaus.Caption), fraSteuerung);
    // To the frame's inner edge, 8 pixels wider than laid out: Qt's tick box
    // and its gap take more room than the layout gives them, and the caption
    // must not clip.
    tafel_.push_back({chkMaus, pixel(2160, 360, 2415, 255)});
    cmdLos = new QPushButton(QStringLiteral("Das Spiel &starten"), fraSpielEinstellungen);
    tafel_.push_back({cmdLos, pixel(240, 1320, 4575, 375)});
    cmdHilfe = new QPushButton(QStringLiteral("Anleitung anzeigen"), fraSpielEinstellungen);
    tafel_.push_back({cmdHilfe, pixel(240, 1800, 4575, 375)});
    cmdBeenden = new QPushButton(QStringLiteral("Quambel &beenden"), fraSpielEinstellungen);
    tafel_.push_back({cmdBeenden, pixel(240, 2280, 4575, 375)});
    for (QWidget* w :
         {static_cast<QWidget*>(optTastatur), static_cast<QWidget*>(optMaus), static_cast<QWidget*>(chkMaus),
          static_cast<QWidget*>(cmdLos), static_cast<QWidget*>(cmdHilfe), static_cast<QWidget*>(cmdBeenden)})
        w->setFocusPolicy(Qt::StrongFocus);
    tafelStil_ = new TafelStil();
    tafelStil_->setParent(this);
    for (QWidget* w :
         {static_cast<QWidget*>(optTastatur), static_cast<QWidget*>(optMaus), static_cast<QWidget*>(chkMaus)})
        w->setStyle(tafelStil_);
    setTabOrder(optTastatur, optMaus);
    setTabOrder(optMaus, chkMaus);
    setTabOrder(chkMaus, cmdLos);
    setTabOrder(cmdLos, cmdHilfe);
    setTabOrder(cmdHilfe, cmdBeenden);
    // The two option buttons are one group by sitting in one frame; the model
    // decides which is on, so Qt must not switch them on its own.
    optTastatur->setAutoExclusive(false);
    optMaus->setAutoExclusive(false);

    connect(optTastatur, &QRadioButton::clicked, this, [this] { weiter([this] { m_.optTastatur_Click(); }); });
    connect(optMaus, &QRadioButton::clicked, this, [this] { weiter([this] { m_.optMaus_Click(); }); });
    connect(chkMaus, &QCheckBox::clicked, this,
            [this](bool an) { weiter([this, an] { m_.chkMaus.Value = an ? 1 : 0; }); });
    connect(cmdLos, &QPushButton::clicked, this, [this] { weiter([this] { m_.cmdLos_Click(); }); });
    connect(cmdHilfe, &QPushButton::clicked, this, [this] { weiter([this] { m_.cmdHilfe_Click(); }); });
    connect(cmdBeenden, &QPushButton::clicked, this, [this] { weiter([this] { m_.cmdBeenden_Click(); }); });

    setMenuBar(new Menüleiste);
    mnuSpiel = menuBar()->addMenu(text(m_.mnuSpiel.Caption));
    mnuSpielStarten = menüpunkt(mnuSpiel, m_.mnuSpielStarten, [this] { m_.mnuSpielStarten_Click(); });
    mnuPause = menüpunkt(mnuSpiel, m_.mnuPause, [this] { m_.mnuPause_Click(); });
    mnuSpielbeenden = menüpunkt(mnuSpiel, m_.mnuSpielbeenden, [this] { m_.mnuSpielbeenden_Click(); });
    mnuSpiel->addSeparator();
    mnuHighScore = menüpunkt(mnuSpiel, m_.mnuHighScore, [this] { m_.mnuHighScore_Click(); });
    mnuSpiel->addSeparator();
    mnuQMBBeenden = menüpunkt(mnuSpiel, m_.mnuQMBBeenden, [this] { m_.mnuQMBBeenden_Click(); });
    mnuAudio = menuBar()->addMenu(text(m_.mnuAudio.Caption));
    mnuMusik = menüpunkt(mnuAudio, m_.mnuMusik, [this] { m_.mnuMusik_Click(); });
    mnuAudio->addSeparator();
    mnuNächsterSong = menüpunkt(mnuAudio, m_.mnuNächsterSong, [this] { m_.mnuNächsterSong_Click(); });
    mnuHilfe = menuBar()->addMenu(text(m_.mnuHilfe.Caption));
    mnuAnleitung = menüpunkt(mnuHilfe, m_.mnuAnleitung, [this] { m_.mnuAnleitung_Click(); });
    mnuHilfe->addSeparator();
    mnuAbout = menüpunkt(mnuHilfe, m_.mnuAbout, [this] { m_.mnuAbout_Click(); });
    mnuPause->setCheckable(true);
    mnuMusik->setCheckable(true);
    auto* stil = new MenüStil();
    stil->setParent(this);
    for (QMenu* menü : {mnuSpiel, mnuAudio, mnuHilfe}) menü->setStyle(stil);

    tafelAnordnen();
    feld_->installEventFilter(this);
    // Key preview: the window's key handlers see each key before the
    // focused control, as only an application-wide filter can.
    qApp->installEventFilter(this);
    spiegeln();
}

HauptFenster::~HauptFenster() { qApp->removeEventFilter(this); }

void HauptFenster::setEinsperrbar(const QString& hinderungsgrund) {
    // The box must not promise what the desktop cannot do: it stays as the
    // game sets it, but cannot be changed, and says why.
    einsperrbar_ = hinderungsgrund.isEmpty();
    chkMaus->setToolTip(hinderungsgrund);
    spiegeln();
}

void HauptFenster::tafelAnordnen() {
    // The panel grows with the playfield: its controls at their places and
    // sizes times the view's scale, the font at its scaled pixel size.
    const double s = feld_->maßstab();
    auto mal = [s](int v) { return static_cast<int>(std::lround(v * s)); };
    for (const auto& [w, r] : tafel_) w->setGeometry(mal(r.x()), mal(r.y()), mal(r.width()), mal(r.height()));
    QFont f = tafelSchrift_;
    f.setPixelSize(mal(tafelSchrift_.pixelSize()));
    fraSpielEinstellungen->setFont(f);
    static_cast<TafelStil*>(tafelStil_)->maß = s;
}

template <typename F>
void HauptFenster::weiter(F&& handler) {
    handler();
    spiegeln();
}

QAction* HauptFenster::menüpunkt(QMenu* menü, const Menüpunkt& punkt, std::function<void()> handler) {
    QAction* a = menü->addAction(text(punkt.Caption));
    if (!punkt.Shortcut.empty()) {
        a->setShortcut(QKeySequence(text(punkt.Shortcut)));
        // The shortcut works wherever the focus is inside the main window,
        // but not in the other windows of the program.
        a->setShortcutContext(Qt::WindowShortcut);
    }
    connect(a, &QAction::triggered, this, [this, handler = std::move(handler)] {
        handler();
        spiegeln();
    });
    spiegeln(a, punkt);
    return a;
}

void HauptFenster::spiegeln(QAction* a, const Menüpunkt& p) {
    if (a->isVisible() != p.Visible) a->setVisible(p.Visible);
    if (a->isEnabled() != p.Enabled) a->setEnabled(p.Enabled);
    if (a->isCheckable() && a->isChecked() != p.Checked) a->setChecked(p.Checked);
}

void HauptFenster::spiegeln() {
    if (titel_ != m_.Caption) {
        titel_ = m_.Caption;
        setWindowTitle(text(titel_));
    }
    if (fraSpielEinstellungen->isVisibleTo(feld_) != m_.fraSpielEinstellungen.Visible) {
        fraSpielEinstellungen->setVisible(m_.fraSpielEinstellungen.Visible);
        // Back after a game: keys still held from play leave the panel alone.
        frisch_.vergessen();
    }
    auto option = [](QRadioButton* b, const Optionsfeld& o) {
        if (b->isChecked() != o.Value) b->setChecked(o.Value);
        if (b->isEnabled() != o.Enabled) b->setEnabled(o.Enabled);
    };
    option(optTastatur, m_.optTastatur);
    option(optMaus, m_.optMaus);
    if (chkMaus->isChecked() != (m_.chkMaus.Value != 0)) chkMaus->setChecked(m_.chkMaus.Value != 0);
    const bool mausAn = m_.chkMaus.Enabled && einsperrbar_;
    if (chkMaus->isEnabled() != mausAn) chkMaus->setEnabled(mausAn);

    spiegeln(mnuSpielStarten, m_.mnuSpielStarten);
    spiegeln(mnuPause, m_.mnuPause);
    spiegeln(mnuSpielbeenden, m_.mnuSpielbeenden);
    spiegeln(mnuHighScore, m_.mnuHighScore);
    spiegeln(mnuQMBBeenden, m_.mnuQMBBeenden);
    spiegeln(mnuMusik, m_.mnuMusik);
    spiegeln(mnuNächsterSong, m_.mnuNächsterSong);
    spiegeln(mnuAnleitung, m_.mnuAnleitung);
    spiegeln(mnuAbout, m_.mnuAbout);

    if (zeiger_ != m_.MousePointer) {
        zeiger_ = m_.MousePointer;
        if (zeiger_ == vbCustom)
            feld_->setCursor(Qt::BlankCursor);
        else if (zeiger_ == vbArrow)
            feld_->setCursor(Qt::ArrowCursor);
        else
            feld_->unsetCursor();
    }
    feld_->aktualisieren();
    // The form unloads itself (button, menu); the widget follows it here.
    // The close box goes the other way, through closeEvent.
    if (m_.Entladen() && isVisible()) close();
}

int HauptFenster::virtuelleTaste(int k) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return vbKeyShift;
    case Qt::Key_Control: return vbKeyControl;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int HauptFenster::umschaltzustand(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

bool HauptFenster::taste(QKeyEvent* k, bool gedrückt) {
    const int vk = virtuelleTaste(k->key());
    if (vk == 0) return false;
    const int shift = umschaltzustand(k->modifiers());
    if (gedrückt) {
        // A held key repeats its key-down, as the game expects.
        gehalten_.insert(vk);
        weiter([&] { m_.Form_KeyDown(vk, shift); });
    } else {
        // Repeats come without a release (Wiederholungen sees to it). A
        // release whose press went elsewhere (a shortcut, another window) is
        // not ours.
        if (gehalten_.erase(vk) == 0) return false;
        weiter([&] { m_.Form_KeyUp(vk, shift); });
    }
    return false;
}

void HauptFenster::gehalteneTastenLoslassen() {
    // A dialog or another window took the keyboard: what was held is let go,
    // so that no key stays pressed for the game forever.
    const std::set<int> losgelassen = std::move(gehalten_);
    gehalten_.clear();
    for (int vk : losgelassen) m_.Form_KeyUp(vk, 0);
    if (!losgelassen.empty()) spiegeln();
}

bool HauptFenster::maus(QMouseEvent* e) {
    // Pixels of the enlarged playfield are fewer twips each.
    const QPointF p = e->position() / feld_->maßstab();
    const float X = static_cast<float>(p.x() * TWIPS_JE_PIXEL);
    const float Y = static_cast<float>(p.y() * TWIPS_JE_PIXEL);
    const Beschriftung& l = m_.lblPunkte;
    const bool überLabel = l.Visible && X >= l.Left && X < l.Left + l.Width && Y >= l.Top && Y < l.Top + l.Height;
    auto knopf = [](Qt::MouseButton b) {
        switch (b) {
        case Qt::LeftButton: return vbLeftButton;
        case Qt::RightButton: return vbRightButton;
        case Qt::MiddleButton: return 4;
        default: return 0;
        }
    };
    int gehalten = 0;
    if (e->buttons() & Qt::LeftButton) gehalten |= vbLeftButton;
    if (e->buttons() & Qt::RightButton) gehalten |= vbRightButton;
    if (e->buttons() & Qt::MiddleButton) gehalten |= 4;
    const int shift = umschaltzustand(e->modifiers());
    // While a button is held the control that got the press keeps the mouse.
    const bool zumLabel =
        (e->buttons() != Qt::NoButton || e->type() == QEvent::MouseButtonRelease) ? mausBeimLabel_ : überLabel;
    const float lx = X - l.Left;
    const float ly = Y - l.Top;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const bool erster = (e->buttons() & ~e->button()) == Qt::NoButton;
        if (erster) mausBeimLabel_ = überLabel;
        const bool label = erster ? überLabel : mausBeimLabel_;
        weiter([&] {
            if (label)
                m_.lblPunkte_MouseDown(knopf(e->button()), shift, lx, ly);
            else
                m_.Form_MouseDown(knopf(e->button()), shift, X, Y);
        });
        return true;
    }
    case QEvent::MouseButtonRelease:
        weiter([&] {
            if (zumLabel)
                m_.lblPunkte_MouseUp(knopf(e->button()), shift, lx, ly);
            else
                m_.Form_MouseUp(knopf(e->button()), shift, X, Y);
        });
        if (e->buttons() == Qt::NoButton) mausBeimLabel_ = false;
        return true;
    case QEvent::MouseMove:
        weiter([&] {
            if (zumLabel)
                m_.lblPunkte_MouseMove(gehalten, shift, lx, ly);
            else
                m_.Form_MouseMove(gehalten, shift, X, Y);
        });
        return true;
    default: return false;
    }
}

bool HauptFenster::eventFilter(QObject* objekt, QEvent* ereignis) {
    const QEvent::Type t = ereignis->type();
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
        auto* w = qobject_cast<QWidget*>(objekt);
        if (!w || w->window() != this) return false;
        // Qt offers an unhandled key to each parent in turn; the game sees it
        // once, when it reaches the widget that has the focus.
        QWidget* ziel = QApplication::focusWidget();
        if (ziel && ziel->window() != this) return false;
        if (w != (ziel ? ziel : this)) return false;
        auto* k = static_cast<QKeyEvent*>(ereignis);
        // The game sees every key (key preview); a control only the keys
        // pressed since the window got the keyboard.
        const bool verwerfen = frisch_.verwerfen(*k) && w != this;
        taste(k, t == QEvent::KeyPress);
        return verwerfen;
    }
    if (objekt == feld_ && t == QEvent::Resize) tafelAnordnen();
    if (objekt == feld_ && (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
                            t == QEvent::MouseMove || t == QEvent::MouseButtonDblClick)) {
        auto* e = static_cast<QMouseEvent*>(ereignis);
        // A click on the settings panel that its controls leave unhandled is
        // the panel's, not the playfield's.
        if (t != QEvent::MouseMove && feld_->childAt(e->position().toPoint())) return false;
        return maus(e);
    }
    if (objekt == this && t == QEvent::WindowDeactivate) {
        gehalteneTastenLoslassen();
        frisch_.vergessen();
    }
    return QMainWindow::eventFilter(objekt, ereignis);
}

void HauptFenster::closeEvent(QCloseEvent* ereignis) {
    m_.Form_Unload();
    ereignis->accept();
}

} // namespace qmb

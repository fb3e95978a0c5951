#pragma once
// The main window on Qt: a humble view of frmMain. It builds the widgets and
// menus once, forwards every click, key, mouse event and close to the model's
// handlers, and after each one mirrors the model back onto its widgets
// (caption, settings panel, menu flags, pointer) and repaints what changed.
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <QFont>
#include <QMainWindow>
#include <QRect>
#include <QString>

#include "platform/qt/Tasten.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;
class QStyle;

namespace qmb {

class frmMain;
class Spielfeld;
struct Menüpunkt;

class HauptFenster : public QMainWindow {
public:
    explicit HauptFenster(frmMain& modell, QWidget* eltern = nullptr);
    ~HauptFenster() override;

    // Model → widgets. Cheap when nothing changed; called after every event
    // and tick, and before every point where the game lets events in.
    void spiegeln();

    // Where the desktop cannot confine the pointer: the reason, for the
    // confinement box's tooltip; the box is then disabled.
    void setEinsperrbar(const QString& hinderungsgrund);

    frmMain& modell() { return m_; }
    Spielfeld* feld() { return feld_; }

    QGroupBox* fraSpielEinstellungen;
    QGroupBox* fraSteuerung;
    QRadioButton* optTastatur;
    QRadioButton* optMaus;
    QCheckBox* chkMaus;
    QPushButton* cmdLos;
    QPushButton* cmdHilfe;
    QPushButton* cmdBeenden;

    QMenu* mnuSpiel;
    QMenu* mnuAudio;
    QMenu* mnuHilfe;
    QAction* mnuSpielStarten;
    QAction* mnuPause;
    QAction* mnuSpielbeenden;
    QAction* mnuHighScore;
    QAction* mnuQMBBeenden;
    QAction* mnuMusik;
    QAction* mnuNächsterSong;
    QAction* mnuAnleitung;
    QAction* mnuAbout;

    // Qt key → Windows virtual-key code (0 for keys the game never sees).
    static int virtuelleTaste(int qtTaste);
    static int umschaltzustand(Qt::KeyboardModifiers m);

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;
    void closeEvent(QCloseEvent* ereignis) override;

private:
    template <typename F>
    void weiter(F&& handler);
    QAction* menüpunkt(QMenu* menü, const Menüpunkt& punkt, std::function<void()> handler);
    void spiegeln(QAction* a, const Menüpunkt& p);
    bool taste(QKeyEvent* k, bool gedrückt);
    bool maus(QMouseEvent* e);
    void gehalteneTastenLoslassen();
    void tafelAnordnen();

    frmMain& m_;
    Spielfeld* feld_;
    // The panel's controls with their places at scale 1, and its font.
    std::vector<std::pair<QWidget*, QRect>> tafel_;
    QFont tafelSchrift_;
    QStyle* tafelStil_;
    std::set<int> gehalten_;
    // Keys held from play or from a dialogue do not work the settings panel.
    FrischeTasten frisch_;
    // Where a button press went: the label keeps the pointer until release.
    bool mausBeimLabel_ = false;
    int zeiger_ = -1;
    bool einsperrbar_ = true;
    std::string titel_;
};

} // namespace qmb

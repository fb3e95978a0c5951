#include "highscore/qt/frmHighScore.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextEdit>

#include "platform/qt/QtFensterdienste.h"
#include "platform/qt/Schriften.h"
#include "platform/qt/Twips.h"

namespace qmb {

frmHighScore::frmHighScore(modQuambel& liste, Fensterdienste& fenster, QWidget* eltern)
    : QDialog(eltern), modell_(liste, fenster) {
    setWindowTitle(QStringLiteral("Quambel - Highscore"));
    setFixedSize(pixel(0, 0, 3645, 5025).size());

    txtHighscore = new QTextEdit(this);
    txtHighscore->setObjectName(QStringLiteral("txtHighscore"));
    txtHighscore->setGeometry(pixel(240, 240, 3135, 3615));
    txtHighscore->setReadOnly(true);
    txtHighscore->setAcceptRichText(false);
    // Not a tab stop; a click would give it the focus, which it passes on.
    txtHighscore->setFocusPolicy(Qt::ClickFocus);
    // The lines are centred, so the box has no scroll bar.
    txtHighscore->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtHighscore->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtHighscore->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    // One line for each place, always: a name too long for the box is cut
    // short on the screen (see spiegeln), never wrapped onto an eleventh line.
    txtHighscore->setLineWrapMode(QTextEdit::NoWrap);
    txtHighscore->setFont(schrift(Schriftart::Dialog, 13.5));
    QPalette farben = txtHighscore->palette();
    farben.setColor(QPalette::Base, farben.color(QPalette::Button));
    txtHighscore->setPalette(farben);

    cmdSchließen = new QPushButton(QString::fromUtf8("&Schließen"), this);
    cmdSchließen->setObjectName(QString::fromUtf8("cmdSchließen"));
    cmdSchließen->setGeometry(pixel(240, 4440, 3255, 375));
    cmdLöschen = new QPushButton(QString::fromUtf8("Highscoreliste &löschen"), this);
    cmdLöschen->setObjectName(QString::fromUtf8("cmdLöschen"));
    cmdLöschen->setGeometry(pixel(240, 4080, 3255, 375));
    // A QDialog lets Enter click the focused button; here Enter closes the
    // window, so no button may be a default button.
    for (QPushButton* knopf : {cmdSchließen, cmdLöschen}) {
        knopf->setAutoDefault(false);
        knopf->setDefault(false);
    }
    setTabOrder(cmdSchließen, cmdLöschen);

    for (QWidget* w : {static_cast<QWidget*>(txtHighscore), txtHighscore->viewport(),
                       static_cast<QWidget*>(cmdSchließen), static_cast<QWidget*>(cmdLöschen)})
        w->installEventFilter(this);

    connect(cmdSchließen, &QPushButton::clicked, this, [this] {
        modell_.cmdSchließen_Click();
        spiegeln();
    });
    connect(cmdLöschen, &QPushButton::clicked, this, [this] {
        modell_.cmdLöschen_Click();
        spiegeln();
    });
    cmdSchließen->setFocus();
}

void frmHighScore::Form_Load() {
    modell_.Form_Load();
    spiegeln();
}

void frmHighScore::spiegeln() {
    // Shown cut to the box's width with an ellipsis; the list keeps the names whole.
    const QFontMetricsF maß(txtHighscore->font());
    const qreal breite = txtHighscore->viewport()->width() - 2 * txtHighscore->document()->documentMargin() - 2;
    QStringList zeilen = alsAnzeigetext(modell_.txtHighscore).split(QLatin1Char('\n'));
    for (QString& z : zeilen) z = maß.elidedText(z, Qt::ElideRight, breite);
    const QString text = zeilen.join(QLatin1Char('\n'));
    if (txtHighscore->toPlainText() != text) txtHighscore->setPlainText(text);
    QWidget* soll = modell_.Fokus == frmHighScoreModell::Steuerelement::cmdLöschen
                        ? static_cast<QWidget*>(cmdLöschen)
                        : static_cast<QWidget*>(cmdSchließen);
    if (focusWidget() != soll) soll->setFocus(Qt::OtherFocusReason);
    if (modell_.Entladen) accept();
}

bool frmHighScore::tasteVorab(QKeyEvent* ereignis) {
    int code = 0;
    if (ereignis->key() == Qt::Key_Return || ereignis->key() == Qt::Key_Enter)
        code = 13;
    else if (ereignis->key() == Qt::Key_Escape)
        code = 27;
    if (code == 0) return false; // every other key goes on to the control
    modell_.Form_KeyDown(code);
    spiegeln();
    return true;
}

bool frmHighScore::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (ereignis->type() == QEvent::KeyPress) return tasteVorab(static_cast<QKeyEvent*>(ereignis));
    if (ereignis->type() == QEvent::FocusIn) {
        using S = frmHighScoreModell::Steuerelement;
        modell_.GotFocus(objekt == cmdLöschen     ? S::cmdLöschen
                         : objekt == cmdSchließen ? S::cmdSchließen
                                                  : S::txtHighscore);
        if (objekt != cmdLöschen && objekt != cmdSchließen) spiegeln();
    }
    return QDialog::eventFilter(objekt, ereignis);
}

void frmHighScore::keyPressEvent(QKeyEvent* ereignis) {
    if (!tasteVorab(ereignis)) QWidget::keyPressEvent(ereignis);
}

void frmHighScoreZeigen(modQuambel& liste, Fensterdienste& fenster, QWidget* eltern) {
    frmHighScore dialog(liste, fenster, eltern);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.Form_Load();
    dialog.exec();
}

} // namespace qmb

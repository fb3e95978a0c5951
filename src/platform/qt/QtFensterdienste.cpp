#include "platform/qt/QtFensterdienste.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>

#include "platform/qt/Tasten.h"

namespace qmb {

namespace {

// Keys held from play must not reach a dialog: holding C to fire when the
// last ball falls would otherwise type "ccccccc" into the name box. A key
// held when the dialog opens arrives there only as repeats; those are
// dropped until the key is pressed afresh inside the dialog.
class NurFrischeTasten : public QObject {
public:
    explicit NurFrischeTasten(QWidget* dialog) : dialog_(dialog) { qApp->installEventFilter(this); }
    ~NurFrischeTasten() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        const QEvent::Type t = ereignis->type();
        if (t != QEvent::KeyPress && t != QEvent::KeyRelease) return false;
        auto* w = qobject_cast<QWidget*>(objekt);
        // Qt offers a key to each parent in turn: judged once, at the focus.
        if (!w || w->window() != dialog_ || w != (QApplication::focusWidget() ? QApplication::focusWidget() : dialog_))
            return false;
        return frisch_.verwerfen(*static_cast<QKeyEvent*>(ereignis));
    }

private:
    QWidget* dialog_;
    FrischeTasten frisch_;
};

} // namespace

QString alsAnzeigetext(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

void QtFensterdienste::DoEvents() {
    if (vorEreignissen) vorEreignissen();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtFensterdienste::Warten() {
    if (vorEreignissen) vorEreignissen();
    // A loop of its own that ends after 20 ms: it sleeps until an event or
    // the end comes, instead of spinning; the player's input stays queued.
    QEventLoop schleife;
    QTimer::singleShot(20, &schleife, &QEventLoop::quit);
    schleife.exec(QEventLoop::ExcludeUserInputEvents);
}

Antwort QtFensterdienste::MsgBox(const std::string& prompt, Knöpfe knöpfe, Symbol symbol, const std::string& titel,
                                 Antwort standard) {
    if (vorEreignissen) vorEreignissen();
    QMessageBox box(eltern_);
    box.setWindowTitle(QString::fromStdString(titel));
    box.setTextFormat(Qt::PlainText);
    box.setText(alsAnzeigetext(prompt));
    // Our own pictures, drawn for the screen's scale: Qt's built-in ones are
    // small bitmaps and blur when scaled up.
    const char* bild = nullptr;
    switch (symbol) {
    case Symbol::Keins: break;
    case Symbol::Information: bild = "Information"; break;
    case Symbol::Ausrufezeichen: bild = "Ausrufezeichen"; break;
    case Symbol::Frage: bild = "Frage"; break;
    case Symbol::Stopp: bild = "Stopp"; break;
    }
    if (bild) {
        const int seite = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        box.setIconPixmap(
            QIcon(QStringLiteral(":/bilder/%1.svg").arg(QLatin1String(bild)))
                .pixmap(QSize(seite, seite), eltern_ ? eltern_->devicePixelRatioF() : qApp->devicePixelRatio()));
    }
    if (knöpfe == Knöpfe::JaNein) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(standard == Antwort::Ja ? QMessageBox::Yes : QMessageBox::No);
        // Closing the box without an answer counts as the safe answer.
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    box.setWindowModality(Qt::ApplicationModal);
    NurFrischeTasten frisch(&box);
    const int r = box.exec();
    if (knöpfe == Knöpfe::JaNein) return r == QMessageBox::Yes ? Antwort::Ja : Antwort::Nein;
    return Antwort::OK;
}

std::string QtFensterdienste::InputBox(const std::string& prompt, const std::string& titel,
                                       const std::string& vorgabe) {
    if (vorEreignissen) vorEreignissen();
    QInputDialog dlg(eltern_);
    dlg.setWindowTitle(QString::fromStdString(titel));
    dlg.setLabelText(alsAnzeigetext(prompt));
    dlg.setTextValue(QString::fromStdString(vorgabe));
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setWindowModality(Qt::ApplicationModal);
    // A long question wraps instead of making the box wider than the game.
    for (QLabel* l : dlg.findChildren<QLabel*>()) l->setWordWrap(true);
    NurFrischeTasten frisch(&dlg);
    if (dlg.exec() != QDialog::Accepted) return {};
    return dlg.textValue().toStdString();
}

void QtFensterdienste::Zeigen(Fenster fenster, bool modal) {
    if (vorEreignissen) vorEreignissen();
    if (fensterZeigen) fensterZeigen(fenster, modal);
}

} // namespace qmb

#include "platform/qt/QtFensterdienste.h"

#include <set>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>

namespace qmb {

namespace {

// Keys held from play must not reach a dialog: holding C to fire when the
// last ball falls would otherwise type "ccccccc" into the name box. A key
// held when the dialog opens arrives there only as auto-repeats; those are
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
        if (!w || w->window() != dialog_) return false;
        auto* k = static_cast<QKeyEvent*>(ereignis);
        if (!k->isAutoRepeat()) {
            if (t == QEvent::KeyPress) frisch_.insert(k->key());
            return false;
        }
        return frisch_.count(k->key()) == 0;
    }

private:
    QWidget* dialog_;
    std::set<int> frisch_;
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

Antwort QtFensterdienste::MsgBox(const std::string& prompt, Knöpfe knöpfe, Symbol symbol,
                                 const std::string& titel, Antwort standard) {
    if (vorEreignissen) vorEreignissen();
    QMessageBox box(eltern_);
    box.setWindowTitle(QString::fromStdString(titel));
    box.setTextFormat(Qt::PlainText);
    box.setText(alsAnzeigetext(prompt));
    switch (symbol) {
    case Symbol::Keins: box.setIcon(QMessageBox::NoIcon); break;
    case Symbol::Information: box.setIcon(QMessageBox::Information); break;
    case Symbol::Ausrufezeichen: box.setIcon(QMessageBox::Warning); break;
    case Symbol::Frage: box.setIcon(QMessageBox::Question); break;
    case Symbol::Stopp: box.setIcon(QMessageBox::Critical); break;
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

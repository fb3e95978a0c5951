#include "app/qt/frmAbout.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/qt/Schriften.h"
#include "platform/qt/Twips.h"

namespace qmb {

frmAbout::frmAbout(Fensterdienste& fenster, Shelldienste& shell, QWidget* eltern)
    : QDialog(eltern), modell_(fenster, shell) {
    setWindowTitle(QString::fromUtf8(AboutTexte::Caption));
    setFixedSize(pixel(0, 0, 3990, 5055).size());
    auto label = [this](const char* text, QRect ort, QFont f, bool mittig) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setGeometry(ort);
        l->setFont(f);
        l->setWordWrap(true);
        if (mittig) l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        return l;
    };
    const QFont arial = schrift(Schriftart::Arial, 12);
    const QFont arialFett = schrift(Schriftart::Arial, 12, true);
    const QFont standard = schrift(Schriftart::Dialog, 8);
    label(AboutTexte::Label1, pixel(240, 240, 3255, 375), arialFett, false);
    label(AboutTexte::Label3, pixel(480, 600, 1335, 255), arial, false)->setWordWrap(false);
    label(AboutTexte::Label4, pixel(240, 960, 2055, 255), arialFett, false);
    label(AboutTexte::Label5, pixel(480, 1320, 1455, 255), arial, false)->setWordWrap(false);
    label(AboutTexte::Label6, pixel(240, 1680, 1935, 375), arialFett, false);
    auto* Image1 = new QLabel(this);
    Image1->setGeometry(pixel(2640, 1800, 480, 480));
    Image1->setPixmap(windowIcon().pixmap(32, 32));
    label(AboutTexte::Label7, pixel(480, 2040, 1575, 255), arial, false)->setWordWrap(false);
    label(AboutTexte::Label13, pixel(240, 2520, 3375, 255), standard, true);
    label(AboutTexte::Label11, pixel(240, 2760, 3495, 495), standard, true);
    label(AboutTexte::Label12, pixel(240, 3240, 3495, 735), standard, true);
    Label2 = label(AboutTexte::Label2, pixel(240, 3960, 3495, 375), schrift(Schriftart::Comic, 14.25, true), true);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);
    cmdSchließen = new QPushButton(QString::fromUtf8(AboutTexte::cmdSchließen), this);
    cmdSchließen->setGeometry(pixel(240, 4440, 3495, 375));
    cmdSchließen->setDefault(true);
    connect(cmdSchließen, &QPushButton::clicked, this, &QDialog::close);
}

bool frmAbout::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == Label2 && ereignis->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(ereignis)->button() == Qt::LeftButton &&
        Label2->rect().contains(static_cast<QMouseEvent*>(ereignis)->position().toPoint())) {
        modell_.Label2_Click();
        return true;
    }
    return QDialog::eventFilter(objekt, ereignis);
}

} // namespace qmb

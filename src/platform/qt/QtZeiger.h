#pragma once
// Pointer confinement on Qt. The game asks for a clip rectangle in screen
// pixels; a clip inside the desktop holds the pointer inside the playfield
// (in the way of the desktop the program runs on, see Einsperrung.h), and
// the desktop clip lets it go. Where the desktop has no way (the offscreen
// platform), the game runs without it.
#include <memory>

#include <QPointer>
#include <QWidget>

#include "platform/Zeigerdienste.h"
#include "platform/qt/Einsperrung.h"

namespace qmb {

class QtZeiger : public QObject, public Zeigerdienste {
public:
    explicit QtZeiger(QWidget* spielfeld = nullptr);
    ~QtZeiger() override;
    void setSpielfeld(QWidget* feld);

    Rechteck GetClientRect() override;
    Rechteck GetDesktopClientRect() override;
    Punkt ClientToScreen(Punkt p) override;
    void ClipCursor(const Rechteck& r) override;

    bool brauchtEigenesFenster() const { return einsperrung_->brauchtEigenesFenster(); }
    QString hinderungsgrund() const { return einsperrung_->hinderungsgrund(); }

protected:
    // The playfield grows and shrinks with the window: a held pointer is
    // held anew to its new rectangle.
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private:
    QPointer<QWidget> feld_;
    std::unique_ptr<Einsperrung> einsperrung_;
    bool eingesperrt_ = false;
};

} // namespace qmb

#pragma once
// The playfield: paints the main window's drawables in the game's drawing
// order (label at the back or at the front, then walls, pad, balls, shots and
// bonus pictures), at 15 twips per pixel times the view's scale, antialiased
// and crisp at any device pixel ratio.
//
// The view's scale follows the widget's size: the window lays the playfield
// out at 426 x 482 pixels or enlarged in proportion, and everything is drawn
// that much larger, pictures and text rendered anew at the size they take on
// the screen. The game's positions stay in twips.
//
// The widget never repaints more than changed: after each event or tick the
// window calls aktualisieren(), which takes a picture of the scene (where
// every drawable is to be drawn, and how), compares it with the one painted
// last and asks Qt to repaint only the union of old and new places. The paint
// draws that picture, never the model: a tick that moves the model between
// the request and the paint cannot put anything outside the repainted region.
//
// Smooth presentation (the default): while a game runs and is not paused,
// the widget repaints at the screen's refresh, and between two ticks draws
// balls, bonuses and shots where their speed carries them (see Vorhersage.h).
// Without it, the picture changes only at the game's ticks.
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include "platform/Zeichenobjekte.h"
#include "platform/qt/Bildflaeche.h"
#include "platform/qt/Twips.h"

class QSvgRenderer;

namespace qmb {

class frmMain;
class Zeitgeber;

class Spielfeld : public QWidget {
public:
    explicit Spielfeld(frmMain& modell, QWidget* eltern = nullptr);
    ~Spielfeld() override;

    // Schedules a repaint of whatever changed since the last call.
    void aktualisieren();
    // Paints the scene taken by the last aktualisieren() into `p`, within
    // `bereich` (also used by the benchmark).
    void zeichnen(QPainter& p, const QRegion& bereich);

    // The label's font: the dialog font at 13.5 point (Schriften.h).
    static QFont beschriftungsSchrift();

    // The playfield's size at scale 1, and the scale it is drawn at: pixels
    // of the widget to pixels of that size.
    static constexpr int BREITE = 426, HÖHE = 482;
    static double maßstabFür(QSize g) { return std::min(g.width() / double(BREITE), g.height() / double(HÖHE)); }
    double maßstab() const { return maßstabFür(size()); }

    // How far a timer is into its interval (0..1); unset, nothing is predicted.
    std::function<double(const Zeitgeber&)> anteil;
    // Called for every frame shown, through Qt or the own surface (the
    // soak harness times the frames with it).
    std::function<void()> gezeigt;
    void setFlüssig(bool an);
    bool flüssig() const { return flüssig_; }
    bool bildtaktLäuft() const { return bildtaktAn_; }
    // One frame: samples the timers' fractions and repaints what moved.
    void bildMachen();
    // Where ball, bonus or shot i is drawn in the frame last made, in the
    // widget's pixels.
    QRectF ballOrt(int i) const;
    QRectF bonusOrt(int i) const;
    QRectF schussOrt(int i) const;

protected:
    void paintEvent(QPaintEvent* ereignis) override;
    void changeEvent(QEvent* ereignis) override;
    void resizeEvent(QResizeEvent* ereignis) override;

private:
    // One drawable of a scene: where it is drawn and how.
    struct Abbild {
        // Also the drawing order, back to front; the score label is drawn
        // first or last as it lies.
        enum class Art : uint8_t { Leer, Linie, Form, Schuss, Bild, Text, Pause };
        Art art = Art::Leer;
        QRectF ort; // the widget's pixels
        bool sichtbar = false;
        Umriss umriss = Umriss::Rechteck;
        Farbe füllung = 0, rand = 0;
        Motiv motiv = Motiv::Keins;
        bool operator==(const Abbild&) const = default;
    };
    void szeneErfassen(std::vector<Abbild>& szene) const;
    // Pixels at scale 1 to the widget's pixels.
    QRectF ansicht(const QRectF& r) const {
        return {r.x() * maßstab_, r.y() * maßstab_, r.width() * maßstab_, r.height() * maßstab_};
    }
    bool bewegtSich() const;
    // Repaints the region (all of it when empty): through Qt, or during a
    // game on the playfield's own surface where the platform has one.
    void neuMalen(const QRegion& bereich);
    const QPixmap& formBild(const Abbild& f, qreal dpr);
    const QPixmap& motivBild(Motiv m, QSizeF größe, qreal dpr);

    frmMain& m_;
    // The scene being painted (taken by the last aktualisieren()) and the
    // one before; the label's text and place in the drawing order with it.
    std::vector<Abbild> gemalt_;
    std::vector<Abbild> neu_;
    std::string gemalterText_;
    bool labelHinten_ = false;
    std::map<std::tuple<int, int, int, uint32_t, uint32_t, int>, QPixmap> formCache_;
    std::map<std::tuple<int, int, int, int>, QPixmap> motivCache_;
    std::array<std::unique_ptr<QSvgRenderer>, 3> motive_;
    QFont schrift_;
    // The score label's pictures, laid out once per caption: while balls fly
    // past it, it is drawn every frame, and shaping the text each time cost
    // more than all the balls together. The score goes up and down a ball at
    // a time, so the last few captions come back again and again.
    std::map<std::string, QPixmap> textBilder_;
    bool flüssig_ = true;
    double maßstab_ = 1.0;
    // The timers' fractions sampled for the picture being made.
    double anteilBälle_ = 0, anteilBonusse_ = 0, anteilSchüsse_ = 0;
    QTimer bildTakt_;
    QElapsedTimer bildUhr_;
    qint64 nächstesBildNs_ = 0;
    bool imBildtakt_ = false;
    bool bildtaktAn_ = false;
    std::unique_ptr<Bildfläche> fläche_;
    bool flächeVersucht_ = false;
    bool verbergenNachMalen_ = false;
};

} // namespace qmb

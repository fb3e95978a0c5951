#include "app/qt/Spielfeld.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

#include "app/qt/Bilder.h"
#include "game/Vorhersage.h"
#include "game/frmMain.h"
#include "platform/qt/Schriften.h"

namespace qmb {

namespace {

QColor farbe(Farbe f) { return QColor((f >> 16) & 0xFF, (f >> 8) & 0xFF, f & 0xFF); }

// A rectangle on whole device pixels, so pre-rendered pictures are copied
// 1:1 instead of being resampled.
QPointF aufGerätepixel(QPointF p, qreal dpr) { return {std::round(p.x() * dpr) / dpr, std::round(p.y() * dpr) / dpr}; }

constexpr uint32_t ART_LINIE = 0x01000000;
constexpr uint32_t ART_BILD = 0x02000000;
constexpr uint32_t ART_TEXT = 0x04000000;
constexpr size_t GANZ_NEU_AB = 24; // changed drawables from which the whole field is repainted
constexpr size_t TEXTBILDER = 16;  // captions of the score label kept laid out

} // namespace

Spielfeld::Spielfeld(frmMain& modell, QWidget* eltern) : QWidget(eltern), m_(modell) {
    ::bilderEinbinden();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    // The window enlarges the playfield in proportion, never below this.
    setMinimumSize(BREITE, HÖHE);
    resize(BREITE, HÖHE);
    motive_[0] = std::make_unique<QSvgRenderer>(QStringLiteral(":/bilder/BonusseBonus.svg"));
    motive_[1] = std::make_unique<QSvgRenderer>(QStringLiteral(":/bilder/BonusMitBall.svg"));
    motive_[2] = std::make_unique<QSvgRenderer>(QStringLiteral(":/bilder/BonusMuni.svg"));
    schrift_ = beschriftungsSchrift();
    bildTakt_.setSingleShot(true);
    bildTakt_.setTimerType(Qt::PreciseTimer);
    connect(&bildTakt_, &QTimer::timeout, this, &Spielfeld::bildMachen);
}

void Spielfeld::setFlüssig(bool an) {
    flüssig_ = an;
    aktualisieren();
}

bool Spielfeld::bewegtSich() const {
    return flüssig_ && m_.SpielLäuft && !m_.Pausiert &&
           (m_.tmrBälle.Enabled() || m_.tmrBonusse.Enabled() || m_.tmrSchüsse.Enabled());
}

void Spielfeld::bildMachen() {
    imBildtakt_ = true;
    aktualisieren();
    imBildtakt_ = false;
}

QRectF Spielfeld::ballOrt(int i) const {
    const Form& f = m_.Ball(i);
    const Flugdaten& d = m_.BallDaten[static_cast<size_t>(i)];
    if (anteilBälle_ <= 0.0 || d.Aktiv == 0) return ansicht(alsPixel(f.Left, f.Top, f.Width, f.Height));
    const auto [flug, raum] = ballFlug(m_, i);
    const Ort o = vorhersagen(flug, raum, anteilBälle_);
    return ansicht(alsPixel(o.Left, o.Top, f.Width, f.Height));
}

QRectF Spielfeld::bonusOrt(int i) const {
    const Bild& b = m_.Bonus(i);
    const Flugdaten& d = m_.BonusDaten[static_cast<size_t>(i)];
    if (anteilBonusse_ <= 0.0 || d.Aktiv == 0) return ansicht(alsPixel(b.Left, b.Top, b.Width, b.Height));
    const auto [flug, raum] = bonusFlug(m_, i);
    const Ort o = vorhersagen(flug, raum, anteilBonusse_);
    return ansicht(alsPixel(o.Left, o.Top, b.Width, b.Height));
}

QRectF Spielfeld::schussOrt(int i) const {
    const Form& s = m_.Schuss(i);
    if (anteilSchüsse_ <= 0.0) return ansicht(alsPixel(s.Left, s.Top, s.Width, s.Height));
    const auto [flug, raum] = schussFlug(m_, i);
    const Ort o = vorhersagen(flug, raum, anteilSchüsse_);
    return ansicht(alsPixel(o.Left, o.Top, s.Width, s.Height));
}

Spielfeld::~Spielfeld() = default;

QFont Spielfeld::beschriftungsSchrift() {
    // 13.5 point at 96 dpi: 18 pixels, the size the label's three lines are
    // fitted to. Pixel sizes keep them inside the label whatever the
    // screen's dpi.
    return schrift(Schriftart::Dialog, 13.5);
}

void Spielfeld::szeneErfassen(std::vector<Abbild>& s) const {
    using A = Abbild::Art;
    s.clear();
    auto linie = [&](const Linie& l) {
        const QRectF r = QRectF(QPointF(l.X1, l.Y1) / TWIPS_JE_PIXEL, QPointF(l.X2, l.Y2) / TWIPS_JE_PIXEL)
                             .normalized()
                             .adjusted(0, 0, 1, 1);
        s.push_back({A::Linie, ansicht(r), l.Visible, Umriss::Rechteck, l.BorderColor});
    };
    linie(m_.Oben);
    linie(m_.Links);
    linie(m_.Rechts);
    linie(m_.Unten);
    auto form = [&](A art, const Form& f, QRectF ort) {
        s.push_back({art, ort, f.Visible, f.Shape, f.FillColor, f.BorderColor});
    };
    form(A::Form, m_.Pad, ansicht(alsPixel(m_.Pad.Left, m_.Pad.Top, m_.Pad.Width, m_.Pad.Height)));
    for (int i = 1; i < m_.Ball.Grenze(); ++i)
        if (m_.Ball.Existiert(i)) form(A::Form, m_.Ball(i), ballOrt(i));
    for (int i = 1; i < m_.Bonus.Grenze(); ++i)
        if (m_.Bonus.Existiert(i)) {
            const Bild& b = m_.Bonus(i);
            s.push_back({A::Bild, bonusOrt(i), b.Visible && b.Picture != Motiv::Keins, {}, 0, 0, b.Picture});
        }
    const Beschriftung& l = m_.lblPunkte;
    s.push_back({A::Text, ansicht(alsPixel(l.Left, l.Top, l.Width, l.Height)), l.Visible, {}, l.Hinten ? 1u : 0u});
    // The sign of a paused game lies in the middle of the field, in front.
    s.push_back({A::Pause, ansicht(QRectF(63, 216, 300, 40)), m_.SpielLäuft && m_.Pausiert});
    // Shots come and go all the time: last, so that their number changing
    // does not shift the places of everything else.
    for (int i = 1; i < m_.Schuss.Grenze(); ++i)
        if (m_.Schuss.Existiert(i))
            form(A::Schuss, m_.Schuss(i), schussOrt(i));
        else
            s.push_back({});
}

void Spielfeld::aktualisieren() {
    const bool bewegt = bewegtSich() && isVisible();
    if (bewegt && bildtaktAn_ && !imBildtakt_) return; // the next frame shows it
    if (bewegt) {
        // Frames at the screen's refresh on an even clock (a whole number of
        // milliseconds would drift against 60 Hz), anew after a stall.
        const qreal hz = screen() && screen()->refreshRate() >= 20 ? screen()->refreshRate() : 60.0;
        const auto periode = static_cast<qint64>(1e9 / hz);
        if (!bildtaktAn_) bildUhr_.start();
        const qint64 jetzt = bildUhr_.nsecsElapsed();
        nächstesBildNs_ =
            bildtaktAn_ && nächstesBildNs_ + periode > jetzt ? nächstesBildNs_ + periode : jetzt + periode;
        bildtaktAn_ = true;
        bildTakt_.start(static_cast<int>(std::max<qint64>((nächstesBildNs_ - jetzt + 500000) / 1000000, 1)));
    } else {
        bildtaktAn_ = false;
        bildTakt_.stop();
    }
    // Paused, the picture stays as last drawn; a game over shows the model.
    if (!m_.Pausiert || !m_.SpielLäuft) {
        const bool vorher = flüssig_ && m_.SpielLäuft && anteil;
        anteilBälle_ = vorher ? anteil(m_.tmrBälle) : 0.0;
        anteilBonusse_ = vorher ? anteil(m_.tmrBonusse) : 0.0;
        anteilSchüsse_ = vorher ? anteil(m_.tmrSchüsse) : 0.0;
    }
    szeneErfassen(neu_);
    const Beschriftung& l = m_.lblPunkte;
    QRegion bereich;
    bool ganz = gemalt_.empty() || l.Hinten != labelHinten_;
    if (!ganz) {
        auto ort = [](const Abbild& a) { return a.sichtbar ? a.ort.toAlignedRect().adjusted(-1, -1, 1, 1) : QRect(); };
        const Abbild leer{};
        const size_t n = std::max(neu_.size(), gemalt_.size());
        // A drawable moves a few pixels a frame: its old and new place as one
        // rectangle give a region of a few large rectangles instead of many
        // slivers, each of which costs a clip, a fill and a flush.
        std::array<QRect, GANZ_NEU_AB + 1> orte;
        size_t geändert = 0;
        for (size_t i = 0; i < n && geändert < orte.size(); ++i) {
            const Abbild& alt = i < gemalt_.size() ? gemalt_[i] : leer;
            const Abbild& jetzt = i < neu_.size() ? neu_[i] : leer;
            if (alt != jetzt) orte[geändert++] = ort(alt).united(ort(jetzt));
        }
        // With many balls in flight a region of hundreds of small rectangles
        // costs more to build and to clip against than painting it all; the
        // region is built only when it will be painted.
        ganz = geändert > GANZ_NEU_AB;
        for (size_t i = 0; i < geändert && !ganz; ++i) bereich += orte[i];
        if (l.Caption != gemalterText_) bereich += ansicht(alsPixel(l.Left, l.Top, l.Width, l.Height)).toAlignedRect();
    }
    // The new scene is the one painted from here on (at once on the
    // playfield's own surface, later through Qt).
    std::swap(gemalt_, neu_);
    gemalterText_ = l.Caption;
    labelHinten_ = l.Hinten;
    if (ganz)
        neuMalen({});
    else if (!bereich.isEmpty())
        neuMalen(bereich);
}

void Spielfeld::neuMalen(const QRegion& bereich) {
    // During a game (the panel hidden) the moving picture goes to the
    // playfield's own surface where the platform offers one; the widget
    // beneath is repainted once the game is over, before the surface goes.
    const bool eigen = m_.SpielLäuft && !m_.fraSpielEinstellungen.Visible && isVisible();
    if (eigen && !flächeVersucht_) {
        flächeVersucht_ = true;
        fläche_ = eigeneBildfläche(this, [this](QPainter& p, const QRegion& r) { zeichnen(p, r); });
    }
    if (eigen && fläche_) {
        const bool gezeigtAufFläche = fläche_->zeigen(bereich.isEmpty() ? QRegion(rect()) : bereich);
        if (gezeigtAufFläche && gezeigt) gezeigt();
        if (gezeigtAufFläche || fläche_->sichtbar()) return;
        // The surface could not show the frame and is not on the screen
        // (it could not be set up): the widget paints it, whole, as it
        // missed what the surface was given before.
        update();
        return;
    }
    if (fläche_ && fläche_->sichtbar()) {
        verbergenNachMalen_ = true;
        update();
        return;
    }
    if (bereich.isEmpty())
        update();
    else
        update(bereich);
}

const QPixmap& Spielfeld::formBild(const Abbild& f, qreal dpr) {
    const int w = static_cast<int>(std::lround(f.ort.width() * dpr));
    const int h = static_cast<int>(std::lround(f.ort.height() * dpr));
    const auto schlüssel =
        std::make_tuple(static_cast<int>(f.umriss), w, h, f.füllung, f.rand, static_cast<int>(dpr * 100));
    auto it = formCache_.find(schlüssel);
    if (it != formCache_.end()) return it->second;
    QPixmap pm(std::max(w, 1), std::max(h, 1));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r(0, 0, w / dpr, h / dpr);
        p.setBrush(farbe(f.füllung));
        // The edge one pixel wide at scale 1, wider as the view grows.
        QPen stift(farbe(f.rand));
        stift.setWidthF(maßstab_);
        p.setPen(stift);
        const qreal halb = maßstab_ / 2;
        const QRectF innen = r.adjusted(halb, halb, -halb, -halb);
        switch (f.umriss) {
        case Umriss::Kreis: p.drawEllipse(innen); break;
        case Umriss::AbgerundetesRechteck: {
            const qreal radius = std::min(innen.width(), innen.height()) / 2.0;
            p.drawRoundedRect(innen, radius, radius);
            break;
        }
        default: p.setPen(Qt::NoPen); p.fillRect(r, farbe(f.füllung));
        }
    }
    return formCache_.emplace(schlüssel, std::move(pm)).first->second;
}

const QPixmap& Spielfeld::motivBild(Motiv m, QSizeF größe, qreal dpr) {
    const int w = static_cast<int>(std::lround(größe.width() * dpr));
    const int h = static_cast<int>(std::lround(größe.height() * dpr));
    const auto schlüssel = std::make_tuple(static_cast<int>(m), w, h, static_cast<int>(dpr * 100));
    auto it = motivCache_.find(schlüssel);
    if (it != motivCache_.end()) return it->second;
    QPixmap pm(std::max(w, 1), std::max(h, 1));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    const int index = static_cast<int>(m);
    if (index >= 0 && index < 3 && motive_[static_cast<size_t>(index)]->isValid()) {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        // Stretched to the drawable, whatever its proportions.
        motive_[static_cast<size_t>(index)]->setAspectRatioMode(Qt::IgnoreAspectRatio);
        motive_[static_cast<size_t>(index)]->render(&p, QRectF(0, 0, w / dpr, h / dpr));
    }
    return motivCache_.emplace(schlüssel, std::move(pm)).first->second;
}

void Spielfeld::zeichnen(QPainter& p, const QRegion& bereich) {
    using A = Abbild::Art;
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QColor grund = palette().color(QPalette::Window);
    for (const QRect& r : bereich) p.fillRect(r, grund);
    p.setClipRegion(bereich);
    const QRectF grenzen = bereich.boundingRect();

    auto beschriftung = [&](const Abbild& a) {
        const QRectF& r = a.ort;
        // The label is opaque: while it is in front, balls passing under it
        // disappear.
        p.fillRect(r, grund);
        if (gemalterText_.empty()) return;
        const QSize größe(static_cast<int>(std::lround(r.width() * dpr)),
                          static_cast<int>(std::lround(r.height() * dpr)));
        // All pictures kept share one size: another size or ratio drops them.
        if (!textBilder_.empty()) {
            const QPixmap& eines = textBilder_.begin()->second;
            if (eines.size() != größe || eines.devicePixelRatio() != dpr) textBilder_.clear();
        }
        auto bild = textBilder_.find(gemalterText_);
        if (bild == textBilder_.end()) {
            if (textBilder_.size() >= TEXTBILDER) textBilder_.clear();
            QString text = QString::fromStdString(gemalterText_);
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            QPixmap neu(größe);
            neu.setDevicePixelRatio(dpr);
            neu.fill(Qt::transparent);
            QPainter t(&neu);
            // Laid out as at scale 1 and drawn larger, so that the lines
            // break at the same words at every scale.
            t.scale(maßstab_, maßstab_);
            t.setFont(schrift_);
            t.setPen(palette().color(QPalette::WindowText));
            t.drawText(QRectF(0, 0, r.width() / maßstab_, r.height() / maßstab_),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
            t.end();
            bild = textBilder_.emplace(gemalterText_, std::move(neu)).first;
        }
        p.drawPixmap(aufGerätepixel(r.topLeft(), dpr), bild->second);
    };
    auto pause = [&](const Abbild& a) {
        // Quiet: a pale plate with a thin edge and grey text, so that a
        // paused game is told apart from a frozen one without a dialog.
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(a.ort.topLeft());
        p.scale(maßstab_, maßstab_);
        const QRectF ort(QPointF(0, 0), a.ort.size() / maßstab_);
        QColor platte = grund;
        platte.setAlpha(230);
        p.setPen(QPen(palette().color(QPalette::Mid), 1));
        p.setBrush(platte);
        p.drawRoundedRect(ort.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        p.setPen(QColor(80, 80, 80));
        p.setFont(schrift_);
        p.drawText(ort, Qt::AlignCenter, QString::fromUtf8("Pause – Strg + P drücken"));
        p.restore();
    };
    auto malen = [&](const Abbild& a) {
        switch (a.art) {
        case A::Linie:
            // One pixel wide at scale 1, on whole device pixels: walls stay
            // sharp at every scale.
            p.fillRect(QRectF(aufGerätepixel(a.ort.topLeft(), dpr), aufGerätepixel(a.ort.bottomRight(), dpr)),
                       farbe(a.füllung));
            break;
        case A::Form: p.drawPixmap(aufGerätepixel(a.ort.topLeft(), dpr), formBild(a, dpr)); break;
        case A::Schuss:
            p.setRenderHint(QPainter::Antialiasing);
            p.fillRect(a.ort, farbe(a.füllung));
            break;
        case A::Bild: p.drawPixmap(aufGerätepixel(a.ort.topLeft(), dpr), motivBild(a.motiv, a.ort.size(), dpr)); break;
        case A::Text: beschriftung(a); break;
        case A::Pause: pause(a); break;
        case A::Leer: break;
        }
    };
    // Back to front; the label behind everything or in front of the
    // drawables, the pause sign in front of all.
    const A ordnung[] = {A::Text, A::Linie, A::Form, A::Schuss, A::Bild, A::Text, A::Pause};
    for (size_t stufe = 0; stufe < std::size(ordnung); ++stufe) {
        const A art = ordnung[stufe];
        if (art == A::Text && labelHinten_ != (stufe == 0)) continue;
        for (const Abbild& a : gemalt_)
            if (a.art == art && a.sichtbar && a.ort.intersects(grenzen)) malen(a);
    }
}

void Spielfeld::paintEvent(QPaintEvent* ereignis) {
    QPainter p(this);
    zeichnen(p, ereignis->region());
    if (gezeigt) gezeigt();
    if (verbergenNachMalen_) {
        // The widget's picture is whole again once this frame is out.
        verbergenNachMalen_ = false;
        QTimer::singleShot(0, this, [this] {
            if (fläche_ && !(m_.SpielLäuft && !m_.fraSpielEinstellungen.Visible)) fläche_->verbergen();
        });
    }
}

void Spielfeld::resizeEvent(QResizeEvent* ereignis) {
    // A new scale: every picture is rendered anew at its new size, and the
    // whole field repainted from a new scene.
    const double neu = maßstab();
    if (neu != maßstab_) {
        maßstab_ = neu;
        formCache_.clear();
        motivCache_.clear();
        textBilder_.clear();
        // The scene painted is taken anew at the new scale, from the same
        // sampled fractions, and painted whole.
        szeneErfassen(gemalt_);
        gemalterText_ = m_.lblPunkte.Caption;
        labelHinten_ = m_.lblPunkte.Hinten;
        neuMalen({});
    }
    QWidget::resizeEvent(ereignis);
}

void Spielfeld::changeEvent(QEvent* ereignis) {
    if (ereignis->type() == QEvent::PaletteChange || ereignis->type() == QEvent::FontChange) {
        textBilder_.clear();
        update();
    }
    QWidget::changeEvent(ereignis);
}

} // namespace qmb

#include "app/qt/Spielfeld.h"

#include <cmath>

#include <QEvent>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QSvgRenderer>

#include "app/qt/Bilder.h"
#include "game/frmMain.h"

namespace qmb {

namespace {

QColor farbe(Farbe f) { return QColor((f >> 16) & 0xFF, (f >> 8) & 0xFF, f & 0xFF); }

// A rectangle on whole device pixels, so pre-rendered pictures are copied
// 1:1 instead of being resampled.
QPointF aufGeraetepixel(QPointF p, qreal dpr) {
    return {std::round(p.x() * dpr) / dpr, std::round(p.y() * dpr) / dpr};
}

constexpr uint32_t ART_LINIE = 0x01000000;
constexpr uint32_t ART_BILD = 0x02000000;
constexpr uint32_t ART_TEXT = 0x04000000;

} // namespace

Spielfeld::Spielfeld(frmMain& modell, QWidget* eltern) : QWidget(eltern), m_(modell) {
    ::bilderEinbinden();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFixedSize(426, 482);
    motive_[0] = std::make_unique<QSvgRenderer>(QStringLiteral(":/bilder/BonusseBonus.svg"));
    motive_[1] = std::make_unique<QSvgRenderer>(QStringLiteral(":/bilder/BonusMitBall.svg"));
    motive_[2] = std::make_unique<QSvgRenderer>(QStringLiteral(":/bilder/BonusMuni.svg"));
    schrift_ = beschriftungsSchrift();
}

Spielfeld::~Spielfeld() = default;

QFont Spielfeld::beschriftungsSchrift() {
    // 13.5 point at the 96 dpi the game was laid out for: 18 pixels. Pixel
    // sizes keep the three lines inside the label whatever the screen's dpi.
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(18);
    return f;
}

void Spielfeld::szeneErfassen(std::vector<Abbild>& s) const {
    s.clear();
    auto linie = [&](const Linie& l) {
        const QRectF r = QRectF(QPointF(l.X1, l.Y1) / TWIPS_JE_PIXEL, QPointF(l.X2, l.Y2) / TWIPS_JE_PIXEL)
                             .normalized()
                             .adjusted(0, 0, 1, 1);
        s.push_back({r, ART_LINIE | l.BorderColor, l.Visible});
    };
    linie(m_.Oben);
    linie(m_.Links);
    linie(m_.Rechts);
    linie(m_.Unten);
    auto form = [&](const Form& f) {
        s.push_back({alsPixel(f.Left, f.Top, f.Width, f.Height),
                     (static_cast<uint32_t>(f.Shape) << 24) ^ f.FillColor ^ (f.BorderColor << 1), f.Visible});
    };
    form(m_.Pad);
    for (int i = 1; i < m_.Ball.Grenze(); ++i)
        if (m_.Ball.Existiert(i)) form(m_.Ball(i));
    for (int i = 1; i < m_.Bonus.Grenze(); ++i)
        if (m_.Bonus.Existiert(i)) {
            const Bild& b = m_.Bonus(i);
            s.push_back({alsPixel(b.Left, b.Top, b.Width, b.Height),
                         ART_BILD | static_cast<uint32_t>(static_cast<int>(b.Picture) + 1), b.Visible});
        }
    const Beschriftung& l = m_.lblPunkte;
    s.push_back({alsPixel(l.Left, l.Top, l.Width, l.Height), ART_TEXT | (l.Hinten ? 1u : 0u), l.Visible});
    // Shots come and go all the time: last, so that their number changing
    // does not shift the places of everything else.
    for (int i = 1; i < m_.Schuss.Grenze(); ++i)
        if (m_.Schuss.Existiert(i)) form(m_.Schuss(i));
        else s.push_back({});
}

void Spielfeld::aktualisieren() {
    szeneErfassen(neu_);
    const Beschriftung& l = m_.lblPunkte;
    if (gemalt_.empty() || l.Hinten != labelHinten_) {
        update();
    } else {
        QRegion bereich;
        auto dazu = [&](const Abbild& a) {
            if (a.sichtbar) bereich += a.ort.toAlignedRect().adjusted(-1, -1, 1, 1);
        };
        const Abbild leer{};
        const size_t n = std::max(neu_.size(), gemalt_.size());
        for (size_t i = 0; i < n; ++i) {
            const Abbild& alt = i < gemalt_.size() ? gemalt_[i] : leer;
            const Abbild& jetzt = i < neu_.size() ? neu_[i] : leer;
            if (alt == jetzt) continue;
            dazu(alt);
            dazu(jetzt);
        }
        if (l.Caption != gemalterText_) bereich += alsPixel(l.Left, l.Top, l.Width, l.Height).toAlignedRect();
        if (!bereich.isEmpty()) update(bereich);
    }
    std::swap(gemalt_, neu_);
    gemalterText_ = l.Caption;
    labelHinten_ = l.Hinten;
}

const QPixmap& Spielfeld::formBild(const Form& f, qreal dpr) {
    const int w = static_cast<int>(std::lround(f.Width / TWIPS_JE_PIXEL * dpr));
    const int h = static_cast<int>(std::lround(f.Height / TWIPS_JE_PIXEL * dpr));
    const auto schluessel = std::make_tuple(static_cast<int>(f.Shape), w, h, f.FillColor ^ (f.BorderColor << 1),
                                            static_cast<int>(dpr * 100));
    auto it = formCache_.find(schluessel);
    if (it != formCache_.end()) return it->second;
    QPixmap pm(std::max(w, 1), std::max(h, 1));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r(0, 0, w / dpr, h / dpr);
        p.setBrush(farbe(f.FillColor));
        QPen stift(farbe(f.BorderColor));
        stift.setWidthF(1.0);
        p.setPen(stift);
        const QRectF innen = r.adjusted(0.5, 0.5, -0.5, -0.5);
        switch (f.Shape) {
        case Umriss::Kreis: p.drawEllipse(innen); break;
        case Umriss::AbgerundetesRechteck: {
            const qreal radius = std::min(innen.width(), innen.height()) / 2.0;
            p.drawRoundedRect(innen, radius, radius);
            break;
        }
        default:
            p.setPen(Qt::NoPen);
            p.fillRect(r, farbe(f.FillColor));
        }
    }
    return formCache_.emplace(schluessel, std::move(pm)).first->second;
}

const QPixmap& Spielfeld::motivBild(Motiv m, QSizeF groesse, qreal dpr) {
    const int w = static_cast<int>(std::lround(groesse.width() * dpr));
    const int h = static_cast<int>(std::lround(groesse.height() * dpr));
    const auto schluessel = std::make_tuple(static_cast<int>(m), w, h, static_cast<int>(dpr * 100));
    auto it = motivCache_.find(schluessel);
    if (it != motivCache_.end()) return it->second;
    QPixmap pm(std::max(w, 1), std::max(h, 1));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    const int index = static_cast<int>(m);
    if (index >= 0 && index < 3 && motive_[static_cast<size_t>(index)]->isValid()) {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        // Stretched to the drawable, as the original pictures were.
        motive_[static_cast<size_t>(index)]->setAspectRatioMode(Qt::IgnoreAspectRatio);
        motive_[static_cast<size_t>(index)]->render(&p, QRectF(0, 0, w / dpr, h / dpr));
    }
    return motivCache_.emplace(schluessel, std::move(pm)).first->second;
}

void Spielfeld::zeichnen(QPainter& p, const QRegion& bereich) {
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QColor grund = palette().color(QPalette::Window);
    for (const QRect& r : bereich) p.fillRect(r, grund);
    p.setClipRegion(bereich);
    const QRect grenzen = bereich.boundingRect();

    auto beschriftung = [&] {
        const Beschriftung& l = m_.lblPunkte;
        if (!l.Visible) return;
        const QRectF r = alsPixel(l.Left, l.Top, l.Width, l.Height);
        if (!r.intersects(grenzen)) return;
        // The label is opaque, as labels of the original toolkit are: while it
        // is in front, balls passing under it disappear.
        p.fillRect(r, grund);
        if (l.Caption.empty()) return;
        p.setFont(schrift_);
        p.setPen(palette().color(QPalette::WindowText));
        QString text = QString::fromStdString(l.Caption);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    };
    auto form = [&](const Form& f) {
        if (!f.Visible) return;
        const QRectF r = alsPixel(f.Left, f.Top, f.Width, f.Height);
        if (!r.intersects(grenzen)) return;
        p.drawPixmap(aufGeraetepixel(r.topLeft(), dpr), formBild(f, dpr));
    };
    auto linie = [&](const Linie& l) {
        if (!l.Visible) return;
        // One pixel wide, on whole pixels: walls stay sharp at every scale.
        const QRectF r = QRectF(QPointF(l.X1, l.Y1) / TWIPS_JE_PIXEL, QPointF(l.X2, l.Y2) / TWIPS_JE_PIXEL)
                             .normalized()
                             .adjusted(0, 0, 1, 1);
        p.fillRect(r, farbe(l.BorderColor));
    };

    if (m_.lblPunkte.Hinten) beschriftung();
    linie(m_.Oben);
    linie(m_.Links);
    linie(m_.Rechts);
    linie(m_.Unten);
    form(m_.Pad);
    for (int i = 1; i < m_.Ball.Grenze(); ++i)
        if (m_.Ball.Existiert(i)) form(m_.Ball(i));
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 1; i < m_.Schuss.Grenze(); ++i) {
        if (!m_.Schuss.Existiert(i)) continue;
        const Form& s = m_.Schuss(i);
        if (!s.Visible) continue;
        p.fillRect(alsPixel(s.Left, s.Top, s.Width, s.Height), farbe(s.FillColor));
    }
    for (int i = 1; i < m_.Bonus.Grenze(); ++i) {
        if (!m_.Bonus.Existiert(i)) continue;
        const Bild& b = m_.Bonus(i);
        if (!b.Visible || b.Picture == Motiv::Keins) continue;
        const QRectF r = alsPixel(b.Left, b.Top, b.Width, b.Height);
        if (!r.intersects(grenzen)) continue;
        p.drawPixmap(aufGeraetepixel(r.topLeft(), dpr), motivBild(b.Picture, r.size(), dpr));
    }
    if (!m_.lblPunkte.Hinten) beschriftung();
}

void Spielfeld::paintEvent(QPaintEvent* ereignis) {
    QPainter p(this);
    zeichnen(p, ereignis->region());
}

void Spielfeld::changeEvent(QEvent* ereignis) {
    if (ereignis->type() == QEvent::PaletteChange || ereignis->type() == QEvent::FontChange) update();
    QWidget::changeEvent(ereignis);
}

} // namespace qmb

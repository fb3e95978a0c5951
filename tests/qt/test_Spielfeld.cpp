// The playfield paints the drawables where the model has them, in their
// drawing order, and stays crisp at a device pixel ratio of 2.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "Modell.h"
#include "app/qt/Spielfeld.h"

namespace qmb::test {
namespace {

struct Malen : ::testing::Test {
    Modell mod;
    frmMain& m = mod.m;
    Spielfeld feld{m};

    QImage bild(qreal dpr) {
        QImage b(QSize(426, 482) * dpr, QImage::Format_ARGB32_Premultiplied);
        b.setDevicePixelRatio(dpr);
        b.fill(Qt::magenta); // whatever is not painted shows
        QPainter p(&b);
        feld.zeichnen(p, QRegion(0, 0, 426, 482));
        return b;
    }
    static bool rötlich(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
    static bool bläulich(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60; }
    static bool grund(const QImage& b, QPoint p) { return b.pixel(p) == b.pixel(QPoint(5, b.height() - 5 * b.devicePixelRatio() - 30)); }
};

TEST_F(Malen, BallPadUndWändeAnIhremOrt) {
    m.fraSpielEinstellungen.Visible = false;
    m.Pad.Visible = true;
    m.Ball(7).Visible = true;
    // Clear of the label, which is opaque and in front.
    m.Ball(7).Left = 4500; // centre 4620 twips = 308 px
    m.Ball(7).Top = 3000;  // centre 3120 twips = 208 px
    const QImage b = bild(1);
    EXPECT_FALSE(b.pixel(1, 1) == qRgb(255, 0, 255)) << "the whole field is painted";
    EXPECT_TRUE(rötlich(b.pixel(308, 208)));
    EXPECT_TRUE(rötlich(b.pixel(308 - 6, 208)));
    EXPECT_FALSE(rötlich(b.pixel(308 - 9, 208))); // radius 8 px
    EXPECT_FALSE(rötlich(b.pixel(308, 208 + 9)));
    const QPoint padMitte(static_cast<int>((m.Pad.Left + m.Pad.Width / 2) / 15),
                          static_cast<int>((m.Pad.Top + m.Pad.Height / 2) / 15));
    EXPECT_TRUE(bläulich(b.pixel(padMitte)));
    // The walls are black lines at their twip places.
    const int links = static_cast<int>(m.Links.X1 / 15);
    EXPECT_EQ(b.pixel(links, 200), qRgb(0, 0, 0));
    EXPECT_NE(b.pixel(links + 2, 200), qRgb(0, 0, 0));
}

TEST_F(Malen, DoppelteAuflösungIstScharfUndGlatt) {
    m.fraSpielEinstellungen.Visible = false;
    m.Ball(1).Visible = true;
    m.Ball(1).Left = 4500;
    m.Ball(1).Top = 3000;
    const QImage b = bild(2);
    ASSERT_EQ(b.size(), QSize(852, 964));
    // Radius 16 device pixels now: 15 in is red, 17 out is not.
    EXPECT_TRUE(rötlich(b.pixel(616 - 15, 416)));
    EXPECT_FALSE(rötlich(b.pixel(616 - 17, 416)));
    // Antialiased: along the edge there are mixed colours, not just red and ground.
    int gemischt = 0;
    for (int x = 616 - 18; x < 616 - 8; ++x) {
        const QRgb c = b.pixel(x, 416 + 11);
        gemischt += !rötlich(c) && c != b.pixel(616 - 30, 416);
    }
    EXPECT_GT(gemischt, 0);
}

TEST_F(Malen, LabelVorneVerdecktHintenNicht) {
    m.fraSpielEinstellungen.Visible = false;
    m.lblPunkte.Caption = "Punkte: 1";
    Form& ball = m.Ball(3);
    ball.Visible = true;
    ball.Left = m.lblPunkte.Left + 1200;
    ball.Top = m.lblPunkte.Top + 600;
    const QPoint mitte(static_cast<int>((ball.Left + 120) / 15), static_cast<int>((ball.Top + 120) / 15));
    m.lblPunkte.Hinten = false;
    EXPECT_FALSE(rötlich(bild(1).pixel(mitte))) << "the opaque label in front hides the ball";
    m.lblPunkte.Hinten = true;
    EXPECT_TRUE(rötlich(bild(1).pixel(mitte)));
}

TEST_F(Malen, BonusbilderMitDurchsichtigemGrund) {
    m.fraSpielEinstellungen.Visible = false;
    const QImage leer = bild(2);
    for (Motiv motiv : {Motiv::BonusseBonus, Motiv::BonusMitBall, Motiv::BonusMuni}) {
        Bild& bonus = m.Bonus(2);
        bonus.Visible = true;
        bonus.Picture = motiv;
        bonus.Left = 3000;
        bonus.Top = 3000;
        const QImage b = bild(2);
        // 360 twips = 24 px, 48 device pixels: the motif fills its middle...
        int anders = 0;
        for (int y = 400; y < 448; ++y)
            for (int x = 400; x < 448; ++x) anders += b.pixel(x, y) != leer.pixel(x, y);
        EXPECT_GT(anders, 48 * 48 / 5) << static_cast<int>(motiv);
        // ...and nothing outside it.
        EXPECT_EQ(b.pixel(398, 398), leer.pixel(398, 398));
        EXPECT_EQ(b.pixel(449, 449), leer.pixel(449, 449));
    }
}

} // namespace
} // namespace qmb::test

// One paint of a full playfield (100 balls, 10 bonus pictures, 20 shots and
// the label) into an offscreen image, at scale 1 and 2; and one paint of
// what a single tick changes, which is what the window repaints in play.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "Modell.h"
#include "app/qt/Spielfeld.h"

namespace {

using namespace qmb;
using namespace qmb::test;

struct VollesFeld : Modell {
    Spielfeld feld{m};

    VollesFeld() {
        // Modell loaded every ball and bonus already.
        m.fraSpielEinstellungen.Visible = false;
        m.Pad.Visible = true;
        m.lblPunkte.Caption = "Punkte: 100\r\nRekord: 100\r\nMunition: 250";
        for (int i = 1; i <= 100; ++i) {
            Form& b = m.Ball(i);
            b.Visible = true;
            b.Left = static_cast<float>(480 + (i * 577) % 5400);
            b.Top = static_cast<float>(480 + (i * 911) % 6000);
        }
        for (int i = 1; i <= 10; ++i) {
            Bild& b = m.Bonus(i);
            b.Visible = true;
            b.Picture = static_cast<Motiv>(i % 3);
            b.Left = static_cast<float>(600 + i * 480);
            b.Top = static_cast<float>(2000 + (i * 433) % 3000);
        }
        for (int i = 1; i <= 20; ++i) {
            m.Schuss.Load(i);
            Form& s = m.Schuss(i);
            s.Visible = true;
            s.Left = static_cast<float>(700 + i * 250);
            s.Top = static_cast<float>(1000 + i * 240);
        }
    }
    // Moves everything a little, as a tick does.
    void bewegen(int n) {
        for (int i = 1; i <= 100; ++i) m.Ball(i).Top = static_cast<float>(480 + ((i * 911 + n * 30) % 6000));
        for (int i = 1; i <= 20; ++i) m.Schuss(i).Top = static_cast<float>(1000 + ((i * 240 + 6000 - n * 240) % 6000));
    }
};

void malen(benchmark::State& state, qreal dpr) {
    VollesFeld f;
    QImage bild(QSize(426, 482) * dpr, QImage::Format_ARGB32_Premultiplied);
    bild.setDevicePixelRatio(dpr);
    const QRegion alles(0, 0, 426, 482);
    f.feld.aktualisieren();
    {
        QPainter p(&bild);
        f.feld.zeichnen(p, alles);
    } // the picture caches fill once, as on screen
    int n = 0;
    for (auto _ : state) {
        f.bewegen(++n);
        f.feld.aktualisieren();
        QPainter p(&bild);
        f.feld.zeichnen(p, alles);
        p.end();
        benchmark::DoNotOptimize(bild.constBits());
    }
}

void BM_VollesFeld_Maßstab1(benchmark::State& s) { malen(s, 1); }
void BM_VollesFeld_Maßstab2(benchmark::State& s) { malen(s, 2); }
BENCHMARK(BM_VollesFeld_Maßstab1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VollesFeld_Maßstab2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

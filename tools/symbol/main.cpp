// quambel_symbol: renders the program's SVG icon to the PNG sizes of the
// icon theme, at build time, so that only the SVG lives in the repository.
//
//   quambel_symbol ICON.svg OUTDIR SIZE [SIZE ...]   → OUTDIR/SIZE/quambel.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "Aufruf: quambel_symbol ICON.svg AUSGABEORDNER GRÖSSE...\n");
        return 2;
    }
    // No display is needed to paint into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "quambel_symbol: %s ist kein lesbares SVG\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int größe = std::atoi(argv[i]);
        if (größe <= 0 || größe > 4096) {
            std::fprintf(stderr, "quambel_symbol: ungültige Größe %s\n", argv[i]);
            return 2;
        }
        QImage bild(größe, größe, QImage::Format_ARGB32_Premultiplied);
        bild.fill(Qt::transparent);
        {
            QPainter p(&bild);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            svg.render(&p, QRectF(0, 0, größe, größe));
        }
        const QString ordner = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/') + QString::number(größe);
        const QString datei = ordner + QStringLiteral("/quambel.png");
        if (!QDir().mkpath(ordner) || !bild.save(datei, "PNG")) {
            std::fprintf(stderr, "quambel_symbol: %s kann nicht geschrieben werden\n", qPrintable(datei));
            return 1;
        }
    }
    return 0;
}

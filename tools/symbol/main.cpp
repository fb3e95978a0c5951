// quambel_symbol: renders the program's SVG icon to the PNG sizes of the
// icon theme, at build time, so that only the SVG lives in the repository.
//
//   quambel_symbol ICON.svg NAME OUTDIR SIZE [SIZE ...]   → OUTDIR/SIZE/NAME.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "Aufruf: quambel_symbol ICON.svg NAME AUSGABEORDNER GRÖSSE...\n");
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
    for (int i = 4; i < argc; ++i) {
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
        const QString ordner = QString::fromLocal8Bit(argv[3]) + QLatin1Char('/') + QString::number(größe);
        const QString datei = ordner + QLatin1Char('/') + QString::fromLocal8Bit(argv[2]) + QStringLiteral(".png");
        if (!QDir().mkpath(ordner) || !bild.save(datei, "PNG")) {
            std::fprintf(stderr, "quambel_symbol: %s kann nicht geschrieben werden\n", qPrintable(datei));
            return 1;
        }
    }
    return 0;
}

// Renders one SVG picture into a raster file of a given size; the build uses it for every picture.
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: svgrender <in.svg> <out> <width> <height> <png|jpg>\n");
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svgrender: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QSize size(args.at(3).toInt(), args.at(4).toInt());
    const QByteArray format = args.at(5).toLatin1();
    const bool opaque = format == "jpg";
    QImage image(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(QPointF(0, 0), size));
    }
    QImageWriter writer(args.at(2), format);
    if (opaque)
        writer.setQuality(92);
    if (!writer.write(image)) {
        std::fprintf(stderr, "svgrender: cannot write %s: %s\n", qPrintable(args.at(2)),
                     qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}

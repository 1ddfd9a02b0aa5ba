#include "Annotation.h"

#include "ProgramFont.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>

namespace {

// The value for a thin, medium or thick mark; sizes out of range count as the nearest one.
qreal bySize(int size, const std::array<qreal, Annotation::kSizeCount> &values)
{
    return values[std::size_t(qBound(0, size, Annotation::kSizeCount - 1))];
}

QRectF corners(const Annotation &a)
{
    return QRectF(a.points.first(), a.points.last()).normalized();
}

// A stroke; a click without a move leaves a round dot of the stroke's width.
void paintStroke(QPainter &painter, const QList<QPointF> &points, const QColor &color, qreal width)
{
    QPainterPath path(points.first());
    for (const QPointF &p : points)
        path.lineTo(p);
    if (path.boundingRect().isNull()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(points.first(), width / 2, width / 2);
        return;
    }
    // One path in one stroke: where it crosses itself a translucent ink is not laid twice.
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

// Each block of the area takes the mean colour of its pixels.
void paintMosaic(QPainter &painter, const Annotation &a, const QImage &picture)
{
    const qreal ratio = picture.devicePixelRatio();
    const QRectF logical = corners(a) & QRectF(QPointF(0, 0), picture.deviceIndependentSize());
    const QRect pixels = QRectF(logical.topLeft() * ratio, logical.size() * ratio).toAlignedRect()
                         & picture.rect();
    if (pixels.isEmpty())
        return;
    const int block = qMax(2, int(std::lround(AnnotationPainter::mosaicBlock(a.size) * ratio)));
    QImage tile = picture.copy(pixels).convertToFormat(QImage::Format_RGB32);
    for (int top = 0; top < tile.height(); top += block) {
        for (int left = 0; left < tile.width(); left += block) {
            const QRect cell = QRect(left, top, block, block) & tile.rect();
            qint64 r = 0, g = 0, b = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                const auto *line = reinterpret_cast<const QRgb *>(tile.constScanLine(y));
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    r += qRed(line[x]);
                    g += qGreen(line[x]);
                    b += qBlue(line[x]);
                }
            }
            const qint64 n = qint64(cell.width()) * cell.height();
            const QRgb mean = qRgb(int(r / n), int(g / n), int(b / n));
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(tile.scanLine(y));
                std::fill(line + cell.left(), line + cell.right() + 1, mean);
            }
        }
    }
    tile.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(pixels.topLeft()) / ratio, tile);
}

void paintArrow(QPainter &painter, const Annotation &a)
{
    const QLineF line(a.points.first(), a.points.last());
    const qreal width = AnnotationPainter::lineWidth(a.size);
    const qreal head = qMin(line.length(), 8 + 3 * width);
    const QLineF back = QLineF(line.p2(), line.p1());
    QLineF side = back;
    side.setLength(head);
    side.setAngle(back.angle() + 25);
    const QPointF left = side.p2();
    side.setAngle(back.angle() - 25);
    const QPointF right = side.p2();
    // The shaft stops inside the head, so its square end never shows beside the point.
    QLineF shaft = line;
    shaft.setLength(qMax(0.0, line.length() - head * 0.8));
    painter.setPen(QPen(a.color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    if (shaft.length() > 0)
        painter.drawLine(shaft);
    painter.setPen(Qt::NoPen);
    painter.setBrush(a.color);
    painter.drawPolygon(QPolygonF{line.p2(), left, right});
}

void paintMarker(QPainter &painter, const Annotation &a)
{
    const qreal diameter = AnnotationPainter::markerDiameter(a.size);
    const QRectF disc(a.points.first() - QPointF(diameter, diameter) / 2, QSizeF(diameter, diameter));
    painter.setPen(Qt::NoPen);
    painter.setBrush(a.color);
    painter.drawEllipse(disc);
    QFont font = AnnotationPainter::textFont(0);
    font.setBold(true);
    font.setPixelSize(qRound(diameter * 0.6));
    painter.setFont(font);
    // Dark digits on light colours, white on the others.
    painter.setPen(qGray(a.color.rgb()) > 170 ? Qt::black : Qt::white);
    painter.drawText(disc, Qt::AlignCenter, QString::number(a.number));
}

} // namespace

bool Annotation::isEmpty() const
{
    if (points.isEmpty())
        return true;
    switch (kind) {
    case Rectangle:
    case Ellipse:
    case Mosaic: {
        const QRectF r = corners(*this);
        return r.width() < 1 || r.height() < 1;
    }
    case Arrow:
        return QLineF(points.first(), points.last()).length() < 1;
    case Text:
        return text.trimmed().isEmpty();
    case Pen:
    case Highlighter:
    case Marker:
        return false;
    }
    return true;
}

namespace AnnotationPainter {

qreal lineWidth(int size)
{
    return bySize(size, {2, 4, 8});
}

qreal highlighterWidth(int size)
{
    return bySize(size, {10, 16, 24});
}

qreal mosaicBlock(int size)
{
    return bySize(size, {6, 10, 16});
}

qreal markerDiameter(int size)
{
    return bySize(size, {20, 26, 34});
}

QFont textFont(int size)
{
    QFont font = ProgramFont::sans();
    font.setPixelSize(int(bySize(size, {16, 22, 30})));
    return font;
}

void paint(QPainter &painter, const Annotation &a, const QImage &picture)
{
    if (a.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setBrush(Qt::NoBrush);
    switch (a.kind) {
    case Annotation::Rectangle:
        painter.setPen(QPen(a.color, lineWidth(a.size), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(corners(a));
        break;
    case Annotation::Ellipse:
        painter.setPen(QPen(a.color, lineWidth(a.size)));
        painter.drawEllipse(corners(a));
        break;
    case Annotation::Arrow:
        paintArrow(painter, a);
        break;
    case Annotation::Pen:
        paintStroke(painter, a.points, a.color, lineWidth(a.size));
        break;
    case Annotation::Highlighter: {
        QColor ink = a.color;
        ink.setAlpha(110);
        paintStroke(painter, a.points, ink, highlighterWidth(a.size));
        break;
    }
    case Annotation::Text:
        painter.setPen(a.color);
        painter.setFont(textFont(a.size));
        painter.drawText(QRectF(a.points.first(), QSizeF(1e5, 1e5)),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, a.text);
        break;
    case Annotation::Mosaic:
        paintMosaic(painter, a, picture);
        break;
    case Annotation::Marker:
        paintMarker(painter, a);
        break;
    }
    painter.restore();
}

QImage render(const QImage &picture, const QList<Annotation> &annotations)
{
    // Painted in place on screen pictures (no alpha); only a picture with alpha keeps it.
    QImage result = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                      : QImage::Format_RGB32);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    if (result.isNull())
        return result;
    for (const Annotation &a : annotations) {
        // Painted one at a time, so a mosaic covers the marks made before it.
        QPainter painter(&result);
        painter.setClipRect(QRectF(QPointF(0, 0), result.deviceIndependentSize()));
        paint(painter, a, result);
    }
    return result;
}

} // namespace AnnotationPainter

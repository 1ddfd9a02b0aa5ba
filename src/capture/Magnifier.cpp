#include "Magnifier.h"

#include "ProgramFont.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace Magnifier {

namespace {

constexpr int kZoomSide = kCells * kCellSize;
constexpr int kTextHeight = 54;
constexpr int kGap = 20;

QFont readoutFont()
{
    QFont font = ProgramFont::sans();
    font.setPixelSize(12);
    return font;
}

} // namespace

QPoint pixelAt(const QImage &picture, const QPoint &logical)
{
    const qreal ratio = picture.devicePixelRatio();
    return QPoint(int(std::floor(logical.x() * ratio)), int(std::floor(logical.y() * ratio)));
}

QColor colorAt(const QImage &picture, const QPoint &logical)
{
    const QPoint p = pixelAt(picture, logical);
    if (!picture.valid(p))
        return QColor();
    return QColor(picture.pixel(p)).toRgb();
}

QString rgbText(const QColor &color)
{
    return u"RGB(%1, %2, %3)"_s.arg(color.red()).arg(color.green()).arg(color.blue());
}

QString hexText(const QColor &color)
{
    return color.name(QColor::HexRgb).toUpper();
}

QRect geometry(const QPoint &cursor, const QRect &bounds)
{
    QRect box(cursor + QPoint(kGap, kGap), QSize(kZoomSide, kZoomSide + kTextHeight));
    if (box.right() > bounds.right())
        box.moveRight(cursor.x() - kGap);
    if (box.bottom() > bounds.bottom())
        box.moveBottom(cursor.y() - kGap);
    // A screen smaller than the loupe: keep its top-left corner on the screen.
    if (box.left() < bounds.left())
        box.moveLeft(bounds.left());
    if (box.top() < bounds.top())
        box.moveTop(bounds.top());
    return box;
}

void paint(QPainter &painter, const QImage &picture, const QPoint &cursor, const QRect &bounds)
{
    const QRect box = geometry(cursor, bounds);
    const QRect zoom(box.topLeft(), QSize(kZoomSide, kZoomSide));
    const QPoint centre = pixelAt(picture, cursor);
    // Pixels beyond the picture's edge come out transparent and show as black.
    const QImage cells = picture.copy(QRect(centre - QPoint(kCells / 2, kCells / 2), QSize(kCells, kCells)));

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, QColor(0, 0, 0, 200));
    QImage square = cells;
    square.setDevicePixelRatio(1);
    painter.drawImage(QRectF(zoom), square, QRectF(square.rect()));

    // Cross-hair: a translucent band through the middle row and column, the middle cell itself
    // left clear (its colour is the one read out) and outlined.
    const int middle = kCells / 2 * kCellSize;
    const QColor band(40, 150, 255, 90);
    painter.fillRect(QRect(zoom.left(), zoom.top() + middle, middle, kCellSize), band);
    painter.fillRect(QRect(zoom.left() + middle + kCellSize, zoom.top() + middle, middle, kCellSize), band);
    painter.fillRect(QRect(zoom.left() + middle, zoom.top(), kCellSize, middle), band);
    painter.fillRect(QRect(zoom.left() + middle, zoom.top() + middle + kCellSize, kCellSize, middle), band);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(zoom.left() + middle, zoom.top() + middle, kCellSize - 1, kCellSize - 1));
    painter.setPen(QPen(QColor(78, 153, 210), 1));
    painter.drawRect(box.adjusted(0, 0, -1, -1));

    const QColor color = colorAt(picture, cursor);
    const QStringList lines = {
        u"(%1, %2)"_s.arg(centre.x()).arg(centre.y()),
        color.isValid() ? rgbText(color) : QString(),
        color.isValid() ? hexText(color) + u"  C 复制"_s : QString(),
    };
    painter.setFont(readoutFont());
    painter.setPen(Qt::white);
    const int lineHeight = kTextHeight / 3;
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(QRect(box.left() + 6, zoom.bottom() + 1 + i * lineHeight, kZoomSide - 8, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, lines.at(i));
    }
    if (color.isValid()) {
        // Beside the hex value, the colour itself.
        const QRect swatch(box.right() - 18, zoom.bottom() + 1 + 2 * lineHeight + 3, 12, lineHeight - 6);
        painter.fillRect(swatch, color);
        painter.setPen(Qt::white);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

} // namespace Magnifier

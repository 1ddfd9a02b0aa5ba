// The loupe beside the cursor: the pixels around it enlarged, a cross-hair, position and colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace Magnifier {

// Physical pixels shown across and down (odd, so one sits in the middle) and their enlarged side.
constexpr int kCells = 17;
constexpr int kCellSize = 8;

// The physical pixel of picture under the logical point (picture's device pixel ratio applies).
QPoint pixelAt(const QImage &picture, const QPoint &logical);
// The colour of that pixel; invalid outside the picture.
QColor colorAt(const QImage &picture, const QPoint &logical);
// "RGB(12, 34, 56)"
QString rgbText(const QColor &color);
// "#0C2238", also what the C key copies.
QString hexText(const QColor &color);
// Where the loupe goes for the cursor: below right of it, or on another side when bounds (the
// cursor's screen) has no room there.
QRect geometry(const QPoint &cursor, const QRect &bounds);
// Paints the loupe for the cursor; picture is the whole desktop in the painter's coordinates.
void paint(QPainter &painter, const QImage &picture, const QPoint &cursor, const QRect &bounds);

} // namespace Magnifier

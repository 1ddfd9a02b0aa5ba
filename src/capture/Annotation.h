// One mark drawn on a capture (shape, stroke, text, mosaic or step number) and how it is painted.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

struct Annotation
{
    enum Kind { Rectangle, Ellipse, Arrow, Pen, Highlighter, Text, Mosaic, Marker };
    static constexpr int kKindCount = Marker + 1;
    static constexpr int kSizeCount = 3;

    Kind kind = Rectangle;
    QColor color = Qt::red;
    // 0 thin, 1 medium, 2 thick: the line width, text size, mosaic block or marker size.
    int size = 1;
    // In the selection's logical coordinates: two corners (shapes, arrow tail and head, mosaic),
    // the stroke (pen, highlighter), or one point (text top-left, marker centre).
    QList<QPointF> points;
    QString text;
    // The step number of a marker.
    int number = 0;

    // True when painting it would show nothing: a shape without area, an arrow without length,
    // a text of blanks, a stroke or marker without a point.
    bool isEmpty() const;
};

namespace AnnotationPainter {

qreal lineWidth(int size);
qreal highlighterWidth(int size);
qreal mosaicBlock(int size);
qreal markerDiameter(int size);
// The font of text annotations (and of the editor that types them).
QFont textFont(int size);

// Paints a on painter, whose coordinates are the selection's. picture is what lies under it at full
// resolution, with its device pixel ratio set; a mosaic is made from its pixels.
void paint(QPainter &painter, const Annotation &a, const QImage &picture);
// picture with the annotations painted over it in order, at picture's full resolution; nothing is
// painted outside it.
QImage render(const QImage &picture, const QList<Annotation> &annotations);

} // namespace AnnotationPainter

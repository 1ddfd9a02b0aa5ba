// Moving and resizing a capture selection: its eight handles, dragging and nudging with the keys.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace SelectionGeometry {

enum Handle { None, TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left, Inside };

// Side of the square handles, in logical pixels.
constexpr int kHandleSize = 7;

// The eight handle squares, in the order of Handle from TopLeft to Left.
QList<QRect> handleRects(const QRect &selection);
// What a press at point takes hold of: a handle, the inside, or nothing.
Handle hit(const QRect &selection, const QPoint &point);
// The selection after dragging handle by delta from start: Inside moves it, a handle moves its
// edges (crossing over the opposite edge flips it). The result is at least 1x1 and within bounds.
QRect dragged(const QRect &start, Handle handle, const QPoint &delta, const QRect &bounds);
// The selection after an arrow key: moved by one pixel, or with resize its right or bottom edge
// moved by one pixel (never below 1x1); kept within bounds. Other keys leave it as it is.
QRect nudged(const QRect &selection, int key, bool resize, const QRect &bounds);
// The cursor that shows what a press on handle does.
Qt::CursorShape cursorFor(Handle handle);

} // namespace SelectionGeometry

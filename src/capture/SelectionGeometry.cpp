#include "SelectionGeometry.h"

namespace SelectionGeometry {

namespace {

// Edges as positions between pixels: right and bottom one past the last pixel.
struct Edges
{
    int left, top, right, bottom;

    static Edges of(const QRect &r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }
    QRect rect() const
    {
        return QRect(QPoint(qMin(left, right), qMin(top, bottom)),
                     QPoint(qMax(left, right) - 1, qMax(top, bottom) - 1));
    }
};

QRect keptInside(QRect r, const QRect &bounds)
{
    r = r & bounds;
    if (r.width() < 1 || r.height() < 1) {
        // Squeezed away at an edge: one pixel stays, on the nearest edge.
        const QPoint corner(qBound(bounds.left(), r.left(), bounds.right()),
                            qBound(bounds.top(), r.top(), bounds.bottom()));
        r = QRect(corner, QSize(qMax(1, r.width()), qMax(1, r.height()))) & bounds;
    }
    return r;
}

QRect movedInside(QRect r, const QRect &bounds)
{
    r.setSize(r.size().boundedTo(bounds.size()));
    if (r.left() < bounds.left())
        r.moveLeft(bounds.left());
    if (r.right() > bounds.right())
        r.moveRight(bounds.right());
    if (r.top() < bounds.top())
        r.moveTop(bounds.top());
    if (r.bottom() > bounds.bottom())
        r.moveBottom(bounds.bottom());
    return r;
}

// An edge dragged onto the opposite one stops one pixel short of it, on the side it came from.
int apart(int moving, int fixed, int side)
{
    return moving == fixed ? fixed + side : moving;
}

} // namespace

QList<QRect> handleRects(const QRect &s)
{
    const Edges e = Edges::of(s);
    const int midX = (e.left + e.right) / 2;
    const int midY = (e.top + e.bottom) / 2;
    const QList<QPoint> centres = {{e.left, e.top}, {midX, e.top}, {e.right, e.top}, {e.right, midY},
                                   {e.right, e.bottom}, {midX, e.bottom}, {e.left, e.bottom}, {e.left, midY}};
    QList<QRect> rects;
    for (const QPoint &c : centres)
        rects.append(QRect(c - QPoint(kHandleSize / 2, kHandleSize / 2), QSize(kHandleSize, kHandleSize)));
    return rects;
}

Handle hit(const QRect &selection, const QPoint &point)
{
    if (selection.isEmpty())
        return None;
    const QList<QRect> rects = handleRects(selection);
    for (int i = 0; i < rects.size(); ++i) {
        // One pixel of slack around each square makes them easier to catch.
        if (rects.at(i).adjusted(-1, -1, 1, 1).contains(point))
            return Handle(TopLeft + i);
    }
    return selection.contains(point) ? Inside : None;
}

QRect dragged(const QRect &start, Handle handle, const QPoint &delta, const QRect &bounds)
{
    if (handle == None || start.isEmpty() || bounds.isEmpty())
        return start;
    if (handle == Inside)
        return movedInside(start.translated(delta), bounds);
    Edges e = Edges::of(start);
    const Edges s = e;
    if (handle == TopLeft || handle == Left || handle == BottomLeft)
        e.left = apart(s.left + delta.x(), s.right, -1);
    if (handle == TopRight || handle == Right || handle == BottomRight)
        e.right = apart(s.right + delta.x(), s.left, 1);
    if (handle == TopLeft || handle == Top || handle == TopRight)
        e.top = apart(s.top + delta.y(), s.bottom, -1);
    if (handle == BottomLeft || handle == Bottom || handle == BottomRight)
        e.bottom = apart(s.bottom + delta.y(), s.top, 1);
    return keptInside(e.rect(), bounds);
}

QRect nudged(const QRect &selection, int key, bool resize, const QRect &bounds)
{
    if (selection.isEmpty())
        return selection;
    QPoint step;
    switch (key) {
    case Qt::Key_Left: step = {-1, 0}; break;
    case Qt::Key_Right: step = {1, 0}; break;
    case Qt::Key_Up: step = {0, -1}; break;
    case Qt::Key_Down: step = {0, 1}; break;
    default: return selection;
    }
    if (!resize)
        return movedInside(selection.translated(step), bounds);
    QRect r = selection;
    r.setWidth(qMax(1, r.width() + step.x()));
    r.setHeight(qMax(1, r.height() + step.y()));
    return keptInside(r, bounds);
}

Qt::CursorShape cursorFor(Handle handle)
{
    switch (handle) {
    case TopLeft:
    case BottomRight: return Qt::SizeFDiagCursor;
    case TopRight:
    case BottomLeft: return Qt::SizeBDiagCursor;
    case Top:
    case Bottom: return Qt::SizeVerCursor;
    case Left:
    case Right: return Qt::SizeHorCursor;
    case Inside: return Qt::SizeAllCursor;
    case None: break;
    }
    return Qt::ArrowCursor;
}

} // namespace SelectionGeometry

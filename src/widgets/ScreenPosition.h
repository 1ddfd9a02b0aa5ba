// Screen positions of points in widgets, taken from the window's geometry.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QWidget>

// QWidget::mapToGlobal and mapFromGlobal go through the platform window's own idea of where it is,
// which on some X11 window managers stays at 0,0 for a while after a hidden window is shown again;
// the window's geometry is right at once. Popups and hit tests use these instead.
namespace ScreenPosition {

// The screen position of a point given in widget coordinates.
inline QPoint toScreen(const QWidget *widget, const QPoint &pos)
{
    const QWidget *window = widget->window();
    return window->geometry().topLeft() + widget->mapTo(window, pos);
}

// The point of the widget's window (in window coordinates) at a screen position.
inline QPoint toWindow(const QWidget *widget, const QPoint &globalPos)
{
    return globalPos - widget->window()->geometry().topLeft();
}

// Where a window with the given frame goes so that the user can reach it: onto the screen area it
// overlaps most (the first area when it overlaps none), pushed inside it; a window larger than the
// area keeps its top-left corner on it. Areas are the screens' available geometries.
inline QPoint keepOnScreens(const QRect &window, const QList<QRect> &areas)
{
    if (areas.isEmpty())
        return window.topLeft();
    QRect area = areas.first();
    qint64 best = -1;
    for (const QRect &candidate : areas) {
        const QRect overlap = candidate.intersected(window);
        const qint64 size = overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
        if (size > best) {
            best = size;
            area = candidate;
        }
    }
    const int x = qMax(area.left(), qMin(window.left(), area.right() + 1 - window.width()));
    const int y = qMax(area.top(), qMin(window.top(), area.bottom() + 1 - window.height()));
    return {x, y};
}

// The top-left corner that centres a window of size in area.
inline QPoint centredIn(const QRect &area, const QSize &size)
{
    return area.center() - QPoint(size.width() / 2, size.height() / 2);
}

// The top-left corner that centres a window of size over owner's window. Dialogs are placed by
// hand: Qt centres them through the owner's mapToGlobal (see above).
inline QPoint centredOver(const QWidget *owner, const QSize &size)
{
    return centredIn(owner->window()->frameGeometry(), size);
}

// keepOnScreens with the available geometries of the screens connected now.
QPoint keepOnScreens(const QRect &window);

} // namespace ScreenPosition

// Screen positions of points in widgets, taken from the window's geometry.
#pragma once

#include <QPoint>
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

} // namespace ScreenPosition

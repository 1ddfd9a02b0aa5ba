#include "ScreenPosition.h"

#include <QGuiApplication>
#include <QScreen>

QPoint ScreenPosition::keepOnScreens(const QRect &window)
{
    QList<QRect> areas;
    // The primary screen first: a window that is on no screen at all goes there.
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas.append(screen->availableGeometry());
    }
    return keepOnScreens(window, areas);
}

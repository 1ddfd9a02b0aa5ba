#include "DesktopGrab.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace DesktopGrab {

QRect virtualGeometry()
{
    QRect area;
    for (QScreen *screen : QGuiApplication::screens())
        area |= screen->geometry();
    return area;
}

QList<QRect> screenGeometries()
{
    QList<QRect> rects;
    for (QScreen *screen : QGuiApplication::screens())
        rects.append(screen->geometry());
    return rects;
}

QPixmap grabAll()
{
    QList<ScreenShot> shots;
    for (QScreen *screen : QGuiApplication::screens()) {
        QPixmap pixmap = screen->grabWindow(0);
        if (pixmap.isNull())
            continue;
        // Platforms disagree on whether the grab carries the ratio; derive it from the sizes.
        const QRect geometry = screen->geometry();
        if (geometry.width() > 0)
            pixmap.setDevicePixelRatio(qreal(pixmap.width()) / geometry.width());
        shots.append({geometry, pixmap});
    }
    return compose(shots, virtualGeometry());
}

QPixmap compose(const QList<ScreenShot> &shots, const QRect &area)
{
    if (area.isEmpty())
        return QPixmap();
    // One screen filling the area is returned untouched, pixel for pixel.
    if (shots.size() == 1 && shots.first().geometry == area)
        return shots.first().pixmap;

    qreal ratio = 1;
    for (const ScreenShot &shot : shots)
        ratio = qMax(ratio, shot.pixmap.devicePixelRatio());
    const QRect pixels = toPixels(QRect(QPoint(0, 0), area.size()), ratio);
    QPixmap result(pixels.size());
    result.fill(Qt::black);
    result.setDevicePixelRatio(ratio);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const ScreenShot &shot : shots)
        painter.drawPixmap(QRectF(shot.geometry.translated(-area.topLeft())), shot.pixmap,
                           QRectF(shot.pixmap.rect()));
    return result;
}

QRect toPixels(const QRect &rect, qreal devicePixelRatio)
{
    const auto px = [devicePixelRatio](int v) { return int(std::lround(v * devicePixelRatio)); };
    const int left = px(rect.x());
    const int top = px(rect.y());
    return QRect(left, top, px(rect.x() + rect.width()) - left, px(rect.y() + rect.height()) - top);
}

} // namespace DesktopGrab

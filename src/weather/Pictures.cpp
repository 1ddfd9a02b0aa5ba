#include "Pictures.h"

#include <QWidget>

QPixmap fitPicture(const QPixmap &pixmap, const QWidget *target)
{
    if (pixmap.isNull() || target->size().isEmpty())
        return pixmap;
    const qreal ratio = target->devicePixelRatioF();
    QPixmap fitted = pixmap.scaled(target->size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(ratio);
    return fitted;
}

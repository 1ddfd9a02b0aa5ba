#include "FileIcon.h"

#include "FileIconBody.h"

#include <QDir>
#include <QFileInfo>

namespace FileIcon {

QPixmap detail::largePixmap(const QIcon &icon)
{
    return icon.isNull() ? QPixmap() : icon.pixmap(QSize(32, 32));
}

QPixmap iconByName(const QString &nameOrPath)
{
    if (nameOrPath.isEmpty())
        return QPixmap();
    if (QDir::isAbsolutePath(nameOrPath))
        return QFileInfo(nameOrPath).isFile() ? detail::largePixmap(QIcon(nameOrPath)) : QPixmap();
    QString name = nameOrPath;
    // Some entries name the icon with an extension, which theme lookup does not expect.
    for (const char *suffix : {".png", ".svg", ".xpm"}) {
        if (name.endsWith(QLatin1String(suffix)))
            name.chop(4);
    }
    QPixmap pixmap = detail::largePixmap(QIcon::fromTheme(name));
    if (pixmap.isNull()) {
        const QString file = detail::iconFileOutsideTheme(name);
        if (!file.isEmpty())
            pixmap = detail::largePixmap(QIcon(file));
    }
    return pixmap;
}

} // namespace FileIcon

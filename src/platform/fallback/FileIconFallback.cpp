// Systems with no icon facility of their own beyond what Qt's file icon provider knows.
#include "FileIcon.h"

#include "FileIconBody.h"

#include <QAbstractFileIconProvider>
#include <QFileInfo>

namespace FileIcon {

QString detail::iconFileOutsideTheme(const QString &)
{
    return QString();
}

QPixmap firstLargeIcon(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QPixmap();
    static const QAbstractFileIconProvider provider;
    return detail::largePixmap(provider.icon(info));
}

} // namespace FileIcon

// The icon the desktop shows for a file, program or launcher entry.
#pragma once

#include <QPixmap>
#include <QString>

namespace FileIcon {

// The file's first large (32 x 32) icon, or a null pixmap when it has none.
// Windows: the first icon resource of the file. Elsewhere: a launcher entry's Icon, a theme
// icon named after an executable, or the icon theme's picture for the file's type.
QPixmap firstLargeIcon(const QString &path);

// The picture a launcher entry's Icon value names (theme name or absolute path), or null.
QPixmap iconByName(const QString &nameOrPath);

} // namespace FileIcon

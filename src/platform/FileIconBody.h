// What FileIcon's common part asks of the body for this system (platform-internal).
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace FileIcon::detail {

// The icon at the size firstLargeIcon() promises, or null for a null icon.
QPixmap largePixmap(const QIcon &icon);

// A picture file for an icon name the theme does not know, or an empty string.
QString iconFileOutsideTheme(const QString &name);

} // namespace FileIcon::detail

// Windows body: the first icon resource of the file.
#include "FileIcon.h"

#include "FileIconBody.h"

#include <QDir>
#include <QImage>

#include <string>

#include <qt_windows.h>
#include <shellapi.h>

namespace FileIcon {

QString detail::iconFileOutsideTheme(const QString &)
{
    return QString();
}

QPixmap firstLargeIcon(const QString &path)
{
    HICON large = nullptr;
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    if (ExtractIconExW(native.c_str(), 0, &large, nullptr, 1) == 0 || !large)
        return QPixmap();
    const QPixmap pixmap = QPixmap::fromImage(QImage::fromHICON(large));
    DestroyIcon(large);
    return pixmap;
}

} // namespace FileIcon

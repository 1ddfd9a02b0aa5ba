#include "FileIcon.h"

#include "DesktopEntry.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QImage>
#include <qt_windows.h>
#include <shellapi.h>
#endif

namespace {

const QSize kLargeIcon(32, 32);

QPixmap toPixmap(const QIcon &icon)
{
    return icon.isNull() ? QPixmap() : icon.pixmap(kLargeIcon);
}

#ifndef Q_OS_WIN
// Programs that ship no theme icon often drop one into the legacy pixmaps folders.
QString legacyPixmap(const QString &name)
{
    const QStringList dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &dir : dataDirs) {
        for (const char *suffix : {".png", ".svg", ".xpm"}) {
            const QString candidate = dir + QStringLiteral("/pixmaps/") + name + QLatin1String(suffix);
            if (QFileInfo(candidate).isFile())
                return candidate;
        }
    }
    return QString();
}

// A bare X session leaves Qt on "hicolor", which holds application icons only; a common full
// theme, when installed, supplies the folder and document pictures.
void ensureFallbackTheme()
{
    static bool checked = false;
    if (checked)
        return;
    checked = true;
    const QString hicolor = QStringLiteral("hicolor");
    const QString theme = QIcon::themeName();
    const QString fallback = QIcon::fallbackThemeName();
    if ((!theme.isEmpty() && theme != hicolor) || (!fallback.isEmpty() && fallback != hicolor))
        return;
    const QStringList searchPaths = QIcon::themeSearchPaths();
    for (const char *name : {"Adwaita", "breeze", "gnome", "oxygen", "Tango"}) {
        for (const QString &dir : searchPaths) {
            if (QFileInfo::exists(dir + u'/' + QLatin1String(name) + QStringLiteral("/index.theme"))) {
                QIcon::setFallbackThemeName(QLatin1String(name));
                // Qt keeps the themes it has read (the style looks a few icons up at start-up),
                // each with the fallback of that moment as its parent; setting the search paths
                // again makes it read them anew with the new fallback.
                QIcon::setThemeSearchPaths(searchPaths);
                return;
            }
        }
    }
}

bool isProgram(const QFileInfo &info)
{
    return info.isFile() && info.isExecutable();
}
#endif

} // namespace

namespace FileIcon {

QPixmap iconByName(const QString &nameOrPath)
{
    if (nameOrPath.isEmpty())
        return QPixmap();
    if (QDir::isAbsolutePath(nameOrPath))
        return QFileInfo(nameOrPath).isFile() ? toPixmap(QIcon(nameOrPath)) : QPixmap();
    QString name = nameOrPath;
    // Some entries name the icon with an extension, which theme lookup does not expect.
    for (const char *suffix : {".png", ".svg", ".xpm"}) {
        if (name.endsWith(QLatin1String(suffix)))
            name.chop(4);
    }
    QPixmap pixmap = toPixmap(QIcon::fromTheme(name));
#ifndef Q_OS_WIN
    if (pixmap.isNull()) {
        const QString legacy = legacyPixmap(name);
        if (!legacy.isEmpty())
            pixmap = toPixmap(QIcon(legacy));
    }
#endif
    return pixmap;
}

#ifdef Q_OS_WIN

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

#else

QPixmap firstLargeIcon(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QPixmap();
    ensureFallbackTheme();
    if (info.isFile() && DesktopEntries::isDesktopFile(path)) {
        const DesktopEntry entry = DesktopEntries::read(path);
        if (entry.valid) {
            const QPixmap pixmap = iconByName(entry.icon);
            if (!pixmap.isNull())
                return pixmap;
        }
    }
    if (isProgram(info)) {
        // Installed programs usually ship a theme icon under their own name.
        const QPixmap pixmap = toPixmap(QIcon::fromTheme(info.fileName()));
        if (!pixmap.isNull())
            return pixmap;
    }
    if (info.isFile()) {
        static const QMimeDatabase mimeDatabase;
        const QMimeType mime = mimeDatabase.mimeTypeForFile(info);
        for (const QString &name : {mime.iconName(), mime.genericIconName()}) {
            const QPixmap pixmap = toPixmap(QIcon::fromTheme(name));
            if (!pixmap.isNull())
                return pixmap;
        }
    }
    static const QAbstractFileIconProvider provider;
    return toPixmap(provider.icon(info));
}

#endif

} // namespace FileIcon

// Freedesktop body: launcher entries, icon themes and the legacy pixmaps folders.
#include "FileIcon.h"

#include "DesktopEntry.h"
#include "FileIconBody.h"

#include <QAbstractFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace {

using FileIcon::detail::largePixmap;

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

} // namespace

namespace FileIcon {

// Programs that ship no theme icon often drop one into the legacy pixmaps folders.
QString detail::iconFileOutsideTheme(const QString &name)
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
        const QPixmap pixmap = largePixmap(QIcon::fromTheme(info.fileName()));
        if (!pixmap.isNull())
            return pixmap;
    }
    if (info.isFile()) {
        static const QMimeDatabase mimeDatabase;
        const QMimeType mime = mimeDatabase.mimeTypeForFile(info);
        for (const QString &name : {mime.iconName(), mime.genericIconName()}) {
            const QPixmap pixmap = largePixmap(QIcon::fromTheme(name));
            if (!pixmap.isNull())
                return pixmap;
        }
    }
    static const QAbstractFileIconProvider provider;
    return largePixmap(provider.icon(info));
}

} // namespace FileIcon

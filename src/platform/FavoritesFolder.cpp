#include "FavoritesFolder.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shlobj.h>
#endif

namespace KnownFolders {

QString favorites()
{
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_FAVORITES, FALSE))
        return QString();
    return QDir::cleanPath(QString::fromWCharArray(buffer));
#else
    // Linux desktops have no Favorites folder; a visible one in the home is where a user looks.
    const QString dir = QDir::homePath() + QStringLiteral("/Favorites");
    return QDir().mkpath(dir) ? dir : QString();
#endif
}

} // namespace KnownFolders

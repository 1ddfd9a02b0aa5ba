// Windows body: the shell's Favorites folder.
#include "FavoritesFolder.h"

#include <QDir>

#include <windows.h>
#include <shlobj.h>

namespace KnownFolders {

QString favorites()
{
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_FAVORITES, FALSE))
        return QString();
    return QDir::cleanPath(QString::fromWCharArray(buffer));
}

} // namespace KnownFolders

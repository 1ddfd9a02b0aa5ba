// Windows: the roaming application-data folder as the shell names it.
#include "KnownFolders.h"

#include <QDir>

#include <windows.h>
#include <shlobj.h>

namespace KnownFolders {

QString roamingAppData()
{
    // %APPDATA% (roaming), so the user's lists follow a roaming profile; the local
    // application-data folder stays on one machine.
    wchar_t path[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE))
        return QDir::cleanPath(QDir::fromNativeSeparators(QString::fromWCharArray(path)));
    return QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")));
}

} // namespace KnownFolders

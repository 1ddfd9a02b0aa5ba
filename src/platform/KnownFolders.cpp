#include "KnownFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace KnownFolders {

QString roamingAppData()
{
    // On Windows this is %APPDATA%; elsewhere the XDG data home.
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString desktop()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return dir.isEmpty() ? QDir::homePath() : QDir::cleanPath(dir);
}

} // namespace KnownFolders

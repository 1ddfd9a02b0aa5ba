#include "KnownFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace KnownFolders {

QString desktop()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return dir.isEmpty() ? QDir::homePath() : QDir::cleanPath(dir);
}

} // namespace KnownFolders

// Linux and other XDG systems: the data home stands for the roaming application-data folder.
#include "KnownFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace KnownFolders {

QString roamingAppData()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

} // namespace KnownFolders

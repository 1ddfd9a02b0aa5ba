// Systems without a roaming profile of their own (Linux and other XDG systems): the data home.
#include "KnownFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace KnownFolders {

QString roamingAppData()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

} // namespace KnownFolders

// Systems without a Favorites folder of their own (Linux desktops among them).
#include "FavoritesFolder.h"

#include <QDir>

namespace KnownFolders {

QString favorites()
{
    // A visible folder in the home is where a user looks for it.
    const QString dir = QDir::homePath() + QStringLiteral("/Favorites");
    return QDir().mkpath(dir) ? dir : QString();
}

} // namespace KnownFolders

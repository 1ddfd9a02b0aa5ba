// Folders the program stores into or reads from, as the operating system names them.
#pragma once

#include <QString>

namespace KnownFolders {

// The user's roaming application-data folder (no trailing separator).
QString roamingAppData();
// The user's desktop folder, or the home folder when there is none.
QString desktop();

} // namespace KnownFolders

// The user's Favorites folder, where Internet Shortcuts to websites are kept.
#pragma once

#include <QString>

namespace KnownFolders {

// The Favorites folder without trailing separator, or an empty string when the system has none.
QString favorites();

} // namespace KnownFolders

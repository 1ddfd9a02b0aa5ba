// Export of a website as an Internet Shortcut (".url") file in the Favorites folder.
#pragma once

#include "WebsiteEntry.h"

#include <QByteArray>
#include <QString>

namespace InternetShortcut {

// A plain file name (without ".url") for a website's text: path separators and characters that
// file names may not hold become "_", so the file always lands inside the folder it is meant for.
QString fileNameFor(const QString &text);
// The file's bytes: "[InternetShortcut]", CR LF, "URL=" and the address without line breaks.
QByteArray contents(const QString &url);
// Writes entry into folder (overwriting a shortcut of the same name); returns the file's path,
// or an empty string when folder is empty or the file cannot be written.
QString write(const QString &folder, const WebsiteEntry &entry);

} // namespace InternetShortcut

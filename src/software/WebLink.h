// Opens addresses that came from the network, but only when they are plain web pages.
#pragma once

#include <QString>
#include <QUrl>

namespace WebLink {

// Reads an address from a reply the way the page always has (tolerant parsing, no guessing).
QUrl fromText(const QString &text);
// True for absolute http and https addresses with a host; everything else
// (file:, a bare local path, javascript:, another scheme) is refused.
bool isWebAddress(const QUrl &url);
// Opens text in the default browser when it is a web address; false when it was refused.
bool open(const QString &text);

} // namespace WebLink

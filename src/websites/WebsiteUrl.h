// Which address a click on a website opens, if any.
#pragma once

#include <QString>
#include <QUrl>

// The URL to hand to the system for a website's address, or an invalid URL when it must not be
// opened. Addresses from the remote list open only as http, https or ftp. An address the user typed
// opens as typed when it has a scheme, and as a web address (never a local file) when it has none.
QUrl websiteUrlToOpen(const QString &address, bool typedByUser);

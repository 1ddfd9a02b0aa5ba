// Decides whether an address may be handed to the system's default handler as a web page.
#pragma once

#include <QUrl>

namespace WebAddress {

enum class Schemes {
    Web,       // http and https
    WebAndFtp, // http, https and ftp
};

// True for an absolute, valid address with a host whose scheme is one of the allowed ones.
// Anything else (file:, a bare local path, javascript:, mailto:, another scheme) is refused:
// the system's handler would start local files or programs for it.
bool isOpenable(const QUrl &url, Schemes schemes = Schemes::Web);

} // namespace WebAddress

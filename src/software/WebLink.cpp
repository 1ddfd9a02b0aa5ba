#include "WebLink.h"

#include "WebAddress.h"

#include <QDesktopServices>

namespace WebLink {

QUrl fromText(const QString &text)
{
    return QUrl(text.trimmed(), QUrl::TolerantMode);
}

bool isWebAddress(const QUrl &url)
{
    return WebAddress::isOpenable(url, WebAddress::Schemes::Web);
}

bool open(const QString &text)
{
    const QUrl url = fromText(text);
    // The address is published by a remote server; handing anything but a web page to the
    // desktop's default handler would let that server start local files or programs.
    if (!isWebAddress(url))
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace WebLink

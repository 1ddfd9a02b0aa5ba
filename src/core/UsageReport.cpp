#include "UsageReport.h"

#include "Endpoints.h"
#include "Network.h"

#include <QNetworkReply>
#include <QUrl>

void reportAction(const QString &action)
{
    static const QString base = Endpoints::makerSite() + QStringLiteral("stat.aspx?");
    // Fire and forget: the request helper releases the reply when it ends, gives it a short time
    // limit and keeps at most two on their way, so reports never hold the connections the pages
    // need.
    // Encoded here so that a website title holding "&" or "#" stays one query value; non-ASCII
    // text goes out as UTF-8 percent escapes either way.
    const QString word = QString::fromLatin1(QUrl::toPercentEncoding(action));
    networkGet(QUrl(base + QStringLiteral("action=") + word), RequestKind::Report);
}

#include "UsageReport.h"

#include "Endpoints.h"
#include "Network.h"

#include <QNetworkReply>
#include <QUrl>

void reportAction(const QString &action)
{
    static const QString base = Endpoints::makerSite() + QStringLiteral("stat.aspx?");
    // The reply stays with the manager and dies with it at shutdown; nobody reads it, so
    // it is released as soon as it ends to keep a long session from piling them up.
    // Encoded here so that a website title holding "&" or "#" stays one query value; non-ASCII
    // text goes out as UTF-8 percent escapes either way.
    const QString word = QString::fromLatin1(QUrl::toPercentEncoding(action));
    if (QNetworkReply *reply = networkGet(QUrl(base + QStringLiteral("action=") + word)))
        QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

#include "SinaLocation.h"

#include "Endpoints.h"
#include "JsonReader.h"
#include "Network.h"

#include <QNetworkReply>
#include <QStringDecoder>
#include <QUrl>
#include <QVariantMap>

using namespace Qt::StringLiterals;

SinaLocation::SinaLocation(QObject *parent)
    : Location(parent)
{
}

void SinaLocation::request()
{
    QNetworkReply *reply = networkGet(QUrl(url()), RequestKind::Location);
    if (!reply) {
        // Without a network manager no reply would ever finish; answer anyway so the owner moves on.
        reportFailureLater();
        return;
    }
    connect(reply, &QNetworkReply::finished, this, &Location::onLocFinished);
}

bool SinaLocation::parse(const QByteArray &data, PositionInfo &position)
{
    if (data.isEmpty())
        return false;
    // UTF-8 where the bytes are UTF-8; otherwise the system's code page, which on a Chinese
    // Windows is the GBK the service also answers in. Linux's code page is UTF-8 itself, so only
    // Windows told the two apart wrongly before.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = QString::fromLocal8Bit(data);
    const qsizetype brace = text.indexOf(u'{');
    if (brace < 0)
        return false;
    bool ok = false;
    const QVariantMap map = JsonReader::parse(text.right(text.size() - brace), ok).toMap();
    if (!ok)
        return false;
    position.province = map.value(u"province"_s).toString();
    position.city = map.value(u"city"_s).toString();
    position.isp = map.value(u"isp"_s).toString();
    return true;
}

QString SinaLocation::url()
{
    return Endpoints::ipLocationService() + u"iplookup/iplookup.php?format=js"_s;
}

#include "IpApiLocation.h"

#include "Endpoints.h"
#include "Network.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QUrl>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool coordinate(const QJsonValue &value, double limit, double *out)
{
    if (!value.isDouble())
        return false;
    const double x = value.toDouble();
    if (!std::isfinite(x) || std::fabs(x) > limit)
        return false;
    *out = x;
    return true;
}

QString withoutCitySuffix(QString name)
{
    if (name.size() > 2 && name.endsWith(u'市'))
        name.chop(1);
    return name;
}

} // namespace

IpApiLocation::IpApiLocation(QObject *parent)
    : Location(parent)
{
}

void IpApiLocation::request()
{
    QNetworkReply *reply = networkGet(QUrl(url()), RequestKind::Location);
    if (!reply) {
        reportFailureLater();
        return;
    }
    connect(reply, &QNetworkReply::finished, this, &IpApiLocation::onReplyFinished);
}

void IpApiLocation::onReplyFinished()
{
    PositionInfo position;
    if (auto *reply = qobject_cast<QNetworkReply *>(sender())) {
        reply->deleteLater();
        parse(replyBody(reply), position);
    }
    emit locFinished(position);
}

bool IpApiLocation::parse(const QByteArray &data, PositionInfo &position)
{
    if (data.isEmpty() || data.size() > MaxReplyBytes)
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(data);
    if (!doc.isObject())
        return false;
    const QJsonObject reply = doc.object();
    if (reply.value(u"status"_s).toString() != u"success"_s)
        return false;
    PositionInfo found;
    if (!coordinate(reply.value(u"lat"_s), 90, &found.latitude)
        || !coordinate(reply.value(u"lon"_s), 180, &found.longitude))
        return false;
    found.hasCoordinates = true;
    found.province = withoutCitySuffix(reply.value(u"regionName"_s).toString());
    found.city = withoutCitySuffix(reply.value(u"city"_s).toString());
    if (found.city.isEmpty())
        found.city = found.province;
    position = found;
    return true;
}

QString IpApiLocation::url()
{
    return Endpoints::ipApiLocation();
}

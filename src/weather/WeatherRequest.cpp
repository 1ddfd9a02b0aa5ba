#include "WeatherRequest.h"

#include "CodeTable.h"
#include "Endpoints.h"
#include "Network.h"

#include <QMessageAuthenticationCode>
#include <QNetworkReply>
#include <QTimer>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

WeatherRequest::WeatherRequest(QObject *parent)
    : QObject(parent)
    , m_appId(Endpoints::weatherAppId())
    , m_privateKey(Endpoints::weatherPrivateKey())
{
    qRegisterMetaType<WeatherForecastRequestResult>();
    qRegisterMetaType<LiveWeatherRequestResult>();
    qRegisterMetaType<WeatherIndexRequestResult>();
    connect(&m_location, &Location::locFinished, this, &WeatherRequest::onLocationFinished);
}

void WeatherRequest::request()
{
    m_forecast = WeatherForecastRequestResult();
    m_live = LiveWeatherRequestResult();
    m_index = WeatherIndexRequestResult();
    m_location.request();
}

QByteArray WeatherRequest::signature(const QByteArray &message, const QByteArray &key)
{
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha1).toBase64();
}

QUrl WeatherRequest::requestUrl(const QString &areaId, const QString &type, const QDateTime &now,
                                const QString &serviceRoot, const QString &appId,
                                const QString &privateKey)
{
    const QString base = serviceRoot + u"data/"_s;
    const QString date = now.toString(u"yyyyMMddhhmm"_s);

    QUrlQuery signedQuery;
    signedQuery.addQueryItem(u"areaid"_s, areaId);
    signedQuery.addQueryItem(u"type"_s, type);
    signedQuery.addQueryItem(u"date"_s, date);
    signedQuery.addQueryItem(u"appid"_s, appId);
    QUrl signedUrl(base);
    signedUrl.setQuery(signedQuery);
    const QByteArray key = signature(signedUrl.toString().toLatin1(), privateKey.toLatin1());

    // The signature goes in already escaped, so '+', '/' and '=' reach the service as %2B, %2F, %3D.
    QUrlQuery query;
    query.addQueryItem(u"areaid"_s, areaId);
    query.addQueryItem(u"type"_s, type);
    query.addQueryItem(u"date"_s, date);
    query.addQueryItem(u"appid"_s, appId.left(6));
    QUrl url(base);
    url.setQuery(query.query(QUrl::FullyEncoded) + u"&key="_s
                     + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(key))),
                 QUrl::StrictMode);
    return url;
}

void WeatherRequest::onLocationFinished(PositionInfo position)
{
    m_live.position = position;
    const QString areaId = cityAreaIds().lookup(position.city);
    if (areaId.isEmpty()) {
        failForecast();
        failLive();
        failIndex();
        return;
    }
    // A request that cannot be issued still has to end the refresh for the page.
    if (!send(areaId, u"forecast3d"_s, &WeatherRequest::onWeatherForecastRequestFinished))
        QTimer::singleShot(0, this, &WeatherRequest::failForecast);
    if (!send(areaId, u"observe"_s, &WeatherRequest::onLiveWeatherRequestFinished))
        QTimer::singleShot(0, this, &WeatherRequest::failLive);
    if (!send(areaId, u"index"_s, &WeatherRequest::onWeatherIndexRequestFinished))
        QTimer::singleShot(0, this, &WeatherRequest::failIndex);
}

bool WeatherRequest::send(const QString &areaId, const QString &type, void (WeatherRequest::*slot)())
{
    const QUrl url = requestUrl(areaId, type, QDateTime::currentDateTime(),
                                Endpoints::weatherService(), m_appId, m_privateKey);
    QNetworkReply *reply = networkGet(url, RequestKind::Weather);
    if (!reply)
        return false;
    connect(reply, &QNetworkReply::finished, this, slot);
    return true;
}

void WeatherRequest::failForecast()
{
    m_forecast.ok = false;
    emit finished(m_forecast);
}

void WeatherRequest::failLive()
{
    m_live.ok = false;
    emit finished(m_live);
}

void WeatherRequest::failIndex()
{
    m_index.ok = false;
    emit finished(m_index);
}

void WeatherRequest::onWeatherForecastRequestFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply) {
        emit finished(WeatherForecastRequestResult());
        return;
    }
    reply->deleteLater();
    m_forecast.ok = readWeatherForecast(replyBody(reply), m_forecast);
    emit finished(m_forecast);
}

void WeatherRequest::onLiveWeatherRequestFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply) {
        emit finished(LiveWeatherRequestResult());
        return;
    }
    reply->deleteLater();
    m_live.ok = readLiveWeather(replyBody(reply), m_live);
    emit finished(m_live);
}

void WeatherRequest::onWeatherIndexRequestFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply) {
        emit finished(WeatherIndexRequestResult());
        return;
    }
    reply->deleteLater();
    m_index.ok = readWeatherIndex(replyBody(reply), m_index);
    emit finished(m_index);
}

#include "WeatherRequest.h"

#include "CodeTable.h"
#include "Endpoints.h"
#include "GlobalSettings.h"
#include "Network.h"
#include "OpenMeteo.h"

#include <QMessageAuthenticationCode>
#include <QNetworkReply>
#include <QTimer>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

struct Credentials
{
    bool overridden = false;
    QString appId;
    QString privateKey;
};

Credentials &credentialsOverride()
{
    static Credentials credentials;
    return credentials;
}

constexpr char GenerationProperty[] = "qpaWeatherGeneration";
constexpr char AreaIdProperty[] = "qpaWeatherAreaId";

} // namespace

WeatherRequest::WeatherRequest(QObject *parent)
    : QObject(parent)
    , m_appId(Endpoints::weatherAppId())
    , m_privateKey(Endpoints::weatherPrivateKey())
{
    qRegisterMetaType<WeatherForecastRequestResult>();
    qRegisterMetaType<LiveWeatherRequestResult>();
    qRegisterMetaType<WeatherIndexRequestResult>();
    if (credentialsOverride().overridden) {
        m_appId = credentialsOverride().appId;
        m_privateKey = credentialsOverride().privateKey;
    }
    m_service = serviceFor(m_appId, m_privateKey);
    connect(&m_location, &Location::locFinished, this, &WeatherRequest::onLocationFinished);
    connect(&m_ipApiLocation, &Location::locFinished, this, &WeatherRequest::onKeylessLocationFinished);
}

WeatherRequest::Service WeatherRequest::serviceFor(const QString &appId, const QString &privateKey)
{
    return appId.isEmpty() || privateKey.isEmpty() ? Service::Keyless : Service::Signed;
}

void WeatherRequest::overrideCredentials(const QString &appId, const QString &privateKey)
{
    credentialsOverride() = Credentials{true, appId, privateKey};
}

void WeatherRequest::request()
{
    ++m_generation;
    m_forecast = WeatherForecastRequestResult();
    m_live = LiveWeatherRequestResult();
    m_index = WeatherIndexRequestResult();
    m_chosenAreaId.clear();
    if (m_service == Service::Keyless) {
        requestKeyless();
        return;
    }
    PositionInfo position;
    if (chosenCity(&m_chosenAreaId, &position)) {
        // Answered from the event loop, like a lookup, so the caller sees the same order.
        QTimer::singleShot(0, this, [this, position, generation = m_generation] {
            if (generation == m_generation)
                onLocationFinished(position);
        });
        return;
    }
    m_location.request();
}

bool WeatherRequest::chosenCity(QString *areaId, PositionInfo *position)
{
    const CityRow *row = cityRowOfAreaId(GlobalSettings::instance()->weatherCity());
    if (!row)
        return false;
    *areaId = row->areaId;
    position->city = row->name;
    position->province = provinceOfAreaId(row->areaId);
    return true;
}

void WeatherRequest::requestKeyless()
{
    QString areaId;
    PositionInfo position;
    if (!chosenCity(&areaId, &position)) {
        m_ipApiLocation.request();
        return;
    }
    GlobalSettings *settings = GlobalSettings::instance();
    if (!settings->hasWeatherCityCoordinates()) {
        requestGeocoding(areaId, position);
        return;
    }
    position.hasCoordinates = true;
    position.latitude = settings->weatherCityLatitude();
    position.longitude = settings->weatherCityLongitude();
    requestKeylessForecast(position);
}

void WeatherRequest::requestGeocoding(const QString &areaId, const PositionInfo &position)
{
    m_live.position = position;
    if (QNetworkReply *reply = sendKeyless(OpenMeteo::geocodingUrl(Endpoints::openMeteoGeocoding(), position.city),
                                           &WeatherRequest::onGeocodingFinished))
        reply->setProperty(AreaIdProperty, areaId);
}

QNetworkReply *WeatherRequest::sendKeyless(const QUrl &url, void (WeatherRequest::*slot)())
{
    QNetworkReply *reply = networkGet(url, RequestKind::Weather);
    if (!reply) {
        // A request that cannot be issued still has to end the refresh for the page.
        QTimer::singleShot(0, this, &WeatherRequest::failAll);
        return nullptr;
    }
    reply->setProperty(GenerationProperty, m_generation);
    connect(reply, &QNetworkReply::finished, this, slot);
    return reply;
}

QNetworkReply *WeatherRequest::keylessReply()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return nullptr;
    reply->deleteLater();
    return reply->property(GenerationProperty).toInt() == m_generation ? reply : nullptr;
}

void WeatherRequest::onGeocodingFinished()
{
    QNetworkReply *reply = keylessReply();
    if (!reply)
        return;
    const QByteArray body = replyBody(reply);
    double latitude = 0;
    double longitude = 0;
    GlobalSettings *settings = GlobalSettings::instance();
    // The city may have been changed meanwhile; coordinates belong to the city they were asked for.
    if (!OpenMeteo::readGeocoding(body, &latitude, &longitude)
        || reply->property(AreaIdProperty).toString() != settings->weatherCity()
        || !settings->setWeatherCityCoordinates(latitude, longitude)) {
        failAll();
        return;
    }
    settings->save(settings->settingsFilePath());
    PositionInfo position = m_live.position;
    position.hasCoordinates = true;
    position.latitude = latitude;
    position.longitude = longitude;
    requestKeylessForecast(position);
}

void WeatherRequest::onKeylessLocationFinished(PositionInfo position)
{
    if (!position.hasCoordinates) {
        m_live.position = position;
        failAll();
        return;
    }
    requestKeylessForecast(position);
}

void WeatherRequest::requestKeylessForecast(const PositionInfo &position)
{
    m_live.position = position;
    sendKeyless(OpenMeteo::forecastUrl(Endpoints::openMeteoForecast(), position.latitude, position.longitude),
                &WeatherRequest::onKeylessForecastFinished);
}

void WeatherRequest::onKeylessForecastFinished()
{
    QNetworkReply *reply = keylessReply();
    if (!reply)
        return;
    const QByteArray body = replyBody(reply);
    if (!OpenMeteo::readForecast(body, m_forecast, m_live, m_index)) {
        failAll();
        return;
    }
    emit finished(m_forecast);
    emit finished(m_live);
    emit finished(m_index);
}

template<typename Result>
void WeatherRequest::fail(Result &result)
{
    result.ok = false;
    emit finished(result);
}

void WeatherRequest::failAll()
{
    fail(m_forecast);
    fail(m_live);
    fail(m_index);
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
    // A chosen city is named by its area id: names repeat in the table.
    const QString areaId = m_chosenAreaId.isEmpty() ? cityAreaIds().lookup(position.city) : m_chosenAreaId;
    if (areaId.isEmpty()) {
        failAll();
        return;
    }
    // A request that cannot be issued still has to end the refresh for the page.
    if (!send(areaId, u"forecast3d"_s, &WeatherRequest::onWeatherForecastRequestFinished))
        QTimer::singleShot(0, this, [this] { fail(m_forecast); });
    if (!send(areaId, u"observe"_s, &WeatherRequest::onLiveWeatherRequestFinished))
        QTimer::singleShot(0, this, [this] { fail(m_live); });
    if (!send(areaId, u"index"_s, &WeatherRequest::onWeatherIndexRequestFinished))
        QTimer::singleShot(0, this, [this] { fail(m_index); });
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

template<typename Result>
void WeatherRequest::readSignedReply(Result &result, bool (*read)(const QByteArray &, Result &))
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply) {
        emit finished(Result());
        return;
    }
    reply->deleteLater();
    result.ok = read(replyBody(reply), result);
    emit finished(result);
}

void WeatherRequest::onWeatherForecastRequestFinished()
{
    readSignedReply(m_forecast, readWeatherForecast);
}

void WeatherRequest::onLiveWeatherRequestFinished()
{
    readSignedReply(m_live, readLiveWeather);
}

void WeatherRequest::onWeatherIndexRequestFinished()
{
    readSignedReply(m_index, readWeatherIndex);
}

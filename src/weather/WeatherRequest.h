// Fetches the weather of the user's city. With an application id and key: IP location, then three
// signed weather-service requests. Without them: a JSON IP-geolocation lookup (or the chosen
// city's coordinates), then one keyless forecast request that fills all three results.
#pragma once

#include "IpApiLocation.h"
#include "SinaLocation.h"
#include "WeatherResults.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

class WeatherRequest : public QObject
{
    Q_OBJECT

public:
    enum class Service { Signed, Keyless };

    // Uses the id and key the build was configured with (or those of overrideCredentials).
    explicit WeatherRequest(QObject *parent = nullptr);

    // The signed service needs both an application id and a key; without them the keyless one.
    static Service serviceFor(const QString &appId, const QString &privateKey);
    Service service() const { return m_service; }
    // Id and key for requests constructed afterwards, in place of the build's; tests only.
    static void overrideCredentials(const QString &appId, const QString &privateKey);

    // Starts one refresh; it ends with exactly one finished() of each kind.
    void request();

    // The signed address of one weather request. The signature covers the full application id,
    // the address carries only its first six characters.
    static QUrl requestUrl(const QString &areaId, const QString &type, const QDateTime &now,
                           const QString &serviceRoot, const QString &appId, const QString &privateKey);
    // Base64 of the HMAC-SHA1 of message under key.
    static QByteArray signature(const QByteArray &message, const QByteArray &key);

signals:
    void finished(WeatherForecastRequestResult result);
    void finished(LiveWeatherRequestResult result);
    void finished(WeatherIndexRequestResult result);

public slots:
    void onLocationFinished(PositionInfo position);
    void onWeatherForecastRequestFinished();
    void onLiveWeatherRequestFinished();
    void onWeatherIndexRequestFinished();

private slots:
    void onKeylessLocationFinished(PositionInfo position);
    void onGeocodingFinished();
    void onKeylessForecastFinished();

private:
    // The chosen city's area id and position, or false for automatic location.
    static bool chosenCity(QString *areaId, PositionInfo *position);
    void requestKeyless();
    void requestGeocoding(const QString &areaId, const PositionInfo &position);
    void requestKeylessForecast(const PositionInfo &position);
    // Issues one keyless GET answered by slot (or ends the refresh when it cannot be issued).
    QNetworkReply *sendKeyless(const QUrl &url, void (WeatherRequest::*slot)());
    // The sending reply of this refresh (released later), or null for a stale or missing one.
    QNetworkReply *keylessReply();
    void failAll();
    // Sends one signed GET; false when it could not be issued.
    bool send(const QString &areaId, const QString &type, void (WeatherRequest::*slot)());
    // Reads the signed reply that finished (the sender) into result and delivers it; without a
    // reply an empty failed result is delivered.
    template<typename Result>
    void readSignedReply(Result &result, bool (*read)(const QByteArray &, Result &));
    // Delivers result as failed.
    template<typename Result>
    void fail(Result &result);

    SinaLocation m_location;
    IpApiLocation m_ipApiLocation;
    Service m_service = Service::Signed;
    // Area id of the chosen city for the signed service (empty: look the located city up).
    QString m_chosenAreaId;
    // Bumped by every refresh, so that a late reply of an earlier one is dropped.
    int m_generation = 0;
    WeatherForecastRequestResult m_forecast;
    LiveWeatherRequestResult m_live;
    WeatherIndexRequestResult m_index;
    QString m_appId;
    QString m_privateKey;
};

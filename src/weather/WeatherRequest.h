// Fetches the weather of the user's city: IP location, then three signed weather-service requests.
#pragma once

#include "SinaLocation.h"
#include "WeatherResults.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

class WeatherRequest : public QObject
{
    Q_OBJECT

public:
    explicit WeatherRequest(QObject *parent = nullptr);

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

private:
    // Sends one signed GET; false when it could not be issued.
    bool send(const QString &areaId, const QString &type, void (WeatherRequest::*slot)());
    void failForecast();
    void failLive();
    void failIndex();

    SinaLocation m_location;
    WeatherForecastRequestResult m_forecast;
    LiveWeatherRequestResult m_live;
    WeatherIndexRequestResult m_index;
    const QString m_appId;
    const QString m_privateKey;
};

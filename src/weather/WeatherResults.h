// The three weather results the page receives, each with an ok flag, and their readers.
#pragma once

#include "PositionInfo.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVector>

struct WeatherForecastDay
{
    QString dayTemperature;
    QString nightTemperature;
    // Two-digit phenomenon codes; the page names them.
    QString dayPhenomenon;
    QString nightPhenomenon;
    // Already translated to Chinese text.
    QString dayWindForce;
    QString nightWindForce;
    QString dayWindDirection;
    QString nightWindDirection;
};

struct WeatherForecastRequestResult
{
    bool ok = false;
    QString releaseTime; // "hh:mm"
    QVector<WeatherForecastDay> days;
};

struct LiveWeatherRequestResult
{
    bool ok = false;
    PositionInfo position;
    QString temperature;
    QString humidity;
    QString windForce;     // force level, untranslated
    QString windDirection; // translated
    QString time;          // "hh:mm"
};

struct WeatherIndexItem
{
    QString code; // "ct", "zs", "ys", ...
    QString name;
    QString level;
    QString description;
};

struct WeatherIndexRequestResult
{
    bool ok = false;
    QVector<WeatherIndexItem> items;
};

Q_DECLARE_METATYPE(WeatherForecastRequestResult)
Q_DECLARE_METATYPE(LiveWeatherRequestResult)
Q_DECLARE_METATYPE(WeatherIndexRequestResult)

// Each reader decodes a UTF-8 reply into result and returns false when the reply is not JSON or
// lacks (or mistypes) its top-level member; members missing inside present objects read as empty.
bool readWeatherForecast(const QByteArray &body, WeatherForecastRequestResult &result);
// Fills the five observation fields; result.position is left as it was.
bool readLiveWeather(const QByteArray &body, LiveWeatherRequestResult &result);
bool readWeatherIndex(const QByteArray &body, WeatherIndexRequestResult &result);

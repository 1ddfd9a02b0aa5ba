// The keyless weather service (Open-Meteo): request addresses, reply readers and the mapping of
// its units and codes onto the three results the page shows.
#pragma once

#include "WeatherResults.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace OpenMeteo {

// Largest reply accepted from the forecast or geocoding API; a real one is a few KiB.
constexpr qint64 MaxReplyBytes = 256 * 1024;

// Forecast address for a place: current conditions and three days, in the place's time zone.
QUrl forecastUrl(const QString &base, double latitude, double longitude);
// Geocoding address for a Chinese place name (best match only).
QUrl geocodingUrl(const QString &base, const QString &name);

// Reads a forecast reply into the three results. False (results untouched) when the reply is not
// a JSON object with every requested value present, of the right type, finite and in range.
bool readForecast(const QByteArray &body, WeatherForecastRequestResult &forecast,
                  LiveWeatherRequestResult &live, WeatherIndexRequestResult &index);
// Reads the first match of a geocoding reply; false when there is none or it is unusable.
bool readGeocoding(const QByteArray &body, double *latitude, double *longitude);

// Two-digit phenomenon code of the city weather tables for a WMO weather code; empty for a
// code the table does not name (the page then shows "未知").
QString phenomenonOfWmo(int wmoCode);
// Beaufort level (0 to 12) of a wind speed in km/h; -1 for a negative or non-finite speed.
int beaufortLevel(double kmh);
// One of the eight wind directions for the direction the wind blows from, in degrees (0 = north).
QString windDirectionName(double degrees);
// Text of a forecast day's wind: "微风" up to level 2, else "<level>级".
QString windForceText(int level);

// A life index by its code: "ct" (穿衣) from the day's mean temperature, "zs" (中暑) from its
// highest apparent temperature, "ys" (雨伞) from its highest precipitation probability. An
// unknown code gives an empty item.
WeatherIndexItem lifeIndex(const QString &code, double value);

} // namespace OpenMeteo

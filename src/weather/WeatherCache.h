// The last complete weather refresh, kept in the data folder and shown when a refresh fails.
#pragma once

#include "WeatherResults.h"

#include <QDateTime>
#include <QString>

struct SavedWeather
{
    bool valid = false;
    QDateTime savedAt;
    WeatherForecastRequestResult forecast;
    LiveWeatherRequestResult live;
    WeatherIndexRequestResult index;
};

namespace WeatherCache {

// A saved file is a few KiB; a larger one is not ours.
constexpr qint64 MaxFileBytes = 256 * 1024;

// The saved weather of path; not valid when the file is missing, oversized or broken.
SavedWeather load(const QString &path);
// Saves three good results atomically; false (old file intact) when one is not ok or the
// file cannot be written.
bool save(const QString &path, const SavedWeather &weather);

} // namespace WeatherCache

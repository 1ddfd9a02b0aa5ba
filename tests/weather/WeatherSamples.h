// Sample service replies for the weather tests and the preview, read from tests/weather/data.
#pragma once

#include "Endpoints.h"
#include "FakeNetworkAccessManager.h"
#include "WeatherRequest.h"

#include <QByteArray>
#include <QFile>
#include <QString>

inline QByteArray weatherSample(const QString &name)
{
    QFile file(QStringLiteral(QPA_SOURCE_DIR "/tests/weather/data/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Weather requests constructed afterwards use the signed service, as a build with an id and key does.
inline void useSignedService()
{
    WeatherRequest::overrideCredentials(QStringLiteral("0123456789abcdef"),
                                        QStringLiteral("private-key-of-the-tests"));
}

// The location service's address, as the lookup requests it.
inline QString locationAddress()
{
    return Endpoints::ipLocationService() + QStringLiteral("iplookup/iplookup.php?format=js");
}

// A pattern matching every signed request of one type for one area.
inline QString weatherAddress(const QString &areaId, const QString &type)
{
    return Endpoints::weatherService() + QStringLiteral("data/?areaid=") + areaId
        + QStringLiteral("&type=") + type + QStringLiteral("&*");
}

// Answers the location lookup with Guangzhou and the three weather requests with the samples.
inline void serveGuangzhou(FakeNetworkAccessManager *network)
{
    network->setReply(locationAddress(), weatherSample(QStringLiteral("sina.js")));
    const QString area = QStringLiteral("101280101");
    network->setReply(weatherAddress(area, QStringLiteral("forecast3d")),
                      weatherSample(QStringLiteral("forecast3d.json")));
    network->setReply(weatherAddress(area, QStringLiteral("observe")),
                      weatherSample(QStringLiteral("observe.json")));
    network->setReply(weatherAddress(area, QStringLiteral("index")),
                      weatherSample(QStringLiteral("index.json")));
}

#include "WeatherResults.h"

#include "CodeTable.h"
#include "JsonReader.h"

#include <QLoggingCategory>
#include <QVariantList>
#include <QVariantMap>

using namespace Qt::StringLiterals;

// Off unless asked for (QT_LOGGING_RULES="qpa.weather.debug=true"): normal use keeps stderr for
// real warnings.
Q_LOGGING_CATEGORY(lcWeather, "qpa.weather", QtWarningMsg)

namespace {

// The reply's top-level object, or nothing when the reply is not a JSON object.
bool readTopLevel(const QByteArray &body, QVariantMap &top)
{
    bool ok = false;
    const QVariant value = JsonReader::parse(QString::fromUtf8(body), ok);
    if (!ok)
        return false;
    top = value.toMap();
    return true;
}

QString member(const QVariantMap &map, const QString &name)
{
    return map.value(name).toString();
}

// "yyyyMMddhhmm" -> "hh:mm"; shorter text is kept as it stands.
QString releaseClock(const QString &stamp)
{
    if (stamp.size() < 4)
        return stamp;
    QString clock = stamp.right(4);
    clock.insert(2, u':');
    return clock;
}

WeatherForecastDay forecastDay(const QVariantMap &map)
{
    WeatherForecastDay day;
    day.dayTemperature = member(map, u"fc"_s);
    day.nightTemperature = member(map, u"fd"_s);
    day.dayPhenomenon = member(map, u"fa"_s);
    day.nightPhenomenon = member(map, u"fb"_s);
    day.dayWindForce = windForces().lookup(member(map, u"fg"_s));
    day.nightWindForce = windForces().lookup(member(map, u"fh"_s));
    day.dayWindDirection = windDirections().lookup(member(map, u"fe"_s));
    day.nightWindDirection = windDirections().lookup(member(map, u"ff"_s));
    return day;
}

} // namespace

bool readWeatherForecast(const QByteArray &body, WeatherForecastRequestResult &result)
{
    QVariantMap top;
    if (!readTopLevel(body, top))
        return false;
    const QVariant f = top.value(u"f"_s);
    if (f.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap forecast = f.toMap();
    result.releaseTime = releaseClock(member(forecast, u"f0"_s));
    const QVariant f1 = forecast.value(u"f1"_s);
    if (f1.typeId() != QMetaType::QVariantList)
        return false;
    for (const QVariant &element : f1.toList())
        result.days.append(forecastDay(element.toMap()));
    return true;
}

bool readLiveWeather(const QByteArray &body, LiveWeatherRequestResult &result)
{
    QVariantMap top;
    if (!readTopLevel(body, top))
        return false;
    const QVariant l = top.value(u"l"_s);
    if (l.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap live = l.toMap();
    result.temperature = member(live, u"l1"_s);
    result.humidity = member(live, u"l2"_s);
    result.windForce = member(live, u"l3"_s);
    result.windDirection = windDirections().lookup(member(live, u"l4"_s));
    result.time = member(live, u"l7"_s);
    return true;
}

bool readWeatherIndex(const QByteArray &body, WeatherIndexRequestResult &result)
{
    QVariantMap top;
    if (!readTopLevel(body, top))
        return false;
    const QVariant i = top.value(u"i"_s);
    if (i.typeId() != QMetaType::QVariantList)
        return false;
    for (const QVariant &element : i.toList()) {
        const QVariantMap map = element.toMap();
        WeatherIndexItem item;
        item.code = member(map, u"i1"_s);
        item.name = member(map, u"i2"_s);
        item.level = member(map, u"i4"_s);
        item.description = member(map, u"i5"_s);
        result.items.append(item);
        qCDebug(lcWeather).noquote() << "weather index result:" << (item.code + u'\t' + item.name);
    }
    return true;
}

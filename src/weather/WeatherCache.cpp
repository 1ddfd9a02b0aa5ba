#include "WeatherCache.h"

#include "DataFile.h"
#include "XmlTree.h"
#include "XmlWriter.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// Field names of the saved records, in the order of their structs.
const QString ForecastDayFields[] = {u"dayTemperature"_s, u"nightTemperature"_s, u"dayPhenomenon"_s,
                                     u"nightPhenomenon"_s, u"dayWindForce"_s, u"nightWindForce"_s,
                                     u"dayWindDirection"_s, u"nightWindDirection"_s};
constexpr int MaxDays = 3;
constexpr int MaxIndexItems = 4;

QString *dayField(WeatherForecastDay &day, int n)
{
    QString *fields[] = {&day.dayTemperature, &day.nightTemperature, &day.dayPhenomenon,
                         &day.nightPhenomenon, &day.dayWindForce, &day.nightWindForce,
                         &day.dayWindDirection, &day.nightWindDirection};
    return fields[n];
}

QByteArray toDocument(const SavedWeather &weather)
{
    XmlWriter xml;
    xml.startElement(u"weather"_s);
    xml.attribute(u"saved"_s, weather.savedAt.toString(Qt::ISODate));

    xml.startElement(u"live"_s);
    xml.attribute(u"province"_s, weather.live.position.province);
    xml.attribute(u"city"_s, weather.live.position.city);
    xml.attribute(u"temperature"_s, weather.live.temperature);
    xml.attribute(u"humidity"_s, weather.live.humidity);
    xml.attribute(u"windForce"_s, weather.live.windForce);
    xml.attribute(u"windDirection"_s, weather.live.windDirection);
    xml.attribute(u"time"_s, weather.live.time);
    xml.endElement();

    xml.startElement(u"forecast"_s);
    xml.attribute(u"releaseTime"_s, weather.forecast.releaseTime);
    for (WeatherForecastDay day : weather.forecast.days.mid(0, MaxDays)) {
        xml.startElement(u"day"_s);
        for (int n = 0; n < int(std::size(ForecastDayFields)); ++n)
            xml.attribute(ForecastDayFields[n], *dayField(day, n));
        xml.endElement();
    }
    xml.endElement();

    xml.startElement(u"index"_s);
    for (const WeatherIndexItem &item : weather.index.items.mid(0, MaxIndexItems)) {
        xml.startElement(u"item"_s);
        xml.attribute(u"code"_s, item.code);
        xml.attribute(u"name"_s, item.name);
        xml.attribute(u"level"_s, item.level);
        xml.attribute(u"description"_s, item.description);
        xml.endElement();
    }
    xml.endElement();
    return xml.finish();
}

} // namespace

namespace WeatherCache {

SavedWeather load(const QString &path)
{
    SavedWeather weather;
    QFile file(path);
    XmlNode root;
    // Three days and four items in a few elements; a deeper or larger file is not ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes
        || readXmlTree(file.read(MaxFileBytes), XmlLimits{MaxFileBytes, 8, 64}, &root) != XmlReadStatus::Ok)
        return weather;
    const XmlNode *live = root.child(u"live");
    const XmlNode *forecast = root.child(u"forecast");
    const XmlNode *index = root.child(u"index");
    weather.savedAt = QDateTime::fromString(root.attribute(u"saved"), Qt::ISODate);
    if (root.name != u"weather"_s || !live || !forecast || !index || !weather.savedAt.isValid())
        return weather;

    weather.live.ok = true;
    weather.live.position.province = live->attribute(u"province");
    weather.live.position.city = live->attribute(u"city");
    weather.live.temperature = live->attribute(u"temperature");
    weather.live.humidity = live->attribute(u"humidity");
    weather.live.windForce = live->attribute(u"windForce");
    weather.live.windDirection = live->attribute(u"windDirection");
    weather.live.time = live->attribute(u"time");

    weather.forecast.ok = true;
    weather.forecast.releaseTime = forecast->attribute(u"releaseTime");
    for (const XmlNode &e : forecast->children) {
        if (e.name != u"day"_s || weather.forecast.days.size() >= MaxDays)
            continue;
        WeatherForecastDay day;
        for (int n = 0; n < int(std::size(ForecastDayFields)); ++n)
            *dayField(day, n) = e.attribute(ForecastDayFields[n]);
        weather.forecast.days.append(day);
    }

    weather.index.ok = true;
    for (const XmlNode &e : index->children) {
        if (e.name != u"item"_s || weather.index.items.size() >= MaxIndexItems)
            continue;
        weather.index.items.append({e.attribute(u"code"), e.attribute(u"name"), e.attribute(u"level"),
                                    e.attribute(u"description")});
    }
    weather.valid = true;
    return weather;
}

bool save(const QString &path, const SavedWeather &weather)
{
    if (!weather.forecast.ok || !weather.live.ok || !weather.index.ok || !weather.savedAt.isValid())
        return false;
    return DataFile::writeAtomically(path, toDocument(weather));
}

} // namespace WeatherCache

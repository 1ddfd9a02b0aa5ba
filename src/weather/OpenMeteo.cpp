#include "OpenMeteo.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// WMO weather interpretation codes (the ones Open-Meteo sends) onto phenomenon codes:
//   0, 1 晴 "00" | 2 多云 "01" | 3 阴 "02" | 45, 48 雾 "18" | 51, 53, 55 drizzle 小雨 "07"
//   56, 57, 66, 67 freezing drizzle and rain 冻雨 "19" | 61 小雨 "07" | 63 中雨 "08" | 65 大雨 "09"
//   71, 77 小雪 "14" | 73 中雪 "15" | 75 大雪 "16" | 80, 81 阵雨 "03" | 82 violent showers 暴雨 "10"
//   85, 86 阵雪 "13" | 95 雷阵雨 "04" | 96, 99 雷阵雨伴有冰雹 "05"
struct WmoRow
{
    int wmo;
    const char16_t *phenomenon;
};
constexpr WmoRow WmoTable[] = {
    {0, u"00"},  {1, u"00"},  {2, u"01"},  {3, u"02"},  {45, u"18"}, {48, u"18"}, {51, u"07"},
    {53, u"07"}, {55, u"07"}, {56, u"19"}, {57, u"19"}, {61, u"07"}, {63, u"08"}, {65, u"09"},
    {66, u"19"}, {67, u"19"}, {71, u"14"}, {73, u"15"}, {75, u"16"}, {77, u"14"}, {80, u"03"},
    {81, u"03"}, {82, u"10"}, {85, u"13"}, {86, u"13"}, {95, u"04"}, {96, u"05"}, {99, u"05"},
};

// Lower bounds in km/h of Beaufort levels 1 to 12 (the WMO table rounded to whole km/h).
constexpr double BeaufortFloors[] = {1, 6, 12, 20, 29, 39, 50, 62, 75, 89, 103, 118};

// Plausible ranges; a value outside them marks a broken reply rather than weather.
constexpr double MinTemperature = -90, MaxTemperature = 65;
constexpr double MaxWindSpeed = 400; // km/h

std::optional<double> number(const QJsonValue &value, double low, double high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double x = value.toDouble();
    if (!std::isfinite(x) || x < low || x > high)
        return std::nullopt;
    return x;
}

std::optional<int> wmoCode(const QJsonValue &value)
{
    const std::optional<double> x = number(value, 0, 99);
    if (!x || *x != std::floor(*x))
        return std::nullopt;
    return int(*x);
}

QString whole(double x)
{
    // "-0" would look odd on the page.
    const long rounded = std::lround(x);
    return QString::number(rounded == 0 ? 0 : rounded);
}

// "YYYY-MM-DDTHH:MM" -> "HH:MM"; empty when the text has another form.
QString clockOf(const QJsonValue &value)
{
    const QDateTime time = QDateTime::fromString(value.toString(), u"yyyy-MM-ddTHH:mm"_s);
    return time.isValid() ? time.toString(u"HH:mm"_s) : QString();
}

// One level of a life index: from floor (inclusive) up to the floor of the row before it.
struct IndexBand
{
    const char16_t *code;
    double floor;
    const char16_t *level;
    const char16_t *description;
};
constexpr double Unbounded = std::numeric_limits<double>::infinity();
// Each index's levels, highest floor first; the last of each is unbounded below.
const IndexBand IndexBands[] = {
    {u"ct", 28, u"炎热", u"天气炎热，建议着短衫、短裙、短裤、薄型T恤衫等清凉夏季服装。"},
    {u"ct", 23, u"热", u"天气热，建议着短裙、短裤、短薄外套、T恤等夏季服装。"},
    {u"ct", 18, u"舒适", u"建议着长袖T恤、衬衫加单裤等服装，年老体弱者宜着针织长袖衬衫、马甲和长裤。"},
    {u"ct", 13, u"较舒适", u"建议着薄外套、开衫牛仔衫裤等服装，年老体弱者宜着夹克衫、薄毛衣。"},
    {u"ct", 8, u"较冷", u"建议着厚外套加毛衣等服装，年老体弱者宜着大衣、呢外套加羊毛衫。"},
    {u"ct", 0, u"冷", u"天气冷，建议着棉服、羽绒服、皮夹克加羊毛衫等冬季服装。"},
    {u"ct", -Unbounded, u"寒冷", u"天气寒冷，建议着厚羽绒服、毛皮大衣加厚毛衣等隆冬服装。"},
    {u"zs", 37, u"易发", u"天气酷热，请避免午后在户外活动，多补充水分，注意防暑降温。"},
    {u"zs", 32, u"较易发", u"天气炎热，外出请做好防晒，避免长时间在烈日下活动。"},
    {u"zs", 28, u"少发", u"天气较热，易中暑人群请适当减少户外活动，注意补充水分。"},
    {u"zs", -Unbounded, u"无中暑风险", u"天气舒适，对易中暑人群来说非常友善。"},
    {u"ys", 80, u"必须带伞", u"降水的可能性很大，出门请务必带上雨伞。"},
    {u"ys", 50, u"带伞", u"有较大可能出现降水，出门请带上雨伞。"},
    {u"ys", 20, u"可带伞", u"有降水的可能，外出可以带上雨伞。"},
    {u"ys", -Unbounded, u"不带伞", u"天气较好，不会降水，因此您可放心出门，无须带雨伞。"},
};
struct IndexName
{
    const char16_t *code;
    const char16_t *name;
};
constexpr IndexName IndexNames[] = {{u"ct", u"穿衣指数"}, {u"zs", u"中暑指数"}, {u"ys", u"雨伞指数"}};

// The top-level object of a reply within the size limit.
std::optional<QJsonObject> replyObject(const QByteArray &body)
{
    if (body.size() > OpenMeteo::MaxReplyBytes)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (!doc.isObject())
        return std::nullopt;
    return doc.object();
}

struct Day
{
    int code;
    double max;
    double min;
    double wind;
    double direction;
    double precipitation;
    double apparentMax;
};

// Day n of the parallel daily arrays, when every value of it is usable.
std::optional<Day> dayAt(const QJsonObject &daily, qsizetype n)
{
    const auto at = [&](const char16_t *name) { return daily.value(QString::fromUtf16(name)).toArray().at(n); };
    const std::optional<int> code = wmoCode(at(u"weather_code"));
    const std::optional<double> max = number(at(u"temperature_2m_max"), MinTemperature, MaxTemperature);
    const std::optional<double> min = number(at(u"temperature_2m_min"), MinTemperature, MaxTemperature);
    const std::optional<double> wind = number(at(u"wind_speed_10m_max"), 0, MaxWindSpeed);
    const std::optional<double> direction = number(at(u"wind_direction_10m_dominant"), 0, 360);
    const std::optional<double> rain = number(at(u"precipitation_probability_max"), 0, 100);
    const std::optional<double> apparent =
        number(at(u"apparent_temperature_max"), MinTemperature - 20, MaxTemperature + 20);
    if (!code || !max || !min || !wind || !direction || !rain || !apparent || *min > *max)
        return std::nullopt;
    return Day{*code, *max, *min, *wind, *direction, *rain, *apparent};
}

} // namespace

namespace OpenMeteo {

QUrl forecastUrl(const QString &base, double latitude, double longitude)
{
    QUrlQuery query;
    query.addQueryItem(u"latitude"_s, QString::number(latitude, 'f', 4));
    query.addQueryItem(u"longitude"_s, QString::number(longitude, 'f', 4));
    query.addQueryItem(u"current"_s,
                       u"temperature_2m,relative_humidity_2m,weather_code,wind_speed_10m,wind_direction_10m"_s);
    query.addQueryItem(u"daily"_s,
                       u"weather_code,temperature_2m_max,temperature_2m_min,wind_speed_10m_max,"
                       "wind_direction_10m_dominant,precipitation_probability_max,apparent_temperature_max"_s);
    query.addQueryItem(u"timezone"_s, u"auto"_s);
    query.addQueryItem(u"forecast_days"_s, u"3"_s);
    QUrl url(base);
    url.setQuery(query);
    return url;
}

QUrl geocodingUrl(const QString &base, const QString &name)
{
    QUrlQuery query;
    query.addQueryItem(u"name"_s, name);
    query.addQueryItem(u"count"_s, u"1"_s);
    query.addQueryItem(u"language"_s, u"zh"_s);
    query.addQueryItem(u"countryCode"_s, u"CN"_s);
    QUrl url(base);
    url.setQuery(query);
    return url;
}

bool readForecast(const QByteArray &body, WeatherForecastRequestResult &forecast,
                  LiveWeatherRequestResult &live, WeatherIndexRequestResult &index)
{
    const std::optional<QJsonObject> reply = replyObject(body);
    if (!reply)
        return false;
    const QJsonValue currentValue = reply->value(u"current"_s);
    const QJsonValue dailyValue = reply->value(u"daily"_s);
    if (!currentValue.isObject() || !dailyValue.isObject())
        return false;

    const QJsonObject current = currentValue.toObject();
    const QString clock = clockOf(current.value(u"time"_s));
    const std::optional<double> temperature =
        number(current.value(u"temperature_2m"_s), MinTemperature, MaxTemperature);
    const std::optional<double> humidity = number(current.value(u"relative_humidity_2m"_s), 0, 100);
    const std::optional<int> code = wmoCode(current.value(u"weather_code"_s));
    const std::optional<double> wind = number(current.value(u"wind_speed_10m"_s), 0, MaxWindSpeed);
    const std::optional<double> direction = number(current.value(u"wind_direction_10m"_s), 0, 360);
    if (clock.isEmpty() || !temperature || !humidity || !code || !wind || !direction)
        return false;

    const QJsonObject daily = dailyValue.toObject();
    const QJsonValue times = daily.value(u"time"_s);
    if (!times.isArray() || times.toArray().isEmpty())
        return false;
    const qsizetype dayCount = qMin<qsizetype>(times.toArray().size(), 3);
    QVector<Day> days;
    for (qsizetype n = 0; n < dayCount; ++n) {
        const std::optional<Day> day = dayAt(daily, n);
        if (!day)
            return false;
        days.append(*day);
    }

    WeatherForecastRequestResult newForecast;
    newForecast.ok = true;
    newForecast.releaseTime = clock;
    for (const Day &day : std::as_const(days)) {
        WeatherForecastDay out;
        out.dayTemperature = whole(day.max);
        out.nightTemperature = whole(day.min);
        out.dayPhenomenon = phenomenonOfWmo(day.code);
        out.dayWindForce = windForceText(beaufortLevel(day.wind));
        out.dayWindDirection = windDirectionName(day.direction);
        newForecast.days.append(out);
    }

    LiveWeatherRequestResult newLive;
    newLive.ok = true;
    newLive.position = live.position;
    newLive.temperature = whole(*temperature);
    newLive.humidity = whole(*humidity);
    const int level = beaufortLevel(*wind);
    newLive.windForce = QString::number(level);
    newLive.windDirection = level == 0 ? u"无持续风向"_s : windDirectionName(*direction);
    newLive.time = clock;

    WeatherIndexRequestResult newIndex;
    newIndex.ok = true;
    const Day &today = days.first();
    newIndex.items = {lifeIndex(u"ct"_s, (today.max + today.min) / 2), lifeIndex(u"zs"_s, today.apparentMax),
                      lifeIndex(u"ys"_s, today.precipitation)};

    forecast = newForecast;
    live = newLive;
    index = newIndex;
    return true;
}

bool readGeocoding(const QByteArray &body, double *latitude, double *longitude)
{
    const std::optional<QJsonObject> reply = replyObject(body);
    if (!reply)
        return false;
    const QJsonValue results = reply->value(u"results"_s);
    if (!results.isArray() || results.toArray().isEmpty() || !results.toArray().at(0).isObject())
        return false;
    const QJsonObject first = results.toArray().at(0).toObject();
    const std::optional<double> lat = number(first.value(u"latitude"_s), -90, 90);
    const std::optional<double> lon = number(first.value(u"longitude"_s), -180, 180);
    if (!lat || !lon)
        return false;
    *latitude = *lat;
    *longitude = *lon;
    return true;
}

QString phenomenonOfWmo(int wmoCode)
{
    for (const WmoRow &row : WmoTable) {
        if (row.wmo == wmoCode)
            return QString::fromUtf16(row.phenomenon);
    }
    return QString();
}

int beaufortLevel(double kmh)
{
    if (!std::isfinite(kmh) || kmh < 0)
        return -1;
    int level = 0;
    for (double floor : BeaufortFloors) {
        if (kmh >= floor)
            ++level;
    }
    return level;
}

QString windDirectionName(double degrees)
{
    static const QString names[] = {u"北风"_s, u"东北风"_s, u"东风"_s, u"东南风"_s,
                                    u"南风"_s, u"西南风"_s, u"西风"_s, u"西北风"_s};
    if (!std::isfinite(degrees))
        return QString();
    const double turned = std::fmod(std::fmod(degrees, 360) + 360 + 22.5, 360);
    return names[int(turned / 45) % 8];
}

QString windForceText(int level)
{
    if (level < 0)
        return QString();
    return level <= 2 ? u"微风"_s : QString::number(level) + u"级"_s;
}

WeatherIndexItem lifeIndex(const QString &code, double value)
{
    const IndexName *name = nullptr;
    for (const IndexName &candidate : IndexNames) {
        if (code == QStringView(candidate.code))
            name = &candidate;
    }
    if (!name)
        return WeatherIndexItem();
    for (const IndexBand &band : IndexBands) {
        if (code == QStringView(band.code) && value >= band.floor)
            return WeatherIndexItem{code, QString::fromUtf16(name->name), QString::fromUtf16(band.level),
                                    QString::fromUtf16(band.description)};
    }
    return WeatherIndexItem{code, QString::fromUtf16(name->name), QString(), QString()};
}

} // namespace OpenMeteo

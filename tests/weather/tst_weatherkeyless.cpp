// The keyless weather services: the JSON IP lookup, the Open-Meteo forecast mapped onto the three
// results, geocoding of a chosen city, and which service a build uses.
#include "CodeTable.h"
#include "GlobalSettings.h"
#include "IpApiLocation.h"
#include "OpenMeteo.h"
#include "TestMain.h"
#include "WeatherRequest.h"
#include "WeatherSamples.h"

#include <QFile>
#include <QSignalSpy>
#include <QUrlQuery>
#include <QtTest>

#include <limits>

using namespace Qt::StringLiterals;

class TestWeatherKeyless : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void wmoCodesNamePhenomena_data();
    void wmoCodesNamePhenomena();
    void beaufort_data();
    void beaufort();
    void directions_data();
    void directions();
    void indexThresholds_data();
    void indexThresholds();

    void forecastSample();
    void badForecastLeavesResults_data();
    void badForecastLeavesResults();
    void ipApi_data();
    void ipApi();
    void geocoding_data();
    void geocoding();

    void serviceChoice_data();
    void serviceChoice();
    void automaticRefreshAsksLocationThenForecast();
    void failedLocationFailsAllThree();
    void chosenCityIsGeocodedOnce();
    void failedGeocodingKeepsNoCoordinates();
    void chosenCityWithSignedServiceUsesItsAreaId();
};

namespace {

QByteArray replaced(const QByteArray &sample, const QByteArray &from, const QByteArray &to)
{
    QByteArray body = sample;
    body.replace(from, to);
    return body;
}

// Every request of a refresh finished: the three results arrive in this order.
struct Results
{
    explicit Results(WeatherRequest &request)
        : forecast(&request, qOverload<WeatherForecastRequestResult>(&WeatherRequest::finished))
        , live(&request, qOverload<LiveWeatherRequestResult>(&WeatherRequest::finished))
        , index(&request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished))
    {
    }
    bool wait() { return QTest::qWaitFor([this] { return index.size() == 1; }, 5000); }
    WeatherForecastRequestResult forecastResult() const
    {
        return forecast.first().first().value<WeatherForecastRequestResult>();
    }
    LiveWeatherRequestResult liveResult() const { return live.first().first().value<LiveWeatherRequestResult>(); }
    WeatherIndexRequestResult indexResult() const { return index.first().first().value<WeatherIndexRequestResult>(); }

    QSignalSpy forecast;
    QSignalSpy live;
    QSignalSpy index;
};

const QString ForecastPattern = Endpoints::openMeteoForecast() + u"*"_s;
const QString GeocodingPattern = Endpoints::openMeteoGeocoding() + u"*"_s;

} // namespace

void TestWeatherKeyless::init()
{
    GlobalSettings::instance()->resetForTest();
    WeatherRequest::overrideCredentials(QString(), QString());
}

void TestWeatherKeyless::wmoCodesNamePhenomena_data()
{
    QTest::addColumn<int>("wmo");
    QTest::addColumn<QString>("name");
    // Every code the forecast API documents, with the weather a person would call it.
    const struct { int wmo; const char16_t *name; } rows[] = {
        {0, u"晴"}, {1, u"晴"}, {2, u"多云"}, {3, u"阴"}, {45, u"雾"}, {48, u"雾"}, {51, u"小雨"},
        {53, u"小雨"}, {55, u"小雨"}, {56, u"冻雨"}, {57, u"冻雨"}, {61, u"小雨"}, {63, u"中雨"},
        {65, u"大雨"}, {66, u"冻雨"}, {67, u"冻雨"}, {71, u"小雪"}, {73, u"中雪"}, {75, u"大雪"},
        {77, u"小雪"}, {80, u"阵雨"}, {81, u"阵雨"}, {82, u"暴雨"}, {85, u"阵雪"}, {86, u"阵雪"},
        {95, u"雷阵雨"}, {96, u"雷阵雨伴有冰雹"}, {99, u"雷阵雨伴有冰雹"},
        // Not sent by the service: no phenomenon, the page says 未知.
        {4, u""}, {50, u""}, {98, u""},
    };
    for (const auto &row : rows)
        QTest::addRow("wmo %d", row.wmo) << row.wmo << QString::fromUtf16(row.name);
}

void TestWeatherKeyless::wmoCodesNamePhenomena()
{
    QFETCH(int, wmo);
    QFETCH(QString, name);
    const QString code = OpenMeteo::phenomenonOfWmo(wmo);
    QCOMPARE(weatherPhenomena().lookup(code), name);
    // A named code has its own picture name: two digits.
    QVERIFY(code.isEmpty() || (code.size() == 2 && code.at(0).isDigit() && code.at(1).isDigit()));
}

void TestWeatherKeyless::beaufort_data()
{
    QTest::addColumn<double>("kmh");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");
    QTest::newRow("calm") << 0.0 << 0 << u"微风"_s;
    QTest::newRow("below 1") << 0.9 << 0 << u"微风"_s;
    QTest::newRow("1") << 1.0 << 1 << u"微风"_s;
    QTest::newRow("5.9") << 5.9 << 1 << u"微风"_s;
    QTest::newRow("6") << 6.0 << 2 << u"微风"_s;
    QTest::newRow("12") << 12.0 << 3 << u"3级"_s;
    QTest::newRow("19.9") << 19.9 << 3 << u"3级"_s;
    QTest::newRow("20") << 20.0 << 4 << u"4级"_s;
    QTest::newRow("61.9") << 61.9 << 7 << u"7级"_s;
    QTest::newRow("62") << 62.0 << 8 << u"8级"_s;
    QTest::newRow("117") << 117.0 << 11 << u"11级"_s;
    QTest::newRow("118") << 118.0 << 12 << u"12级"_s;
    QTest::newRow("typhoon") << 250.0 << 12 << u"12级"_s;
    QTest::newRow("negative") << -1.0 << -1 << QString();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << -1 << QString();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << -1 << QString();
}

void TestWeatherKeyless::beaufort()
{
    QFETCH(double, kmh);
    QFETCH(int, level);
    QFETCH(QString, text);
    QCOMPARE(OpenMeteo::beaufortLevel(kmh), level);
    QCOMPARE(OpenMeteo::windForceText(OpenMeteo::beaufortLevel(kmh)), text);
}

void TestWeatherKeyless::directions_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0.0 << u"北风"_s;
    QTest::newRow("22.4") << 22.4 << u"北风"_s;
    QTest::newRow("22.5") << 22.5 << u"东北风"_s;
    QTest::newRow("45") << 45.0 << u"东北风"_s;
    QTest::newRow("90") << 90.0 << u"东风"_s;
    QTest::newRow("135") << 135.0 << u"东南风"_s;
    QTest::newRow("180") << 180.0 << u"南风"_s;
    QTest::newRow("225") << 225.0 << u"西南风"_s;
    QTest::newRow("270") << 270.0 << u"西风"_s;
    QTest::newRow("315") << 315.0 << u"西北风"_s;
    QTest::newRow("337.4") << 337.4 << u"西北风"_s;
    QTest::newRow("337.5") << 337.5 << u"北风"_s;
    QTest::newRow("360") << 360.0 << u"北风"_s;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << QString();
}

void TestWeatherKeyless::directions()
{
    QFETCH(double, degrees);
    QFETCH(QString, name);
    QCOMPARE(OpenMeteo::windDirectionName(degrees), name);
}

void TestWeatherKeyless::indexThresholds_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("level");
    QTest::newRow("ct 30") << u"ct"_s << 30.0 << u"炎热"_s;
    QTest::newRow("ct 28") << u"ct"_s << 28.0 << u"炎热"_s;
    QTest::newRow("ct 27.9") << u"ct"_s << 27.9 << u"热"_s;
    QTest::newRow("ct 23") << u"ct"_s << 23.0 << u"热"_s;
    QTest::newRow("ct 18") << u"ct"_s << 18.0 << u"舒适"_s;
    QTest::newRow("ct 13") << u"ct"_s << 13.0 << u"较舒适"_s;
    QTest::newRow("ct 8") << u"ct"_s << 8.0 << u"较冷"_s;
    QTest::newRow("ct 0") << u"ct"_s << 0.0 << u"冷"_s;
    QTest::newRow("ct -0.1") << u"ct"_s << -0.1 << u"寒冷"_s;
    QTest::newRow("zs 27.9") << u"zs"_s << 27.9 << u"无中暑风险"_s;
    QTest::newRow("zs 28") << u"zs"_s << 28.0 << u"少发"_s;
    QTest::newRow("zs 32") << u"zs"_s << 32.0 << u"较易发"_s;
    QTest::newRow("zs 37") << u"zs"_s << 37.0 << u"易发"_s;
    QTest::newRow("ys 0") << u"ys"_s << 0.0 << u"不带伞"_s;
    QTest::newRow("ys 19") << u"ys"_s << 19.0 << u"不带伞"_s;
    QTest::newRow("ys 20") << u"ys"_s << 20.0 << u"可带伞"_s;
    QTest::newRow("ys 50") << u"ys"_s << 50.0 << u"带伞"_s;
    QTest::newRow("ys 80") << u"ys"_s << 80.0 << u"必须带伞"_s;
    QTest::newRow("ys 100") << u"ys"_s << 100.0 << u"必须带伞"_s;
}

void TestWeatherKeyless::indexThresholds()
{
    QFETCH(QString, code);
    QFETCH(double, value);
    QFETCH(QString, level);
    const WeatherIndexItem item = OpenMeteo::lifeIndex(code, value);
    QCOMPARE(item.code, code);
    QCOMPARE(item.level, level);
    QVERIFY(!item.name.isEmpty());
    QVERIFY(item.description.size() > 8);
}

void TestWeatherKeyless::forecastSample()
{
    WeatherForecastRequestResult forecast;
    LiveWeatherRequestResult live;
    live.position.city = u"广州"_s;
    WeatherIndexRequestResult index;
    QVERIFY(OpenMeteo::readForecast(weatherSample(u"openmeteo_forecast.json"_s), forecast, live, index));

    QVERIFY(live.ok);
    QCOMPARE(live.position.city, u"广州"_s);
    QCOMPARE(live.temperature, u"25"_s);
    QCOMPARE(live.humidity, u"63"_s);
    QCOMPARE(live.windForce, u"3"_s); // 14.4 km/h
    QCOMPARE(live.windDirection, u"南风"_s); // 178°
    QCOMPARE(live.time, u"11:15"_s);

    QVERIFY(forecast.ok);
    QCOMPARE(forecast.releaseTime, u"11:15"_s);
    QCOMPARE(forecast.days.size(), 3);
    QCOMPARE(forecast.days[0].dayTemperature, u"28"_s);
    QCOMPARE(forecast.days[0].nightTemperature, u"21"_s);
    QCOMPARE(forecast.days[0].dayPhenomenon, u"02"_s);
    QCOMPARE(forecast.days[1].dayPhenomenon, u"07"_s);
    QCOMPARE(forecast.days[2].dayPhenomenon, u"04"_s);
    QCOMPARE(forecast.days[0].dayWindForce, u"3级"_s);
    QCOMPARE(forecast.days[1].dayWindForce, u"4级"_s);
    QCOMPARE(forecast.days[2].dayWindForce, u"微风"_s);
    QCOMPARE(forecast.days[1].dayWindDirection, u"东风"_s);

    QVERIFY(index.ok);
    QCOMPARE(index.items.size(), 3);
    QCOMPARE(index.items[0].code, u"ct"_s);
    QCOMPARE(index.items[0].level, u"热"_s);      // (28.2 + 20.6) / 2 = 24.4
    QCOMPARE(index.items[1].code, u"zs"_s);
    QCOMPARE(index.items[1].level, u"少发"_s);    // apparent 30.1
    QCOMPARE(index.items[2].code, u"ys"_s);
    QCOMPARE(index.items[2].level, u"不带伞"_s);  // 10 %
}

void TestWeatherKeyless::badForecastLeavesResults_data()
{
    QTest::addColumn<QByteArray>("body");
    const QByteArray good = weatherSample(u"openmeteo_forecast.json"_s);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("not an object") << QByteArray("[1,2,3]");
    QTest::newRow("error reply") << QByteArray(R"({"error":true,"reason":"Latitude must be in range"})");
    QTest::newRow("temperature a string") << replaced(good, "\"temperature_2m\":24.6", "\"temperature_2m\":\"24.6\"");
    QTest::newRow("temperature NaN") << replaced(good, "\"temperature_2m\":24.6", "\"temperature_2m\":NaN");
    QTest::newRow("temperature null") << replaced(good, "\"temperature_2m\":24.6", "\"temperature_2m\":null");
    QTest::newRow("temperature huge") << replaced(good, "\"temperature_2m\":24.6", "\"temperature_2m\":1e308");
    QTest::newRow("temperature overflow") << replaced(good, "\"temperature_2m\":24.6", "\"temperature_2m\":1e999");
    QTest::newRow("humidity 150") << replaced(good, "\"relative_humidity_2m\":63", "\"relative_humidity_2m\":150");
    QTest::newRow("wind negative") << replaced(good, "\"wind_speed_10m\":14.4", "\"wind_speed_10m\":-3");
    QTest::newRow("direction 400") << replaced(good, "\"wind_direction_10m\":178", "\"wind_direction_10m\":400");
    QTest::newRow("weather code 1000") << replaced(good, "\"weather_code\":2", "\"weather_code\":1000");
    QTest::newRow("weather code fraction") << replaced(good, "\"weather_code\":2", "\"weather_code\":2.5");
    QTest::newRow("time malformed") << replaced(good, "2014-12-08T11:15", "yesterday");
    QTest::newRow("daily not an object") << replaced(good, "\"daily\":{", "\"daily\":[{");
    QTest::newRow("daily array short") << replaced(good, "[28.2,26.0,30.4]", "[28.2]");
    QTest::newRow("daily value a string") << replaced(good, "[10,65,85]", "[10,\"65\",85]");
    QTest::newRow("precipitation 120") << replaced(good, "[10,65,85]", "[10,120,85]");
    QTest::newRow("minimum above maximum") << replaced(good, "[20.6,19.5,22.1]", "[29.6,19.5,22.1]");
    QTest::newRow("no days") << replaced(good, "[\"2014-12-08\",\"2014-12-09\",\"2014-12-10\"]", "[]");
    QTest::newRow("oversized") << good + QByteArray(OpenMeteo::MaxReplyBytes, ' ');
}

void TestWeatherKeyless::badForecastLeavesResults()
{
    QFETCH(QByteArray, body);
    WeatherForecastRequestResult forecast;
    LiveWeatherRequestResult live;
    WeatherIndexRequestResult index;
    QVERIFY(!OpenMeteo::readForecast(body, forecast, live, index));
    QVERIFY(!forecast.ok && !live.ok && !index.ok);
    QVERIFY(forecast.days.isEmpty() && index.items.isEmpty() && live.temperature.isEmpty());
}

void TestWeatherKeyless::ipApi_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("city");
    const QByteArray good = weatherSample(u"ipapi.json"_s);
    QTest::newRow("sample, 市 dropped") << good << true << u"广州"_s;
    QTest::newRow("no city: the region") << replaced(good, "\"city\":\"广州市\"", "\"city\":\"\"") << true
                                         << u"广东"_s;
    QTest::newRow("status fail") << QByteArray(R"({"status":"fail","message":"private range"})") << false
                                 << QString();
    QTest::newRow("no status") << replaced(good, "\"status\":\"success\",", "") << false << QString();
    QTest::newRow("lat a string") << replaced(good, "23.1291", "\"23.1291\"") << false << QString();
    QTest::newRow("lat out of range") << replaced(good, "23.1291", "123.1") << false << QString();
    QTest::newRow("lon out of range") << replaced(good, "113.2644", "-181") << false << QString();
    QTest::newRow("lat overflow") << replaced(good, "23.1291", "1e999") << false << QString();
    QTest::newRow("no lon") << replaced(good, ",\"lon\":113.2644", "") << false << QString();
    QTest::newRow("truncated") << good.left(20) << false << QString();
    QTest::newRow("html") << QByteArray("<html>502</html>") << false << QString();
    QTest::newRow("empty") << QByteArray() << false << QString();
    QTest::newRow("oversized") << good + QByteArray(IpApiLocation::MaxReplyBytes, ' ') << false << QString();
}

void TestWeatherKeyless::ipApi()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QString, city);
    IpApiLocation location;
    PositionInfo position;
    QCOMPARE(location.parse(body, position), ok);
    QCOMPARE(position.city, city);
    QCOMPARE(position.hasCoordinates, ok);
    if (ok) {
        QCOMPARE(position.province, u"广东"_s);
        QCOMPARE(position.latitude, 23.1291);
        QCOMPARE(position.longitude, 113.2644);
    }
}

void TestWeatherKeyless::geocoding_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    const QByteArray good = weatherSample(u"geocoding.json"_s);
    QTest::newRow("sample") << good << true;
    QTest::newRow("nothing found") << QByteArray(R"({"generationtime_ms":0.2})") << false;
    QTest::newRow("empty results") << QByteArray(R"({"results":[]})") << false;
    QTest::newRow("results not a list") << QByteArray(R"({"results":{"latitude":1,"longitude":2}})") << false;
    QTest::newRow("result not an object") << QByteArray(R"({"results":[7]})") << false;
    QTest::newRow("latitude a string") << replaced(good, "23.11667", "\"23.11667\"") << false;
    QTest::newRow("latitude 95") << replaced(good, "23.11667", "95") << false;
    QTest::newRow("longitude missing") << replaced(good, "\"longitude\":113.25,", "") << false;
    QTest::newRow("broken") << good.left(30) << false;
}

void TestWeatherKeyless::geocoding()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    double latitude = -1;
    double longitude = -1;
    QCOMPARE(OpenMeteo::readGeocoding(body, &latitude, &longitude), ok);
    QCOMPARE(latitude, ok ? 23.11667 : -1);
    QCOMPARE(longitude, ok ? 113.25 : -1);
}

void TestWeatherKeyless::serviceChoice_data()
{
    QTest::addColumn<QString>("appId");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("isSigned");
    QTest::newRow("neither") << QString() << QString() << false;
    QTest::newRow("id only") << u"0123456789abcdef"_s << QString() << false;
    QTest::newRow("key only") << QString() << u"k"_s << false;
    QTest::newRow("both") << u"0123456789abcdef"_s << u"private-key"_s << true;
}

void TestWeatherKeyless::serviceChoice()
{
    QFETCH(QString, appId);
    QFETCH(QString, key);
    QFETCH(bool, isSigned);
    FakeNetworkAccessManager *network = installFakeNetwork();
    WeatherRequest::overrideCredentials(appId, key);
    WeatherRequest request;
    QCOMPARE(request.service() == WeatherRequest::Service::Signed, isSigned);
    Results results(request);
    request.request();
    QVERIFY(results.wait());
    // The first request tells the provider: the script lookup for the signed service, the JSON one otherwise.
    QVERIFY(!network->requests().isEmpty());
    QCOMPARE(network->requests().first().toString(), isSigned ? locationAddress() : Endpoints::ipApiLocation());
}

void TestWeatherKeyless::automaticRefreshAsksLocationThenForecast()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    network->setReply(Endpoints::ipApiLocation(), weatherSample(u"ipapi.json"_s));
    network->setReply(ForecastPattern, weatherSample(u"openmeteo_forecast.json"_s));
    WeatherRequest request;
    Results results(request);
    request.request();
    QVERIFY(results.wait());
    QCOMPARE(network->requests().size(), 2);
    const QUrlQuery query(network->requests().at(1));
    QCOMPARE(query.queryItemValue(u"latitude"_s), u"23.1291"_s);
    QCOMPARE(query.queryItemValue(u"longitude"_s), u"113.2644"_s);
    QCOMPARE(query.queryItemValue(u"forecast_days"_s), u"3"_s);
    QCOMPARE(query.queryItemValue(u"timezone"_s), u"auto"_s);
    QVERIFY(query.queryItemValue(u"daily"_s).contains(u"precipitation_probability_max"_s));
    QVERIFY(results.forecastResult().ok && results.liveResult().ok && results.indexResult().ok);
    QCOMPARE(results.liveResult().position.city, u"广州"_s);
    QCOMPARE(results.indexResult().items.size(), 3);
}

void TestWeatherKeyless::failedLocationFailsAllThree()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    network->setReply(Endpoints::ipApiLocation(), R"({"status":"fail","message":"reserved range"})");
    network->setReply(ForecastPattern, weatherSample(u"openmeteo_forecast.json"_s));
    WeatherRequest request;
    Results results(request);
    request.request();
    QVERIFY(results.wait());
    QVERIFY(!results.forecastResult().ok && !results.liveResult().ok && !results.indexResult().ok);
    QCOMPARE(network->requestCount(Endpoints::openMeteoForecast()), 0);
}

void TestWeatherKeyless::chosenCityIsGeocodedOnce()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    network->setReply(GeocodingPattern, weatherSample(u"geocoding.json"_s));
    network->setReply(ForecastPattern, weatherSample(u"openmeteo_forecast.json"_s));
    GlobalSettings *settings = GlobalSettings::instance();
    settings->setWeatherCity(u"101280101"_s);
    WeatherRequest request;
    {
        Results results(request);
        request.request();
        QVERIFY(results.wait());
        QVERIFY(results.liveResult().ok);
        QCOMPARE(results.liveResult().position.city, u"广州"_s);
        QCOMPARE(results.liveResult().position.province, u"广东"_s);
    }
    QCOMPARE(network->requestCount(Endpoints::ipApiLocation()), 0);
    QCOMPARE(network->requestCount(Endpoints::openMeteoGeocoding()), 1);
    QCOMPARE(QUrlQuery(network->requests().first()).queryItemValue(u"name"_s), u"广州"_s);
    QVERIFY(settings->hasWeatherCityCoordinates());
    QCOMPARE(settings->weatherCityLatitude(), 23.11667);

    // The coordinates were saved with the city: a later start asks the forecast alone.
    settings->resetForTest();
    settings->load(settings->settingsFilePath());
    QCOMPARE(settings->weatherCity(), u"101280101"_s);
    QCOMPARE(settings->weatherCityLongitude(), 113.25);
    network->clearRequests();
    Results again(request);
    request.request();
    QVERIFY(again.wait());
    QCOMPARE(network->requestCount(Endpoints::openMeteoGeocoding()), 0);
    QCOMPARE(network->requestCount(Endpoints::openMeteoForecast()), 1);
    QCOMPARE(QUrlQuery(network->requests().first()).queryItemValue(u"latitude"_s), u"23.1167"_s);
}

void TestWeatherKeyless::failedGeocodingKeepsNoCoordinates()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    network->setReply(GeocodingPattern, R"({"generationtime_ms":0.2})");
    GlobalSettings::instance()->setWeatherCity(u"101010100"_s);
    WeatherRequest request;
    Results results(request);
    request.request();
    QVERIFY(results.wait());
    QVERIFY(!results.liveResult().ok);
    QVERIFY(!GlobalSettings::instance()->hasWeatherCityCoordinates());
    QCOMPARE(network->requestCount(Endpoints::openMeteoForecast()), 0);
}

void TestWeatherKeyless::chosenCityWithSignedServiceUsesItsAreaId()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    WeatherRequest::overrideCredentials(u"0123456789abcdef"_s, u"private-key"_s);
    // 朝阳 of Beijing: the name alone would find the one of Liaoning.
    GlobalSettings::instance()->setWeatherCity(u"101010300"_s);
    WeatherRequest request;
    Results results(request);
    request.request();
    QVERIFY(results.wait());
    QCOMPARE(network->requestCount(locationAddress()), 0);
    QCOMPARE(network->requests().size(), 3);
    for (const QUrl &url : network->requests())
        QCOMPARE(QUrlQuery(url).queryItemValue(u"areaid"_s), u"101010300"_s);
    QCOMPARE(results.liveResult().position.city, u"朝阳"_s);
}

QPA_TEST_MAIN(TestWeatherKeyless)
#include "tst_weatherkeyless.moc"

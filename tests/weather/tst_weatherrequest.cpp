// Signed weather requests, the three reply readers and the order of results of one refresh.
#include "WeatherRequest.h"

#include "Network.h"
#include "TestMain.h"
#include "WeatherSamples.h"

#include <QLoggingCategory>
#include <QMutexLocker>
#include <QSignalSpy>
#include <QUrlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(WeatherForecastDay)

class TestWeatherRequest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useSignedService(); }
    void hmacSha1_data();
    void hmacSha1();
    void requestUrl_data();
    void requestUrl();
    void signatureCoversFullAppId();

    void forecastSample();
    void forecast_data();
    void forecast();
    void liveSample();
    void live_data();
    void live();
    void indexSample();
    void index_data();
    void index();

    void missingCityFailsAtOnceInOrder_data();
    void missingCityFailsAtOnceInOrder();
    void refreshWithSampleReplies();
    void brokenRepliesFail();
    void slotWithoutReplyFails();
    void requestResetsResults();
    void withoutNetworkAllThreeArrive();
};

void TestWeatherRequest::hmacSha1_data()
{
    // RFC 2202, section 3.
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("case 1") << QByteArray(20, '\x0b') << QByteArray("Hi There")
                            << QByteArray("b617318655057264e28bc0b6fb378c8ef146be00");
    QTest::newRow("case 2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                            << QByteArray("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    QTest::newRow("case 3") << QByteArray(20, '\xaa') << QByteArray(50, '\xdd')
                            << QByteArray("125d7342b9ac11cd91a39af48aa17b4f63f175d3");
    QTest::newRow("case 4") << QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10111213141516171819")
                            << QByteArray(50, '\xcd')
                            << QByteArray("4c9007f4026250c6bc8414f9bf50c86c2d7235da");
    QTest::newRow("case 5") << QByteArray(20, '\x0c') << QByteArray("Test With Truncation")
                            << QByteArray("4c1a03424b55e07fe7f27be1d58bb9324a9a5a04");
    QTest::newRow("case 6, key longer than a block")
        << QByteArray(80, '\xaa') << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
        << QByteArray("aa4ae5e15272d00e95705637ce8a3b55ed402112");
    QTest::newRow("case 7, key and data longer than a block")
        << QByteArray(80, '\xaa')
        << QByteArray("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data")
        << QByteArray("e8e99d0f45237d786d6bbaa7965c7808bbff1a91");
}

void TestWeatherRequest::hmacSha1()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, digest);
    const QByteArray signature = WeatherRequest::signature(data, key);
    QCOMPARE(QByteArray::fromBase64(signature).toHex(), digest);
    QCOMPARE(signature, QByteArray::fromHex(digest).toBase64());
}

void TestWeatherRequest::requestUrl_data()
{
    // Signatures worked out separately (openssl dgst -sha1 -hmac ... | base64) over
    // "http://open.weather.com.cn/data/?areaid=101010100&type=<type>&date=201407082000&appid=0123456789abcdef".
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("url");
    QTest::newRow("forecast, slash and equals escaped")
        << u"forecast3d"_s
        << QByteArray("http://open.weather.com.cn/data/?areaid=101010100&type=forecast3d&date=201407082000"
                      "&appid=012345&key=pTFE7gA6NJ%2FIsicG8HzBRBzP99Q%3D");
    QTest::newRow("observe") << u"observe"_s
                             << QByteArray("http://open.weather.com.cn/data/?areaid=101010100&type=observe"
                                           "&date=201407082000&appid=012345&key=0KSAPoHn0d%2FS0j6dT95gnt2jQ38%3D");
    QTest::newRow("index, plus escaped")
        << u"index"_s
        << QByteArray("http://open.weather.com.cn/data/?areaid=101010100&type=index&date=201407082000"
                      "&appid=012345&key=vyNA2%2BQDdtddgS4iZ%2BkZ3PcSAeI%3D");
}

void TestWeatherRequest::requestUrl()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, url);
    const QDateTime evening(QDate(2014, 7, 8), QTime(20, 0, 59));
    const QUrl actual = WeatherRequest::requestUrl(u"101010100"_s, type, evening,
                                                   u"http://open.weather.com.cn/"_s,
                                                   u"0123456789abcdef"_s, u"abcdefghijklmnopqrstuvwxyz1234"_s);
    QCOMPARE(actual.toEncoded(), url);
    QCOMPARE(actual.toString(QUrl::FullyEncoded).toLatin1(), url);
    // The signature survives the trip through the URL unchanged.
    const QString key = QUrlQuery(actual).queryItemValue(u"key"_s, QUrl::FullyDecoded);
    QCOMPARE(QByteArray::fromBase64(key.toLatin1()).size(), 20);
}

void TestWeatherRequest::signatureCoversFullAppId()
{
    const QDateTime time(QDate(2014, 7, 8), QTime(9, 5));
    const QString root = u"http://open.weather.com.cn/"_s;
    const QUrl a = WeatherRequest::requestUrl(u"101010100"_s, u"index"_s, time, root,
                                              u"0123456789abcdef"_s, u"k"_s);
    const QUrl b = WeatherRequest::requestUrl(u"101010100"_s, u"index"_s, time, root,
                                              u"012345ffffffffff"_s, u"k"_s);
    const QUrlQuery qa(a), qb(b);
    QCOMPARE(qa.queryItemValue(u"appid"_s), u"012345"_s);
    QCOMPARE(qb.queryItemValue(u"appid"_s), u"012345"_s);
    QVERIFY(qa.queryItemValue(u"key"_s) != qb.queryItemValue(u"key"_s));
    QCOMPARE(qa.queryItemValue(u"date"_s), u"201407080905"_s);
    const QStringList names{u"areaid"_s, u"type"_s, u"date"_s, u"appid"_s, u"key"_s};
    QStringList actual;
    for (const auto &item : qa.queryItems())
        actual << item.first;
    QCOMPARE(actual, names);
}

void TestWeatherRequest::forecastSample()
{
    WeatherForecastRequestResult result;
    QVERIFY(readWeatherForecast(weatherSample(u"forecast3d.json"_s), result));
    QCOMPARE(result.releaseTime, u"20:00"_s);
    QCOMPARE(result.days.size(), 3);
    const WeatherForecastDay &today = result.days.at(0);
    QCOMPARE(today.dayTemperature, QString());
    QCOMPARE(today.nightTemperature, u"26"_s);
    QCOMPARE(today.dayPhenomenon, QString());
    QCOMPARE(today.nightPhenomenon, u"07"_s);
    QCOMPARE(today.dayWindForce, QString());
    QCOMPARE(today.nightWindForce, u"微风"_s);
    QCOMPARE(today.dayWindDirection, QString());
    QCOMPARE(today.nightWindDirection, u"南风"_s);
    const WeatherForecastDay &tomorrow = result.days.at(1);
    QCOMPARE(tomorrow.dayTemperature, u"33"_s);
    QCOMPARE(tomorrow.dayPhenomenon, u"04"_s);
    QCOMPARE(tomorrow.nightPhenomenon, u"01"_s);
    QCOMPARE(tomorrow.dayWindForce, u"3-4级"_s);
    QCOMPARE(tomorrow.dayWindDirection, u"南风"_s);
    QCOMPARE(result.days.at(2).nightWindDirection, u"北风"_s);
}

void TestWeatherRequest::forecast_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("releaseTime");
    QTest::addColumn<int>("days");

    QTest::newRow("empty f0") << QByteArray(R"({"f":{"f0":"","f1":[{}]}})") << true << QString() << 1;
    QTest::newRow("no f0") << QByteArray(R"({"f":{"f1":[]}})") << true << QString() << 0;
    QTest::newRow("morning release") << QByteArray(R"({"f":{"f0":"201407080800","f1":[]}})") << true
                                     << u"08:00"_s << 0;
    QTest::newRow("short f0 kept") << QByteArray(R"({"f":{"f0":"8","f1":[]}})") << true << u"8"_s << 0;
    QTest::newRow("f without f1") << QByteArray(R"({"f":{"f0":"201407082000"}})") << false
                                  << u"20:00"_s << 0;
    QTest::newRow("f1 a string") << QByteArray(R"({"f":{"f0":"201407082000","f1":"x"}})") << false
                                 << u"20:00"_s << 0;
    QTest::newRow("f1 an object") << QByteArray(R"({"f":{"f1":{"fa":"01"}}})") << false << QString() << 0;
    QTest::newRow("f a string") << QByteArray(R"({"f":"f1"})") << false << QString() << 0;
    QTest::newRow("no f") << QByteArray(R"({"c":{}})") << false << QString() << 0;
    QTest::newRow("top-level array") << QByteArray(R"([{"f":{"f1":[]}}])") << false << QString() << 0;
    QTest::newRow("elements not objects") << QByteArray(R"({"f":{"f1":[1,"a",null]}})") << true
                                          << QString() << 3;
    QTest::newRow("empty body") << QByteArray() << false << QString() << 0;
    QTest::newRow("html") << QByteArray("<html>error</html>") << false << QString() << 0;
    QTest::newRow("truncated sample") << weatherSample(u"forecast3d.json"_s).left(300) << false
                                      << QString() << 0;
    QTest::newRow("nesting bomb") << QByteArray(100000, '[') << false << QString() << 0;
}

void TestWeatherRequest::forecast()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QString, releaseTime);
    QFETCH(int, days);
    WeatherForecastRequestResult result;
    QCOMPARE(readWeatherForecast(body, result), ok);
    QCOMPARE(result.releaseTime, releaseTime);
    QCOMPARE(result.days.size(), days);
    for (const WeatherForecastDay &day : result.days)
        QVERIFY(day.dayPhenomenon.isEmpty() && day.dayWindForce.isEmpty());
}

void TestWeatherRequest::liveSample()
{
    LiveWeatherRequestResult result;
    result.position.city = u"广州"_s;
    QVERIFY(readLiveWeather(weatherSample(u"observe.json"_s), result));
    QCOMPARE(result.temperature, u"28"_s);
    QCOMPARE(result.humidity, u"65"_s);
    QCOMPARE(result.windForce, u"3"_s);
    QCOMPARE(result.windDirection, u"北风"_s);
    QCOMPARE(result.time, u"21:15"_s);
    QCOMPARE(result.position.city, u"广州"_s);
}

void TestWeatherRequest::live_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("windDirection");
    QTest::newRow("members missing") << QByteArray(R"({"l":{}})") << true << QString() << QString();
    QTest::newRow("numbers") << QByteArray(R"({"l":{"l1":-3,"l4":"9"}})") << true << u"-3"_s << u"旋转风"_s;
    QTest::newRow("direction out of table") << QByteArray(R"({"l":{"l4":"12"}})") << true << QString()
                                            << QString();
    QTest::newRow("l a string") << QByteArray(R"({"l":"l1"})") << false << QString() << QString();
    QTest::newRow("l an array") << QByteArray(R"({"l":[{"l1":"1"}]})") << false << QString() << QString();
    QTest::newRow("no l") << QByteArray(R"({"f":{}})") << false << QString() << QString();
    QTest::newRow("empty") << QByteArray() << false << QString() << QString();
    QTest::newRow("truncated") << QByteArray(R"({"l":{"l1":"28")") << false << QString() << QString();
}

void TestWeatherRequest::live()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QString, temperature);
    QFETCH(QString, windDirection);
    LiveWeatherRequestResult result;
    QCOMPARE(readLiveWeather(body, result), ok);
    QCOMPARE(result.temperature, temperature);
    QCOMPARE(result.windDirection, windDirection);
}

void TestWeatherRequest::indexSample()
{
    // Normal use says nothing on stderr.
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { messages.append(message); });
    WeatherIndexRequestResult quiet;
    const bool quietOk = readWeatherIndex(weatherSample(u"index.json"_s), quiet);
    qInstallMessageHandler(previous);
    QVERIFY(quietOk);
    QCOMPARE(messages, QStringList());

    // Asked for through the logging rules, one line per index.
    QLoggingCategory::setFilterRules(u"qpa.weather.debug=true"_s);
    WeatherIndexRequestResult result;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(u"^weather index result: ct\t穿衣指数$"_s));
    for (int i = 1; i < 6; ++i)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(u"^weather index result: "_s));
    const bool ok = readWeatherIndex(weatherSample(u"index.json"_s), result);
    QLoggingCategory::setFilterRules(QString());
    QVERIFY(ok);
    QCOMPARE(result.items.size(), 6);
    QCOMPARE(result.items.at(0).code, u"ct"_s);
    QCOMPARE(result.items.at(0).name, u"穿衣指数"_s);
    QCOMPARE(result.items.at(0).level, u"炎热"_s);
    QVERIFY(result.items.at(0).description.startsWith(u"天气炎热"_s));
    QCOMPARE(result.items.at(5).code, u"uv"_s);
}

void TestWeatherRequest::index_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("items");
    QTest::newRow("empty list") << QByteArray(R"({"i":[]})") << true << 0;
    QTest::newRow("item without members") << QByteArray(R"({"i":[{}]})") << true << 1;
    QTest::newRow("i an object") << QByteArray(R"({"i":{"i1":"ct"}})") << false << 0;
    QTest::newRow("i a string") << QByteArray(R"({"i":"ct"})") << false << 0;
    QTest::newRow("no i") << QByteArray(R"({})") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("unterminated") << QByteArray(R"({"i":[{"i1":"ct"})") << false << 0;
}

void TestWeatherRequest::index()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(int, items);
    WeatherIndexRequestResult result;
    QCOMPARE(readWeatherIndex(body, result), ok);
    QCOMPARE(result.items.size(), items);
}

void TestWeatherRequest::missingCityFailsAtOnceInOrder_data()
{
    QTest::addColumn<QString>("city");
    QTest::newRow("unknown city") << u"火星"_s;
    QTest::newRow("with suffix") << u"北京市"_s;
    QTest::newRow("empty") << QString();
}

void TestWeatherRequest::missingCityFailsAtOnceInOrder()
{
    QFETCH(QString, city);
    FakeNetworkAccessManager *network = installFakeNetwork();
    WeatherRequest request;
    QStringList order;
    connect(&request, qOverload<WeatherForecastRequestResult>(&WeatherRequest::finished), this,
            [&](const WeatherForecastRequestResult &r) { order << (r.ok ? u"forecast ok"_s : u"forecast"_s); });
    connect(&request, qOverload<LiveWeatherRequestResult>(&WeatherRequest::finished), this,
            [&](const LiveWeatherRequestResult &r) {
                order << (r.ok ? u"live ok"_s : u"live"_s);
                QCOMPARE(r.position.city, city);
            });
    connect(&request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished), this,
            [&](const WeatherIndexRequestResult &r) { order << (r.ok ? u"index ok"_s : u"index"_s); });
    PositionInfo position;
    position.city = city;
    request.onLocationFinished(position);
    QCOMPARE(order, (QStringList{u"forecast"_s, u"live"_s, u"index"_s}));
    QCOMPARE(network->requests().size(), 0);
}

void TestWeatherRequest::refreshWithSampleReplies()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    serveGuangzhou(network);
    WeatherRequest request;
    QSignalSpy forecast(&request, qOverload<WeatherForecastRequestResult>(&WeatherRequest::finished));
    QSignalSpy live(&request, qOverload<LiveWeatherRequestResult>(&WeatherRequest::finished));
    QSignalSpy index(&request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished));
    request.request();
    QTRY_VERIFY(forecast.count() == 1 && live.count() == 1 && index.count() == 1);

    const auto f = forecast.at(0).at(0).value<WeatherForecastRequestResult>();
    const auto l = live.at(0).at(0).value<LiveWeatherRequestResult>();
    const auto i = index.at(0).at(0).value<WeatherIndexRequestResult>();
    QVERIFY(f.ok && l.ok && i.ok);
    QCOMPARE(f.days.size(), 3);
    QCOMPARE(l.position.city, u"广州"_s);
    QCOMPARE(l.position.province, u"广东"_s);
    QCOMPARE(l.temperature, u"28"_s);
    QCOMPARE(i.items.size(), 6);

    const QList<QUrl> sent = network->requests();
    QCOMPARE(sent.size(), 4);
    QCOMPARE(sent.at(0).toString(), locationAddress());
    const QStringList types{u"forecast3d"_s, u"observe"_s, u"index"_s};
    for (int n = 0; n < 3; ++n) {
        const QUrlQuery query(sent.at(n + 1));
        QCOMPARE(sent.at(n + 1).toString(QUrl::RemoveQuery), Endpoints::weatherService() + u"data/"_s);
        QCOMPARE(query.queryItemValue(u"areaid"_s), u"101280101"_s);
        QCOMPARE(query.queryItemValue(u"type"_s), types.at(n));
    }
}

void TestWeatherRequest::brokenRepliesFail()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    network->setReply(locationAddress(), weatherSample(u"sina.js"_s));
    network->setReply(weatherAddress(u"101280101"_s, u"forecast3d"_s), QByteArray(R"({"f":{"f1":"x"}})"));
    network->setReply(weatherAddress(u"101280101"_s, u"observe"_s), QByteArray(300000, '{'));
    network->setError(weatherAddress(u"101280101"_s, u"index"_s), QNetworkReply::ConnectionRefusedError);
    WeatherRequest request;
    QSignalSpy forecast(&request, qOverload<WeatherForecastRequestResult>(&WeatherRequest::finished));
    QSignalSpy live(&request, qOverload<LiveWeatherRequestResult>(&WeatherRequest::finished));
    QSignalSpy index(&request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished));
    request.request();
    QTRY_VERIFY(forecast.count() == 1 && live.count() == 1 && index.count() == 1);
    QVERIFY(!forecast.at(0).at(0).value<WeatherForecastRequestResult>().ok);
    QVERIFY(!live.at(0).at(0).value<LiveWeatherRequestResult>().ok);
    QVERIFY(!index.at(0).at(0).value<WeatherIndexRequestResult>().ok);
    // The position is carried along even when the observation failed.
    QCOMPARE(live.at(0).at(0).value<LiveWeatherRequestResult>().position.city, u"广州"_s);
}

void TestWeatherRequest::slotWithoutReplyFails()
{
    WeatherRequest request;
    QSignalSpy forecast(&request, qOverload<WeatherForecastRequestResult>(&WeatherRequest::finished));
    QSignalSpy live(&request, qOverload<LiveWeatherRequestResult>(&WeatherRequest::finished));
    QSignalSpy index(&request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished));
    request.onWeatherForecastRequestFinished();
    request.onLiveWeatherRequestFinished();
    request.onWeatherIndexRequestFinished();
    QCOMPARE(forecast.count(), 1);
    QCOMPARE(live.count(), 1);
    QCOMPARE(index.count(), 1);
    QVERIFY(!forecast.at(0).at(0).value<WeatherForecastRequestResult>().ok);
    QVERIFY(!live.at(0).at(0).value<LiveWeatherRequestResult>().ok);
    QVERIFY(!index.at(0).at(0).value<WeatherIndexRequestResult>().ok);
}

void TestWeatherRequest::requestResetsResults()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    serveGuangzhou(network);
    WeatherRequest request;
    QSignalSpy index(&request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished));
    request.request();
    QTRY_COMPARE(index.count(), 1);
    // A second refresh must not append to the first one's items.
    request.request();
    QTRY_COMPARE(index.count(), 2);
    QCOMPARE(index.at(1).at(0).value<WeatherIndexRequestResult>().items.size(), 6);
}

void TestWeatherRequest::withoutNetworkAllThreeArrive()
{
    {
        QMutexLocker locker(&g_networkMutex);
        delete g_networkAccessManager;
        g_networkAccessManager = nullptr;
    }
    WeatherRequest request;
    QSignalSpy forecast(&request, qOverload<WeatherForecastRequestResult>(&WeatherRequest::finished));
    QSignalSpy live(&request, qOverload<LiveWeatherRequestResult>(&WeatherRequest::finished));
    QSignalSpy index(&request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished));
    PositionInfo position;
    position.city = u"北京"_s;
    request.onLocationFinished(position);
    QTRY_VERIFY(forecast.count() == 1 && live.count() == 1 && index.count() == 1);
    QVERIFY(!forecast.at(0).at(0).value<WeatherForecastRequestResult>().ok);
    request.request();
    QTRY_VERIFY(forecast.count() == 2 && live.count() == 2 && index.count() == 2);
}

QPA_TEST_MAIN(TestWeatherRequest)
#include "tst_weatherrequest.moc"

// The IP-location lookup: reading Sina's script-wrapped replies and one answer per request.
#include "SinaLocation.h"

#include "Network.h"
#include "TestMain.h"
#include "WeatherSamples.h"

#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestWeatherLocation : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void url();
    void requestEmitsOnce_data();
    void requestEmitsOnce();
    void twoRequestsTwoAnswers();
    void withoutNetworkStillAnswers();
};

void TestWeatherLocation::parse_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("province");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QString>("isp");

    QTest::newRow("sample with escapes") << weatherSample(u"sina.js"_s) << true << u"广东"_s
                                         << u"广州"_s << u"电信"_s;
    QTest::newRow("utf-8 text, semicolon after")
        << u"var remote_ip_info = {\"province\":\"广东\",\"city\":\"广州\",\"isp\":\"电信\"};"_s.toUtf8()
        << true << u"广东"_s << u"广州"_s << u"电信"_s;
    QTest::newRow("no city") << QByteArray("var x = {\"ret\":1,\"province\":\"\\u5317\\u4eac\"};") << true
                             << u"北京"_s << QString() << QString();
    QTest::newRow("number as city") << QByteArray("{\"city\":5}") << true << QString() << u"5"_s
                                    << QString();
    QTest::newRow("empty reply") << QByteArray() << false << QString() << QString() << QString();
    QTest::newRow("no brace") << QByteArray("-3") << false << QString() << QString() << QString();
    QTest::newRow("html error page") << QByteArray("<html><body>502 Bad Gateway</body></html>") << false
                                     << QString() << QString() << QString();
    QTest::newRow("truncated") << QByteArray("var x = {\"province\":\"a\",\"city\":\"b") << false
                               << QString() << QString() << QString();
    QTest::newRow("array in braces") << QByteArray("{[1,2]}") << false << QString() << QString()
                                     << QString();
    QTest::newRow("deep nesting") << QByteArray("{\"a\":") + QByteArray(200000, '[') << false
                                  << QString() << QString() << QString();
}

void TestWeatherLocation::parse()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    QFETCH(QString, province);
    QFETCH(QString, city);
    QFETCH(QString, isp);

    SinaLocation location;
    PositionInfo position;
    QCOMPARE(location.parse(reply, position), ok);
    QCOMPARE(position.province, province);
    QCOMPARE(position.city, city);
    QCOMPARE(position.isp, isp);
}

void TestWeatherLocation::url()
{
    SinaLocation location;
    QCOMPARE(location.url(), Endpoints::ipLocationService() + u"iplookup/iplookup.php?format=js"_s);
    QVERIFY(QUrl(location.url()).isValid());
}

void TestWeatherLocation::requestEmitsOnce_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("networkError");
    QTest::addColumn<QString>("city");
    QTest::newRow("sample") << weatherSample(u"sina.js"_s) << false << u"广州"_s;
    QTest::newRow("garbage") << QByteArray("\xff\xfe{{{") << false << QString();
    QTest::newRow("network error") << QByteArray() << true << QString();
}

void TestWeatherLocation::requestEmitsOnce()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, networkError);
    QFETCH(QString, city);

    FakeNetworkAccessManager *network = installFakeNetwork();
    if (networkError)
        network->setError(locationAddress(), QNetworkReply::HostNotFoundError);
    else
        network->setReply(locationAddress(), reply);

    SinaLocation location;
    QSignalSpy spy(&location, &Location::locFinished);
    location.request();
    QCOMPARE(spy.count(), 0); // the answer comes from the event loop
    QVERIFY(spy.wait(2000));
    QTest::qWait(20);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<PositionInfo>().city, city);
    QCOMPARE(network->requests().size(), 1);
    QCOMPARE(network->requests().at(0).toString(), locationAddress());
}

void TestWeatherLocation::twoRequestsTwoAnswers()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    network->setReply(locationAddress(), weatherSample(u"sina.js"_s));
    network->setHold(true);

    SinaLocation location;
    QSignalSpy spy(&location, &Location::locFinished);
    location.request();
    location.request();
    network->release();
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(network->requests().size(), 2);
}

void TestWeatherLocation::withoutNetworkStillAnswers()
{
    {
        QMutexLocker locker(&g_networkMutex);
        delete g_networkAccessManager;
        g_networkAccessManager = nullptr;
    }
    SinaLocation location;
    QSignalSpy spy(&location, &Location::locFinished);
    location.request();
    QVERIFY(spy.wait(2000));
    QCOMPARE(spy.count(), 1);
    QVERIFY(spy.at(0).at(0).value<PositionInfo>().city.isEmpty());
}

QPA_TEST_MAIN(TestWeatherLocation)
#include "tst_weatherlocation.moc"

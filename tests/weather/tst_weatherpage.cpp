// The weather page: placeholders, filling from replies, pictures, index tiles, the idle mask and copying.
#include "WeatherWidget.h"

#include "GlobalSettings.h"
#include "LunarCalendar.h"
#include "MyMessageBox.h"
#include "Network.h"
#include "TestMain.h"
#include "TestTools.h"
#include "WeatherIndexWidget.h"
#include "WeatherSamples.h"

#include <QClipboard>
#include <QLabel>
#include <QMutexLocker>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;
using QpaTest::child;

class TestWeatherPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void formBeforeAnyData();
    void join_data();
    void join();
    void missingCityShowsPlaceholders();
    void samplesFillThePage();
    void dayCodes_data();
    void dayCodes();
    void fewerThanThreeDays();
    void indexTiles_data();
    void indexTiles();
    void indexIcons_data();
    void indexIcons();
    void brokenRepliesShowPlaceholders_data();
    void brokenRepliesShowPlaceholders();
    void refreshTwiceStartsOneRefresh();
    void buttonsReturnOnlyAfterAllThree_data();
    void buttonsReturnOnlyAfterAllThree();
    void withoutNetworkButtonsReturn();
    void dateLabels();
    void copyLeavesOutTheToolButtons();
    void savedWeatherAfterFailedRefresh();
    void badKeylessRepliesAreNotSaved_data();
    void badKeylessRepliesAreNotSaved();
    void brokenSavedWeatherIsIgnored();

private:
    static QString text(QWidget *page, const QString &name) { return child<QLabel>(page, name)->text(); }
    static QImage picture(const QString &relative, const QSize &size);
    static QImage shown(QWidget *page, const QString &name);
    static void waitIdle(WeatherWidget &page);
    static QString resources() { return GlobalSettings::instance()->resourcesDirectory(); }
    static QString savedWeatherPath();
    static void serveKeyless(FakeNetworkAccessManager *network, const QByteArray &forecast);
};

QImage TestWeatherPage::picture(const QString &relative, const QSize &size)
{
    QPixmap pixmap(resources() + relative);
    return pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage();
}

QImage TestWeatherPage::shown(QWidget *page, const QString &name)
{
    return child<QLabel>(page, name)->pixmap().toImage();
}

void TestWeatherPage::waitIdle(WeatherWidget &page)
{
    QTRY_COMPARE_WITH_TIMEOUT(page.finishedMask(), 7, 3000);
}

void TestWeatherPage::initTestCase()
{
    MyMessageBox::setAutoAnswer(true);
    // These tests play the signed service unless they say otherwise.
    useSignedService();
    // The page's pictures come from the built artwork; without it the picture checks would be void.
    for (const QString &name : {u"weather/day/undefined.png"_s, u"weather/day/07.png"_s,
                                u"weather/day/01.png"_s, u"weather_bg.jpg"_s})
        QVERIFY2(QFile::exists(resources() + name), qPrintable(resources() + name));
}

void TestWeatherPage::init()
{
    MyMessageBox::shownMessages().clear();
    installFakeNetwork();
    QFile::remove(savedWeatherPath());
}

QString TestWeatherPage::savedWeatherPath()
{
    return GlobalSettings::instance()->dataFilePath(u"weather.dat"_s);
}

void TestWeatherPage::serveKeyless(FakeNetworkAccessManager *network, const QByteArray &forecast)
{
    network->setReply(Endpoints::ipApiLocation(), weatherSample(u"ipapi.json"_s));
    network->setReply(Endpoints::openMeteoForecast() + u"*"_s, forecast);
}

void TestWeatherPage::formBeforeAnyData()
{
    WeatherWidget page;
    QCOMPARE(page.finishedMask(), -1);
    QCOMPARE(page.height(), 470);
    QCOMPARE(child<QWidget>(&page, u"forecastWidget_"_s)->size(), QSize(482, 242));
    QCOMPARE(child<QWidget>(&page, u"indexWidget_"_s)->height(), 82);
    QCOMPARE(text(&page, u"forecast_"_s), u"72小时预报"_s);
    QCOMPARE(text(&page, u"today_"_s), u"今天"_s);
    QCOMPARE(text(&page, u"tomorrow_"_s), u"明天"_s);
    QCOMPARE(text(&page, u"label_2"_s), u"后天"_s);
    QVERIFY(page.findChild<QWidget *>(u"day3"_s));
    auto *refresh = child<QToolButton>(&page, u"refresh_"_s);
    auto *copy = child<QToolButton>(&page, u"copy_"_s);
    QCOMPARE(refresh->toolTip(), u"更新天气"_s);
    QCOMPARE(copy->toolTip(), u"拷贝天气信息到剪切板"_s);
    QCOMPARE(refresh->iconSize(), QSize(24, 24));
    QVERIFY(!refresh->icon().isNull());
    QVERIFY(refresh->isEnabled());
    QVERIFY(!child<WeatherIndexWidget>(&page, u"index1_"_s)->isHidden());
    for (const QString &name : {u"index2_"_s, u"index3_"_s, u"index4_"_s})
        QVERIFY(child<WeatherIndexWidget>(&page, name)->isHidden());
    auto *tile = child<WeatherIndexWidget>(&page, u"index1_"_s);
    QCOMPARE(tile->size(), QSize(211, 82));
    for (const QString &name : {u"name_"_s, u"level_"_s, u"text_"_s})
        QCOMPARE(text(tile, name), u"N/A"_s);
    QCOMPARE(child<QLabel>(&page, u"image1_"_s)->size(), QSize(70, 70));
}

void TestWeatherPage::join_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("joined");
    QTest::newRow("both empty") << QString() << QString() << u"未知"_s;
    QTest::newRow("first empty") << QString() << u"小雨"_s << u"小雨"_s;
    QTest::newRow("second empty") << u"33"_s << QString() << u"33"_s;
    QTest::newRow("equal") << u"多云"_s << u"多云"_s << u"多云"_s;
    QTest::newRow("different") << u"晴"_s << u"多云"_s << u"晴转多云"_s;
}

void TestWeatherPage::join()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, joined);
    QCOMPARE(WeatherWidget::join(first, second, u"转"_s), joined);
}

void TestWeatherPage::missingCityShowsPlaceholders()
{
    auto *network = static_cast<FakeNetworkAccessManager *>(g_networkAccessManager);
    network->setReply(locationAddress(), "var remote_ip_info = {\"city\":\"\\u706b\\u661f\"};");
    WeatherWidget page;
    page.onRequestWeather();
    QVERIFY(!child<QWidget>(&page, u"toolWidget_"_s)->isEnabled());
    waitIdle(page);

    QCOMPARE(network->requests().size(), 1); // no weather request for a city without area id
    for (const QString &name : {u"city_"_s, u"temp_"_s, u"wind_"_s, u"humidity_"_s, u"releaseTime_"_s,
                                u"forecastReleaseTime_"_s, u"temp1_"_s, u"weather1_"_s, u"wind1_"_s,
                                u"temp2_"_s, u"weather2_"_s, u"wind2_"_s, u"temp3_"_s, u"weather3_"_s,
                                u"wind3_"_s})
        QCOMPARE(text(&page, name), u"N/A"_s);
    const QImage undefined = picture(u"weather/day/undefined.png"_s, QSize(70, 70));
    QVERIFY(!undefined.isNull());
    for (const QString &name : {u"image1_"_s, u"image2_"_s, u"image3_"_s})
        QCOMPARE(shown(&page, name), undefined);
    auto *tile = child<WeatherIndexWidget>(&page, u"index1_"_s);
    QCOMPARE(text(tile, u"name_"_s), u"N/A"_s);
    QCOMPARE(text(tile, u"text_"_s), u"N/A"_s);
    QCOMPARE(text(tile, u"level_"_s), QString());
    QVERIFY(child<QLabel>(tile, u"image_"_s)->pixmap().isNull());
    QVERIFY(child<QWidget>(&page, u"toolWidget_"_s)->isEnabled());
    QVERIFY(child<QToolButton>(&page, u"refresh_"_s)->isEnabled());
    QVERIFY(MyMessageBox::shownMessages().isEmpty());
}

void TestWeatherPage::samplesFillThePage()
{
    serveGuangzhou(static_cast<FakeNetworkAccessManager *>(g_networkAccessManager));
    WeatherWidget page;
    page.onRequestWeather();
    waitIdle(page);

    QCOMPARE(text(&page, u"city_"_s), u"广州"_s);
    QCOMPARE(text(&page, u"releaseTime_"_s), u"(21:15实况)"_s);
    QCOMPARE(text(&page, u"temp_"_s), u"28℃"_s);
    QCOMPARE(text(&page, u"wind_"_s), u"北风(3级)"_s);
    QCOMPARE(text(&page, u"humidity_"_s), u"相对湿度:65%"_s);
    QCOMPARE(text(&page, u"forecastReleaseTime_"_s), u"20:00发布"_s);
    // Tonight's reply has no daytime temperature for today; tomorrow's stands in.
    QCOMPARE(text(&page, u"temp1_"_s), u"33-26℃"_s);
    QCOMPARE(text(&page, u"weather1_"_s), u"小雨"_s);
    QCOMPARE(text(&page, u"wind1_"_s), u"微风"_s);
    QCOMPARE(text(&page, u"temp2_"_s), u"33-26℃"_s);
    QCOMPARE(text(&page, u"weather2_"_s), u"雷阵雨转多云"_s);
    QCOMPARE(text(&page, u"wind2_"_s), u"3-4级转微风"_s);
    QCOMPARE(text(&page, u"temp3_"_s), u"35-27℃"_s);
    QCOMPARE(text(&page, u"weather3_"_s), u"晴"_s);
    QCOMPARE(text(&page, u"wind3_"_s), u"微风"_s);
    QCOMPARE(shown(&page, u"image1_"_s), picture(u"weather/day/07.png"_s, QSize(70, 70)));
    QCOMPARE(shown(&page, u"image2_"_s), picture(u"weather/day/04.png"_s, QSize(70, 70)));
    QCOMPARE(shown(&page, u"image3_"_s), picture(u"weather/day/00.png"_s, QSize(70, 70)));
    // Texts of the replies are never rendered as markup (a <font size=7> stays text).
    for (const QString &name : {u"city_"_s, u"temp_"_s, u"wind_"_s, u"humidity_"_s, u"releaseTime_"_s,
                                u"forecastReleaseTime_"_s, u"temp1_"_s, u"weather1_"_s, u"wind1_"_s})
        QCOMPARE(child<QLabel>(&page, name)->textFormat(), Qt::PlainText);
    for (const QString &name : {u"name_"_s, u"level_"_s, u"text_"_s})
        QCOMPARE(child<QLabel>(child<WeatherIndexWidget>(&page, u"index1_"_s), name)->textFormat(), Qt::PlainText);

    auto *first = child<WeatherIndexWidget>(&page, u"index1_"_s);
    QCOMPARE(text(first, u"name_"_s), u"穿衣指数"_s);
    QCOMPARE(text(first, u"level_"_s), u"炎热"_s);
    QVERIFY(text(first, u"text_"_s).startsWith(u"天气炎热"_s));
    QCOMPARE(text(child<WeatherIndexWidget>(&page, u"index4_"_s), u"name_"_s), u"感冒指数"_s);
    QVERIFY(child<QWidget>(&page, u"toolWidget_"_s)->isEnabled());
}

void TestWeatherPage::dayCodes_data()
{
    QTest::addColumn<QString>("dayCode");
    QTest::addColumn<QString>("nightCode");
    QTest::addColumn<QString>("weather");
    QTest::addColumn<QString>("picture");
    QTest::newRow("01 and 01") << u"01"_s << u"01"_s << u"多云"_s << u"weather/day/01.png"_s;
    QTest::newRow("empty day, night 07") << QString() << u"07"_s << u"小雨"_s << u"weather/day/07.png"_s;
    QTest::newRow("clear then cloudy") << u"00"_s << u"01"_s << u"晴转多云"_s << u"weather/day/00.png"_s;
    QTest::newRow("both empty") << QString() << QString() << u"未知"_s << u"weather/day/undefined.png"_s;
    QTest::newRow("unlisted 32") << u"32"_s << QString() << u"未知"_s << u"weather/day/undefined.png"_s;
    QTest::newRow("path in the code") << u"../../weather_bg"_s << QString() << u"未知"_s
                                      << u"weather/day/undefined.png"_s;
}

void TestWeatherPage::dayCodes()
{
    QFETCH(QString, dayCode);
    QFETCH(QString, nightCode);
    QFETCH(QString, weather);
    QFETCH(QString, picture);
    WeatherWidget page;
    WeatherForecastRequestResult result;
    result.ok = true;
    result.releaseTime = u"08:00"_s;
    WeatherForecastDay day;
    day.dayPhenomenon = dayCode;
    day.nightPhenomenon = nightCode;
    result.days = {day, day, day};
    page.onRequestWeatherFinished(result);
    QCOMPARE(text(&page, u"weather3_"_s), weather);
    QCOMPARE(text(&page, u"temp3_"_s), u"未知℃"_s);
    QCOMPARE(text(&page, u"wind3_"_s), u"未知"_s);
    QCOMPARE(shown(&page, u"image3_"_s), this->picture(picture, QSize(70, 70)));
    QCOMPARE(text(&page, u"forecastReleaseTime_"_s), u"08:00发布"_s);
}

void TestWeatherPage::fewerThanThreeDays()
{
    WeatherWidget page;
    WeatherForecastRequestResult result;
    result.ok = true;
    WeatherForecastDay day;
    day.dayTemperature = u"30"_s;
    day.nightTemperature = u"20"_s;
    result.days = {day};
    page.onRequestWeatherFinished(result);
    QCOMPARE(text(&page, u"temp1_"_s), u"30-20℃"_s);
    QCOMPARE(text(&page, u"temp2_"_s), u"N/A"_s);
    QCOMPARE(text(&page, u"weather3_"_s), u"N/A"_s);
    QCOMPARE(shown(&page, u"image2_"_s), picture(u"weather/day/undefined.png"_s, QSize(70, 70)));

    result.days.clear();
    page.onRequestWeatherFinished(result);
    QCOMPARE(text(&page, u"temp1_"_s), u"N/A"_s);
}

void TestWeatherPage::indexTiles_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("items");
    QTest::addColumn<QList<bool>>("visible");
    QTest::addColumn<QString>("firstName");
    QTest::newRow("six fill four") << true << 6 << QList<bool>{true, true, true, true} << u"item 0"_s;
    QTest::newRow("four") << true << 4 << QList<bool>{true, true, true, true} << u"item 0"_s;
    QTest::newRow("two") << true << 2 << QList<bool>{true, true, false, false} << u"item 0"_s;
    QTest::newRow("one") << true << 1 << QList<bool>{true, false, false, false} << u"item 0"_s;
    // An empty or failed list puts N/A on the first tile and leaves the others as they were.
    QTest::newRow("empty list") << true << 0 << QList<bool>{true, true, true, false} << u"N/A"_s;
    QTest::newRow("failed") << false << 6 << QList<bool>{true, true, true, false} << u"N/A"_s;
}

void TestWeatherPage::indexTiles()
{
    QFETCH(bool, ok);
    QFETCH(int, items);
    QFETCH(QList<bool>, visible);
    QFETCH(QString, firstName);

    WeatherWidget page;
    WeatherIndexRequestResult before;
    before.ok = true;
    before.items.resize(3);
    page.onRequestWeatherFinished(before);

    WeatherIndexRequestResult result;
    result.ok = ok;
    for (int i = 0; i < items; ++i)
        result.items.append({u"c"_s, u"item %1"_s.arg(i), u"level %1"_s.arg(i), u"text"_s});
    page.onRequestWeatherFinished(result);

    const QStringList tiles{u"index1_"_s, u"index2_"_s, u"index3_"_s, u"index4_"_s};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(!child<WeatherIndexWidget>(&page, tiles[i])->isHidden(), visible[i]);
    QCOMPARE(text(child<WeatherIndexWidget>(&page, tiles[0]), u"name_"_s), firstName);
    if (ok && items >= 2)
        QCOMPARE(text(child<WeatherIndexWidget>(&page, tiles[1]), u"level_"_s), u"level 1"_s);
}

void TestWeatherPage::indexIcons_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("icon");
    QTest::newRow("ct") << u"ct"_s << u":/icon/chuanyi"_s;
    QTest::newRow("zs") << u"zs"_s << u":/icon/zhongshu"_s;
    QTest::newRow("ys") << u"ys"_s << u":/icon/yusan"_s;
    QTest::newRow("other") << u"gm"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestWeatherPage::indexIcons()
{
    QFETCH(QString, code);
    QFETCH(QString, icon);
    WeatherIndexWidget tile;
    tile.setIndex({u"ys"_s, u"x"_s, u"y"_s, u"z"_s}); // an earlier icon must not linger
    tile.setIndex({code, u"名"_s, u"级"_s, u"说明"_s});
    const QPixmap pixmap = child<QLabel>(&tile, u"image_"_s)->pixmap();
    if (icon.isEmpty()) {
        QVERIFY(pixmap.isNull());
    } else {
        QVERIFY2(QFile::exists(icon), qPrintable(icon));
        QCOMPARE(pixmap.size(), QSize(24, 22));
        QCOMPARE(pixmap.toImage(),
                 QPixmap(icon).scaled(24, 22, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage());
    }
    QCOMPARE(text(&tile, u"name_"_s), u"名"_s);
    QCOMPARE(text(&tile, u"level_"_s), u"级"_s);
    QCOMPARE(text(&tile, u"text_"_s), u"说明"_s);
}

void TestWeatherPage::brokenRepliesShowPlaceholders_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QByteArray>("forecast");
    QTest::addColumn<QByteArray>("observe");
    QTest::addColumn<QByteArray>("index");
    const QByteArray sina = weatherSample(u"sina.js"_s);
    QTest::newRow("empty location") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("location nesting bomb") << QByteArray("x={") + QByteArray(400000, '[') << QByteArray()
                                           << QByteArray() << QByteArray();
    QTest::newRow("empty weather replies") << sina << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("wrong types") << sina << QByteArray(R"({"f":{"f0":"201407082000","f1":"x"}})")
                                 << QByteArray(R"({"l":"28"})") << QByteArray(R"({"i":{"i1":"ct"}})");
    QTest::newRow("truncated") << sina << weatherSample(u"forecast3d.json"_s).left(200)
                               << weatherSample(u"observe.json"_s).left(20)
                               << weatherSample(u"index.json"_s).left(100);
    QTest::newRow("huge garbage") << sina << QByteArray(2000000, 'x') << QByteArray(1000000, '{')
                                  << QByteArray(1000000, '[');
}

void TestWeatherPage::brokenRepliesShowPlaceholders()
{
    QFETCH(QByteArray, location);
    QFETCH(QByteArray, forecast);
    QFETCH(QByteArray, observe);
    QFETCH(QByteArray, index);
    auto *network = static_cast<FakeNetworkAccessManager *>(g_networkAccessManager);
    network->setReply(locationAddress(), location);
    network->setReply(weatherAddress(u"101280101"_s, u"forecast3d"_s), forecast);
    network->setReply(weatherAddress(u"101280101"_s, u"observe"_s), observe);
    network->setReply(weatherAddress(u"101280101"_s, u"index"_s), index);

    WeatherWidget page;
    page.onRequestWeather();
    waitIdle(page);
    for (const QString &name : {u"temp_"_s, u"wind_"_s, u"humidity_"_s, u"forecastReleaseTime_"_s,
                                u"temp1_"_s, u"weather2_"_s, u"wind3_"_s})
        QCOMPARE(text(&page, name), u"N/A"_s);
    QCOMPARE(text(child<WeatherIndexWidget>(&page, u"index1_"_s), u"name_"_s), u"N/A"_s);
    QCOMPARE(shown(&page, u"image1_"_s), picture(u"weather/day/undefined.png"_s, QSize(70, 70)));
    QVERIFY(child<QToolButton>(&page, u"refresh_"_s)->isEnabled());
    QVERIFY(child<QToolButton>(&page, u"copy_"_s)->isEnabled());
}

void TestWeatherPage::refreshTwiceStartsOneRefresh()
{
    auto *network = static_cast<FakeNetworkAccessManager *>(g_networkAccessManager);
    serveGuangzhou(network);
    network->setHold(true);
    WeatherWidget page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *refresh = child<QToolButton>(&page, u"refresh_"_s);
    QTest::mouseClick(refresh, Qt::LeftButton);
    QTest::mouseClick(refresh, Qt::LeftButton); // disabled now: the click goes nowhere
    page.onRequestWeather();                    // and a direct call is ignored while refreshing
    QCOMPARE(page.finishedMask(), 0);
    QCOMPARE(network->requestCount(locationAddress()), 1);

    network->setHold(false);
    network->release();
    waitIdle(page);
    QCOMPARE(network->requestCount(locationAddress()), 1);
    QCOMPARE(network->requests().size(), 4);
    QVERIFY(refresh->isEnabled());

    // Idle again: the next click refreshes.
    QTest::mouseClick(refresh, Qt::LeftButton);
    QCOMPARE(network->requestCount(locationAddress()), 2);
    waitIdle(page);
}

void TestWeatherPage::buttonsReturnOnlyAfterAllThree_data()
{
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("live forecast index") << QList<int>{1, 2, 4};
    QTest::newRow("index live forecast") << QList<int>{4, 1, 2};
    QTest::newRow("forecast index live") << QList<int>{2, 4, 1};
}

void TestWeatherPage::buttonsReturnOnlyAfterAllThree()
{
    QFETCH(QList<int>, order);
    auto *network = static_cast<FakeNetworkAccessManager *>(g_networkAccessManager);
    network->setHold(true);
    WeatherWidget page;
    auto *tools = child<QWidget>(&page, u"toolWidget_"_s);
    page.onRequestWeather();
    int mask = 0;
    for (int step = 0; step < 3; ++step) {
        QVERIFY(!tools->isEnabled());
        switch (order[step]) {
        case 1: page.onRequestWeatherFinished(LiveWeatherRequestResult()); break;
        case 2: page.onRequestWeatherFinished(WeatherForecastRequestResult()); break;
        default: page.onRequestWeatherFinished(WeatherIndexRequestResult()); break;
        }
        mask |= order[step];
        QCOMPARE(page.finishedMask(), mask);
    }
    QVERIFY(tools->isEnabled());
}

void TestWeatherPage::withoutNetworkButtonsReturn()
{
    {
        QMutexLocker locker(&g_networkMutex);
        delete g_networkAccessManager;
        g_networkAccessManager = nullptr;
    }
    WeatherWidget page;
    page.onRequestWeather();
    waitIdle(page);
    QVERIFY(child<QWidget>(&page, u"toolWidget_"_s)->isEnabled());
    QCOMPARE(text(&page, u"city_"_s), u"N/A"_s);
}

void TestWeatherPage::dateLabels()
{
    static_cast<FakeNetworkAccessManager *>(g_networkAccessManager)->setHold(true);
    WeatherWidget page;
    QVERIFY(text(&page, u"date_"_s).isEmpty());
    page.onRequestWeather();
    const QDate today = QDate::currentDate();
    const QStringList weekdays{u"星期一"_s, u"星期二"_s, u"星期三"_s, u"星期四"_s,
                               u"星期五"_s, u"星期六"_s, u"星期日"_s};
    QCOMPARE(text(&page, u"date_"_s), u"%1月%2日 %3"_s.arg(today.month()).arg(today.day())
                                          .arg(weekdays.at(today.dayOfWeek() - 1)));
    std::uint16_t y = 0, m = 0, d = 0;
    toLunarDate(today.year(), today.month(), today.day(), y, m, d);
    QVERIFY(m >= 1 && m <= 12 && d >= 1 && d <= 30);
    QCOMPARE(text(&page, u"lunarDate_"_s), u"农历"_s + lunarMonthName(m) + lunarDayName(d));
    QVERIFY(text(&page, u"lunarDate_"_s).size() >= 6);
}

void TestWeatherPage::copyLeavesOutTheToolButtons()
{
    WeatherWidget page;
    page.resize(900, 470);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *tools = child<QWidget>(&page, u"toolWidget_"_s);
    const QRect toolRect = tools->geometry();
    const QImage withTools = page.grab().toImage().copy(toolRect);

    child<QToolButton>(&page, u"copy_"_s)->click();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), page.size() * page.devicePixelRatio());
    QVERIFY(copied.copy(toolRect) != withTools);
    QVERIFY(tools->isVisible());
    QCOMPARE(MyMessageBox::shownMessages(), QStringList{u"Quorvik软件|天气图片已拷贝到剪切板!"_s});
}

// A keyless refresh is kept; a later failed one shows it, marked with its time, instead of "N/A".
void TestWeatherPage::savedWeatherAfterFailedRefresh()
{
    WeatherRequest::overrideCredentials(QString(), QString());
    FakeNetworkAccessManager *network = installFakeNetwork();
    serveKeyless(network, weatherSample(u"openmeteo_forecast.json"_s));
    {
        WeatherWidget page;
        page.onRequestWeather();
        waitIdle(page);
        QCOMPARE(text(&page, u"temp_"_s), u"25℃"_s);
        QCOMPARE(text(&page, u"releaseTime_"_s), u"(11:15实况)"_s);
        QCOMPARE(text(child<QWidget>(&page, u"index3_"_s), u"level_"_s), u"不带伞"_s);
    }
    QFile file(savedWeatherPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();

    // The next start has no network.
    installFakeNetwork();
    WeatherWidget page;
    page.onRequestWeather();
    waitIdle(page);
    QCOMPARE(text(&page, u"city_"_s), u"广州"_s);
    QCOMPARE(text(&page, u"temp_"_s), u"25℃"_s);
    QCOMPARE(text(&page, u"wind_"_s), u"南风(3级)"_s);
    QVERIFY2(text(&page, u"releaseTime_"_s).endsWith(u"保存)"_s), qPrintable(text(&page, u"releaseTime_"_s)));
    QVERIFY(text(&page, u"forecastReleaseTime_"_s).endsWith(u"保存"_s));
    QCOMPARE(text(&page, u"temp1_"_s), u"28-21℃"_s);
    QCOMPARE(text(&page, u"weather2_"_s), u"小雨"_s);
    QCOMPARE(text(child<QWidget>(&page, u"index1_"_s), u"name_"_s), u"穿衣指数"_s);
    QVERIFY(!child<QWidget>(&page, u"index3_"_s)->isHidden());
    QVERIFY(child<QWidget>(&page, u"toolWidget_"_s)->isEnabled());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    useSignedService();
}

void TestWeatherPage::badKeylessRepliesAreNotSaved_data()
{
    QTest::addColumn<QByteArray>("forecast");
    const QByteArray good = weatherSample(u"openmeteo_forecast.json"_s);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << good.left(good.size() - 10);
    QTest::newRow("wrong type") << QByteArray(good).replace("\"temperature_2m\":24.6", "\"temperature_2m\":[]");
    QTest::newRow("out of range") << QByteArray(good).replace("[10,65,85]", "[10,65,-5]");
    QTest::newRow("huge") << QByteArray(1024 * 1024, '[');
}

void TestWeatherPage::badKeylessRepliesAreNotSaved()
{
    QFETCH(QByteArray, forecast);
    WeatherRequest::overrideCredentials(QString(), QString());
    serveKeyless(installFakeNetwork(), forecast);
    WeatherWidget page;
    page.onRequestWeather();
    waitIdle(page);
    QCOMPARE(text(&page, u"temp_"_s), u"N/A"_s);
    QCOMPARE(text(&page, u"temp1_"_s), u"N/A"_s);
    QVERIFY(child<QWidget>(&page, u"toolWidget_"_s)->isEnabled());
    QVERIFY(!QFile::exists(savedWeatherPath()));
    useSignedService();
}

void TestWeatherPage::brokenSavedWeatherIsIgnored()
{
    QFile file(savedWeatherPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<weather saved=\"2014-12-08T11:15:00\"><live temperature=\"99\"");
    file.close();
    WeatherWidget page;
    page.onRequestWeather();
    waitIdle(page);
    QCOMPARE(text(&page, u"temp_"_s), u"N/A"_s);

    // A good refresh replaces the broken file.
    WeatherRequest::overrideCredentials(QString(), QString());
    serveKeyless(installFakeNetwork(), weatherSample(u"openmeteo_forecast.json"_s));
    WeatherWidget second;
    second.onRequestWeather();
    waitIdle(second);
    QVERIFY(WeatherCache::load(savedWeatherPath()).valid);
    useSignedService();
}

QPA_TEST_MAIN(TestWeatherPage)
#include "tst_weatherpage.moc"

// The built-in city, phenomenon, wind-force and wind-direction tables.
#include "CodeTable.h"

#include "TestMain.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(const CodeTable *)

class TestWeatherTables : public QObject
{
    Q_OBJECT

private slots:
    // First, so that its threads meet the city table before anything else has built it.
    void tablesAreBuiltOnce();
    void cityRows();
    void city_data();
    void city();
    void cityIdsAreWellFormed();
    void phenomena_data();
    void phenomena();
    void windForces_data();
    void windForces();
    void windDirections_data();
    void windDirections();
    void emptyKeyInEveryTable_data();
    void emptyKeyInEveryTable();
};

void TestWeatherTables::cityRows()
{
    QFile file(u":/weather/city_area_ids.tsv"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 2566);
    // Ascending ids are what lets the larger id of a repeated name win.
    QByteArray previous;
    for (const QByteArray &line : lines) {
        const QByteArray id = line.left(line.indexOf('\t'));
        QVERIFY2(id > previous, line.constData());
        previous = id;
    }
    QCOMPARE(cityAreaIds().size(), 2559);
}

void TestWeatherTables::city_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    QTest::newRow("北京") << u"北京"_s << u"101010100"_s;
    QTest::newRow("海淀") << u"海淀"_s << u"101010200"_s;
    QTest::newRow("北京市 with suffix") << u"北京市"_s << QString();
    QTest::newRow("广州") << u"广州"_s << u"101280101"_s;
    QTest::newRow("哈尔滨") << u"哈尔滨"_s << u"101050101"_s;
    QTest::newRow("农安") << u"农安"_s << u"101060102"_s;
    QTest::newRow("平谷, last of 01") << u"平谷"_s << u"101011500"_s;
    QTest::newRow("秀山, last of 04") << u"秀山"_s << u"101043600"_s;
    QTest::newRow("钓鱼岛") << u"钓鱼岛"_s << u"101231001"_s;
    QTest::newRow("路环岛") << u"路环岛"_s << u"101330103"_s;
    QTest::newRow("云林, last row") << u"云林"_s << u"101340406"_s;
    QTest::newRow("宜宾") << u"宜宾"_s << u"101271101"_s;
    QTest::newRow("宜宾县 beside 宜宾") << u"宜宾县"_s << u"101271103"_s;
    QTest::newRow("吕梁 station 00") << u"吕梁"_s << u"101101100"_s;
    QTest::newRow("咸阳 station 00") << u"咸阳"_s << u"101110200"_s;
    QTest::newRow("延安 station 00") << u"延安"_s << u"101110300"_s;
    QTest::newRow("益阳 station 00") << u"益阳"_s << u"101250700"_s;
    QTest::newRow("佛山 station 00") << u"佛山"_s << u"101280800"_s;
    // The seven repeated names keep their larger id.
    QTest::newRow("朝阳") << u"朝阳"_s << u"101071201"_s;
    QTest::newRow("通州") << u"通州"_s << u"101190509"_s;
    QTest::newRow("河南") << u"河南"_s << u"101150304"_s;
    QTest::newRow("河口") << u"河口"_s << u"101290313"_s;
    QTest::newRow("东乡") << u"东乡"_s << u"101240411"_s;
    QTest::newRow("东兴") << u"东兴"_s << u"101301403"_s;
    QTest::newRow("九龙") << u"九龙"_s << u"101320102"_s;
    QTest::newRow("unknown") << u"火星"_s << QString();
    QTest::newRow("name with a blank") << u"北京 "_s << QString();
}

void TestWeatherTables::city()
{
    QFETCH(QString, name);
    QFETCH(QString, id);
    QCOMPARE(cityAreaIds().lookup(name), id);
}

void TestWeatherTables::cityIdsAreWellFormed()
{
    QFile file(u":/weather/city_area_ids.tsv"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QRegularExpression row(u"^101(0[1-9]|[12][0-9]|3[0-4])\\d{4}\\t\\S+$"_s);
    int provinces[35] = {};
    for (const QByteArray &line : file.readAll().trimmed().split('\n')) {
        const QString text = QString::fromUtf8(line);
        QVERIFY2(row.match(text).hasMatch(), qPrintable(text));
        ++provinces[text.mid(3, 2).toInt()];
    }
    const int expected[35] = {0,   15,  12, 13,  34,  84,  51, 58,  124, 150, 112, 101,
                              122, 102, 79, 50,  84,  20,  124, 78, 92,  80,  82,  75,
                              94,  103, 89, 164, 110, 130, 92,  21, 3,   3,   15};
    for (int pp = 1; pp <= 34; ++pp)
        QCOMPARE(provinces[pp], expected[pp]);
}

void TestWeatherTables::phenomena_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("00") << u"00"_s << u"晴"_s;
    QTest::newRow("01") << u"01"_s << u"多云"_s;
    QTest::newRow("05") << u"05"_s << u"雷阵雨伴有冰雹"_s;
    QTest::newRow("07") << u"07"_s << u"小雨"_s;
    QTest::newRow("31") << u"31"_s << u"强沙尘暴"_s;
    QTest::newRow("32 not listed") << u"32"_s << QString();
    QTest::newRow("53") << u"53"_s << u"霾"_s;
    QTest::newRow("99") << u"99"_s << u"未知"_s;
    QTest::newRow("one digit 1") << u"1"_s << QString();
}

void TestWeatherTables::phenomena()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QCOMPARE(weatherPhenomena().lookup(code), name);
    QCOMPARE(weatherPhenomena().size(), 34);
}

void TestWeatherTables::windForces_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << u"0"_s << u"微风"_s;
    QTest::newRow("1") << u"1"_s << u"3-4级"_s;
    QTest::newRow("9") << u"9"_s << u"11-12级"_s;
    QTest::newRow("10, two digits") << u"10"_s << QString();
    QTest::newRow("00") << u"00"_s << QString();
}

void TestWeatherTables::windForces()
{
    QFETCH(QString, code);
    QFETCH(QString, text);
    QCOMPARE(::windForces().lookup(code), text);
    QCOMPARE(::windForces().size(), 10);
}

void TestWeatherTables::windDirections_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << u"0"_s << u"无持续风向"_s;
    QTest::newRow("4") << u"4"_s << u"南风"_s;
    QTest::newRow("8") << u"8"_s << u"北风"_s;
    QTest::newRow("9") << u"9"_s << u"旋转风"_s;
    QTest::newRow("10") << u"10"_s << QString();
}

void TestWeatherTables::windDirections()
{
    QFETCH(QString, code);
    QFETCH(QString, text);
    QCOMPARE(::windDirections().lookup(code), text);
    QCOMPARE(::windDirections().size(), 10);
}

void TestWeatherTables::emptyKeyInEveryTable_data()
{
    QTest::addColumn<const CodeTable *>("table");
    QTest::newRow("cities") << &cityAreaIds();
    QTest::newRow("phenomena") << &weatherPhenomena();
    QTest::newRow("wind forces") << &::windForces();
    QTest::newRow("wind directions") << &::windDirections();
    // A value stored under the empty key still does not answer an empty lookup.
    static CodeTable withEmptyKey;
    withEmptyKey.insert(QString(), u"101010100"_s);
    withEmptyKey.insert(u"北京"_s, u"101010100"_s);
    QTest::newRow("table holding an empty key") << static_cast<const CodeTable *>(&withEmptyKey);
}

void TestWeatherTables::emptyKeyInEveryTable()
{
    QFETCH(const CodeTable *, table);
    QVERIFY(table->size() > 0);
    QCOMPARE(table->lookup(QString()), QString());
    QCOMPARE(table->lookup(u""_s), QString());
}

void TestWeatherTables::tablesAreBuiltOnce()
{
    // Threads that meet on first use all get the one table, completely built.
    constexpr int kThreads = 8;
    std::vector<const CodeTable *> seen(kThreads, nullptr);
    std::vector<int> sizes(kThreads, 0);
    {
        std::vector<std::thread> threads;
        for (int i = 0; i < kThreads; ++i) {
            threads.emplace_back([&seen, &sizes, i] {
                seen[i] = &cityAreaIds();
                sizes[i] = seen[i]->size();
            });
        }
        for (std::thread &thread : threads)
            thread.join();
    }
    for (int i = 0; i < kThreads; ++i) {
        QCOMPARE(seen[i], &cityAreaIds());
        // 2566 rows, seven names among them twice.
        QCOMPARE(sizes[i], 2559);
    }
    CodeTable table;
    table.insert(u"a"_s, u"1"_s);
    table.insert(u"a"_s, u"2"_s);
    QCOMPARE(table.lookup(u"a"_s), u"2"_s);
    QCOMPARE(table.lookup(u"A"_s), QString());
    QCOMPARE(table.size(), 1);
}

QPA_TEST_MAIN(TestWeatherTables)
#include "tst_weathertables.moc"

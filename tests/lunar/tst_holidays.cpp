// Tests of the official holiday table: the shipped years, working days, and refused tables.
#include "HolidayTable.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An arrangement as the notices state it: ranges of days off and single make-up working days.
struct Arrangement
{
    QList<std::pair<QDate, QDate>> daysOff;
    QList<QDate> makeUpDays;

    bool isDayOff(const QDate &date) const
    {
        return std::any_of(daysOff.begin(), daysOff.end(),
                           [&](const auto &range) { return date >= range.first && date <= range.second; });
    }
};

QDate d(int y, int m, int day)
{
    return QDate(y, m, day);
}

QByteArray shippedText()
{
    QFile file(QStringLiteral(QPA_SOURCE_DIR "/src/calendar/data/cn_holidays.tsv"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(Arrangement)

class TestHolidays : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { resetHolidayTable(); }

    void shippedTable();
    void yearDayByDay_data();
    void yearDayByDay();
    void yearsOutsideFallBackToWeekdays_data();
    void yearsOutsideFallBackToWeekdays();
    void refusedTables_data();
    void refusedTables();
    void acceptedSpellings();
    void newerYearsReplaceWholeYears();
    void mergeRefusesADayClaimedTwice();
};

void TestHolidays::shippedTable()
{
    const HolidayTable &table = holidayTable();
    QCOMPARE(table.size(), 858);
    QCOMPARE(table.years().size(), 25);
    QCOMPARE(table.years().first(), 2002);
    QCOMPARE(table.years().last(), 2026);
    // The compiled-in resource is the file in the source tree, and it survives its own writer.
    HolidayTable fromSource;
    QVERIFY(HolidayTable::parse(shippedText(), &fromSource));
    QCOMPARE(fromSource.toTsv(), table.toTsv());
    HolidayTable again;
    QVERIFY(HolidayTable::parse(table.toTsv(), &again));
    QCOMPARE(again.toTsv(), table.toTsv());
    // A New Year's make-up day of December belongs to the next year's arrangement.
    const HolidayTable::Day dec31 = table.day(d(2005, 12, 31));
    QCOMPARE(dec31.kind, HolidayTable::MakeUpWorkday);
    QCOMPARE(dec31.festival, d(2006, 1, 1));
}

void TestHolidays::yearDayByDay_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<Arrangement>("arrangement");
    // 2020: the Spring Festival holiday extended to 2 February, its make-up Saturday 1 February
    // cancelled.
    QTest::newRow("2020") << 2020
                          << Arrangement{{{d(2020, 1, 1), d(2020, 1, 1)}, {d(2020, 1, 24), d(2020, 2, 2)},
                                          {d(2020, 4, 4), d(2020, 4, 6)}, {d(2020, 5, 1), d(2020, 5, 5)},
                                          {d(2020, 6, 25), d(2020, 6, 27)}, {d(2020, 10, 1), d(2020, 10, 8)}},
                                         {d(2020, 1, 19), d(2020, 4, 26), d(2020, 5, 9), d(2020, 6, 28),
                                          d(2020, 9, 27), d(2020, 10, 10)}};
    // 2025: 除夕 (28 January) is a day off for the first time.
    QTest::newRow("2025") << 2025
                          << Arrangement{{{d(2025, 1, 1), d(2025, 1, 1)}, {d(2025, 1, 28), d(2025, 2, 4)},
                                          {d(2025, 4, 4), d(2025, 4, 6)}, {d(2025, 5, 1), d(2025, 5, 5)},
                                          {d(2025, 5, 31), d(2025, 6, 2)}, {d(2025, 10, 1), d(2025, 10, 8)}},
                                         {d(2025, 1, 26), d(2025, 2, 8), d(2025, 4, 27), d(2025, 9, 28),
                                          d(2025, 10, 11)}};
    QTest::newRow("2026") << 2026
                          << Arrangement{{{d(2026, 1, 1), d(2026, 1, 3)}, {d(2026, 2, 15), d(2026, 2, 23)},
                                          {d(2026, 4, 4), d(2026, 4, 6)}, {d(2026, 5, 1), d(2026, 5, 5)},
                                          {d(2026, 6, 19), d(2026, 6, 21)}, {d(2026, 9, 25), d(2026, 9, 27)},
                                          {d(2026, 10, 1), d(2026, 10, 7)}},
                                         {d(2026, 1, 4), d(2026, 2, 14), d(2026, 2, 28), d(2026, 5, 9),
                                          d(2026, 9, 20), d(2026, 10, 10)}};
}

void TestHolidays::yearDayByDay()
{
    QFETCH(int, year);
    QFETCH(Arrangement, arrangement);
    const HolidayTable &table = holidayTable();
    QVERIFY(table.covers(year));
    for (QDate date(year, 1, 1); date.year() == year; date = date.addDays(1)) {
        const bool off = arrangement.isDayOff(date);
        const bool makeUp = arrangement.makeUpDays.contains(date);
        const HolidayTable::Kind kind = table.day(date).kind;
        QVERIFY2(kind == (off ? HolidayTable::DayOff : makeUp ? HolidayTable::MakeUpWorkday : HolidayTable::Ordinary),
                 qPrintable(date.toString(Qt::ISODate)));
        QVERIFY2(isWorkday(date) == (makeUp || (!off && date.dayOfWeek() <= 5)), qPrintable(date.toString(Qt::ISODate)));
        QCOMPARE(table.day(date).name.isEmpty(), !off && !makeUp);
    }
}

void TestHolidays::yearsOutsideFallBackToWeekdays_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("workday");
    QTest::newRow("2027-10-01, a Friday") << d(2027, 10, 1) << true;
    QTest::newRow("2027-10-02, a Saturday") << d(2027, 10, 2) << false;
    QTest::newRow("2001-10-01, a Monday") << d(2001, 10, 1) << true;
    QTest::newRow("2030-02-03, a Sunday") << d(2030, 2, 3) << false;
    QTest::newRow("invalid date") << QDate() << false;
}

void TestHolidays::yearsOutsideFallBackToWeekdays()
{
    QFETCH(QDate, date);
    QVERIFY(!holidayTable().covers(date.year()) || !date.isValid());
    QCOMPARE(holidayTable().day(date).kind, HolidayTable::Ordinary);
    QTEST(isWorkday(date), "workday");
}

void TestHolidays::refusedTables_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray good = "2027-10-01\t国庆节\t0\t2027-10-01\n";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("comments only") << QByteArray("# nothing\n\n");
    QTest::newRow("too large") << QByteArray(good.repeated(HolidayTable::kMaxBytes / good.size() + 1));
    QTest::newRow("not UTF-8") << QByteArray("2027-10-01\t\xb9\xfa\xc7\xec\t0\t2027-10-01\n");
    QTest::newRow("three fields") << QByteArray("2027-10-01\t国庆节\t0\n");
    QTest::newRow("five fields") << QByteArray("2027-10-01\t国庆节\t0\t2027-10-01\tx\n");
    QTest::newRow("no such date") << QByteArray("2027-02-30\t春节\t0\t2027-02-06\n");
    QTest::newRow("short date") << QByteArray("2027-10-1\t国庆节\t0\t2027-10-01\n");
    QTest::newRow("kind 2") << QByteArray("2027-10-01\t国庆节\t2\t2027-10-01\n");
    QTest::newRow("empty name") << QByteArray("2027-10-01\t\t0\t2027-10-01\n");
    QTest::newRow("control character in name") << QByteArray("2027-10-01\t国庆\x01节\t0\t2027-10-01\n");
    QTest::newRow("date outside its year") << good + "2028-06-01\t国庆节\t0\t2027-10-01\n";
    QTest::newRow("festival far away") << good + "2027-03-01\t国庆节\t0\t2027-10-01\n";
    QTest::newRow("year beyond 2100") << QByteArray("2101-10-01\t国庆节\t0\t2101-10-01\n");
    QTest::newRow("same date twice") << good + good;
    QTest::newRow("same date, other kind") << good + "2027-10-01\t国庆节\t1\t2027-10-01\n";
    QTest::newRow("a year with no day off") << good + "2028-01-02\t元旦节\t1\t2028-01-01\n";
    QByteArray tooMany;
    for (int i = 0; i < 101; ++i) {
        const QDate date = d(2027, 1, 1).addDays(i * 3);
        tooMany += date.toString(u"yyyy-MM-dd"_s).toLatin1() + "\t假日\t0\t" + date.toString(u"yyyy-MM-dd"_s).toLatin1() + '\n';
    }
    QTest::newRow("a year of 101 days") << tooMany;
}

void TestHolidays::refusedTables()
{
    QFETCH(QByteArray, text);
    HolidayTable table;
    QVERIFY(HolidayTable::parse(shippedText(), &table));
    const QByteArray before = table.toTsv();
    QVERIFY(!HolidayTable::parse(text, &table));
    QCOMPARE(table.toTsv(), before);
}

void TestHolidays::acceptedSpellings()
{
    // A byte-order mark, Windows line ends, comments and blank lines are all fine.
    const QByteArray text = "\xef\xbb\xbf# 2027\r\n\r\n2027-10-01\t国庆节\t0\t2027-10-01\r\n"
                            "2027-09-26\t国庆节\t1\t2027-10-01\r\n";
    HolidayTable table;
    QVERIFY(HolidayTable::parse(text, &table));
    QCOMPARE(table.size(), 2);
    QCOMPARE(table.years(), QList<int>{2027});
    QCOMPARE(table.day(d(2027, 10, 1)).name, u"国庆节"_s);
    QCOMPARE(table.day(d(2027, 9, 26)).kind, HolidayTable::MakeUpWorkday);
}

void TestHolidays::newerYearsReplaceWholeYears()
{
    HolidayTable newer;
    QVERIFY(HolidayTable::parse("2026-10-01\t国庆节\t0\t2026-10-01\n"
                                "2026-12-31\t元旦节\t0\t2027-01-01\n2027-01-01\t元旦节\t0\t2027-01-01\n"
                                "2027-01-03\t元旦节\t1\t2027-01-01\n",
                                &newer));
    QVERIFY(addHolidayYears(newer));
    const HolidayTable &table = holidayTable();
    QCOMPARE(table.years().last(), 2027);
    QCOMPARE(table.years().size(), 26);
    // 2026 is now the one day of the newer table; 2025 is untouched.
    QCOMPARE(table.day(d(2026, 10, 1)).kind, HolidayTable::DayOff);
    QCOMPARE(table.day(d(2026, 10, 2)).kind, HolidayTable::Ordinary);
    QVERIFY(isWorkday(d(2026, 10, 2)));
    QCOMPARE(table.day(d(2025, 10, 8)).kind, HolidayTable::DayOff);
    QVERIFY(!isWorkday(d(2026, 12, 31)));
    QVERIFY(isWorkday(d(2027, 1, 3)));
    QCOMPARE(table.size(), 858 - 39 + 4);

    resetHolidayTable();
    QCOMPARE(holidayTable().size(), 858);
    QVERIFY(!holidayTable().covers(2027));
}

void TestHolidays::mergeRefusesADayClaimedTwice()
{
    HolidayTable base, newer;
    QVERIFY(HolidayTable::parse("2026-12-31\t跨年\t0\t2026-12-30\n", &base));
    QVERIFY(HolidayTable::parse("2026-12-31\t元旦节\t0\t2027-01-01\n", &newer));
    const QByteArray before = base.toTsv();
    QVERIFY(!base.merge(newer));
    QCOMPARE(base.toTsv(), before);
}

QTEST_APPLESS_MAIN(TestHolidays)

#include "tst_holidays.moc"

// Tests of the lunar calendar arithmetic: known dates, table corrections, range edges, whole-range invariants.
#include "LunarCalendar.h"
#include "LunarTables.h"

#include <QDate>
#include <QTest>

#include <climits>

using namespace Qt::StringLiterals;

namespace {

struct LunarDate
{
    int year = 0;
    int month = 0;
    int day = 0;
};

LunarDate convert(const QDate &date, int *term = nullptr)
{
    std::uint16_t y = 99, m = 99, d = 99;
    const int t = toLunarDate(date.year(), date.month(), date.day(), y, m, d);
    if (term)
        *term = t;
    return {y, m, d};
}

LunarDate fromCount(std::int32_t n)
{
    std::uint16_t y = 99, m = 99, d = 99;
    lunarDateFromDayCount(n, y, m, d);
    return {y, m, d};
}

// The conversion read straight from its definition: walk every lunar year since 1901 on each call.
// The library precomputes the new-year day counts; both must agree on every day.
LunarDate referenceFromCount(std::int32_t n)
{
    if (n < 49)
        return n < 19 ? LunarDate{1900, 11, n + 11} : LunarDate{1900, 12, n - 18};
    n -= 49;
    int year = 1901;
    while (n >= lunarYearDays(year))
        n -= lunarYearDays(year++);
    int month = 1;
    for (;;) {
        const std::uint32_t days = lunarMonthDays(year, month);
        const int len = days & 0xFFFF;
        if (n < len)
            break;
        n -= len;
        if (lunarLeapMonth(year) == month) {
            const int leapLen = days >> 16;
            if (n < leapLen)
                break;
            n -= leapLen;
        }
        ++month;
    }
    return {year, month, n + 1};
}

const QDate kFirst(1901, 1, 1);
const QDate kLast(2050, 12, 31);

} // namespace

class TestLunar : public QObject
{
    Q_OBJECT

private slots:
    void daysBetween_data();
    void daysBetween();
    void daysBetweenMatchesQDate();

    void toLunarDate_data();
    void toLunarDate();
    void correctedSolarTerms_data();
    void correctedSolarTerms();
    void outsideRange_data();
    void outsideRange();
    void dayCountOutsideRange_data();
    void dayCountOutsideRange();

    void monthDays_data();
    void monthDays();
    void yearDays_data();
    void yearDays();
    void leapMonth_data();
    void leapMonth();

    void monthName_data();
    void monthName();
    void dayName_data();
    void dayName();
    void termName_data();
    void termName();

    void daysFollowOneAnother();
    void yearLengthsMatch();
    void twoTermsEachMonth();
    void termsFollowTheSun();
    void monthsFollowPrincipalTerms();
    void newYearsInSeason();
    void matchesReferenceWalk();
};

void TestLunar::daysBetween_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("second");
    QTest::addColumn<int>("days");
    QTest::newRow("common year february") << QDate(2014, 3, 1) << QDate(2014, 2, 28) << 1;
    QTest::newRow("leap century february") << QDate(2000, 3, 1) << QDate(2000, 2, 28) << 2;
    QTest::newRow("plain century february") << QDate(1900, 3, 1) << QDate(1900, 2, 28) << 1;
    QTest::newRow("same day") << QDate(2014, 9, 8) << QDate(2014, 9, 8) << 0;
    QTest::newRow("earlier first is negative") << QDate(2014, 2, 28) << QDate(2014, 3, 1) << -1;
    QTest::newRow("first lunar new year") << QDate(1901, 2, 19) << kFirst << 49;
    QTest::newRow("whole range") << kLast << kFirst << 54786;
}

void TestLunar::daysBetween()
{
    QFETCH(QDate, first);
    QFETCH(QDate, second);
    QFETCH(int, days);
    QCOMPARE(::daysBetween(first.year(), first.month(), first.day(), second.year(), second.month(), second.day()),
             days);
}

void TestLunar::daysBetweenMatchesQDate()
{
    for (QDate date = kFirst.addDays(-400); date <= kLast.addDays(400); date = date.addDays(1)) {
        const int expected = kFirst.daysTo(date);
        if (::daysBetween(date.year(), date.month(), date.day(), 1901, 1, 1) != expected)
            QFAIL(qPrintable(date.toString(Qt::ISODate)));
    }
    // A month outside 1..12 carries into the year instead of reading past the month table.
    QCOMPARE(::daysBetween(2014, 13, 1, 2015, 1, 1), 0);
    QCOMPARE(::daysBetween(2014, 0, 1, 2013, 12, 1), 0);
    QCOMPARE(::daysBetween(2014, 25, 1, 2016, 1, 1), 0);
    QCOMPARE(::daysBetween(2014, 1, 32, 2014, 2, 1), 0);
    QCOMPARE(::daysBetween(65535, 65535, 65535, 0, 0, 0) > 0, true);
}

void TestLunar::toLunarDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("term");

    QTest::newRow("first supported day") << kFirst << 1900 << 11 << 11 << 0;
    QTest::newRow("last day of lunar 1900") << QDate(1901, 2, 18) << 1900 << 12 << 30 << 0;
    QTest::newRow("lunar 1901 begins") << QDate(1901, 2, 19) << 1901 << 1 << 1 << 4;
    QTest::newRow("twelfth month of 1900 begins") << QDate(1901, 1, 20) << 1900 << 12 << 1 << 0;
    QTest::newRow("spring festival 2014") << QDate(2014, 1, 31) << 2014 << 1 << 1 << 0;
    QTest::newRow("spring festival 2015 on 雨水") << QDate(2015, 2, 19) << 2015 << 1 << 1 << 4;
    QTest::newRow("2020 fourth month") << QDate(2020, 4, 23) << 2020 << 4 << 1 << 0;
    QTest::newRow("2020 leap fourth month") << QDate(2020, 5, 23) << 2020 << 4 << 1 << 0;
    QTest::newRow("2020 leap fourth month ends") << QDate(2020, 6, 20) << 2020 << 4 << 29 << 0;
    QTest::newRow("2020 fifth month after leap") << QDate(2020, 6, 21) << 2020 << 5 << 1 << 12;
    QTest::newRow("mid-autumn 2014 on 白露") << QDate(2014, 9, 8) << 2014 << 8 << 15 << 17;
    QTest::newRow("冬至 2014 on a new moon") << QDate(2014, 12, 22) << 2014 << 11 << 1 << 24;
    QTest::newRow("last supported day") << kLast << 2050 << 11 << 18 << 0;

    // Dates the corrected month-length words move.
    QTest::newRow("2025 third month has 30 days") << QDate(2025, 4, 27) << 2025 << 3 << 30 << 0;
    QTest::newRow("2025 fourth month begins") << QDate(2025, 4, 28) << 2025 << 4 << 1 << 0;
    QTest::newRow("2025 fourth month ends") << QDate(2025, 5, 26) << 2025 << 4 << 29 << 0;
    QTest::newRow("2025 fifth month begins") << QDate(2025, 5, 27) << 2025 << 5 << 1 << 0;
    QTest::newRow("2025 端午节") << QDate(2025, 5, 31) << 2025 << 5 << 5 << 0;
    QTest::newRow("2013 fifth month begins") << QDate(2013, 6, 8) << 2013 << 5 << 1 << 0;
    QTest::newRow("2013 端午节") << QDate(2013, 6, 12) << 2013 << 5 << 5 << 0;
    QTest::newRow("2013 sixth month begins") << QDate(2013, 7, 8) << 2013 << 6 << 1 << 0;
    QTest::newRow("1989 seventh month begins") << QDate(1989, 8, 2) << 1989 << 7 << 1 << 0;
    QTest::newRow("1989 乞巧节") << QDate(1989, 8, 8) << 1989 << 7 << 7 << 0;
    QTest::newRow("1989 中元节") << QDate(1989, 8, 16) << 1989 << 7 << 15 << 0;
}

void TestLunar::toLunarDate()
{
    QFETCH(QDate, date);
    int term = -1;
    const LunarDate lunar = convert(date, &term);
    QTEST(lunar.year, "year");
    QTEST(lunar.month, "month");
    QTEST(lunar.day, "day");
    QTEST(term, "term");
}

void TestLunar::correctedSolarTerms_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("term");
    QTest::addColumn<QDate>("formerDate");

    QTest::newRow("1904 寒露") << QDate(1904, 10, 9) << 19 << QDate(1904, 10, 8);
    QTest::newRow("1929 寒露") << QDate(1929, 10, 9) << 19 << QDate(1929, 10, 8);
    QTest::newRow("1929 小雪") << QDate(1929, 11, 23) << 22 << QDate(1929, 11, 22);
    QTest::newRow("1949 处暑") << QDate(1949, 8, 23) << 16 << QDate(1949, 8, 24);
    QTest::newRow("1954 霜降") << QDate(1954, 10, 24) << 20 << QDate(1954, 10, 23);
    QTest::newRow("1962 大寒") << QDate(1962, 1, 20) << 2 << QDate(1962, 1, 21);
    QTest::newRow("1973 雨水") << QDate(1973, 2, 19) << 4 << QDate(1973, 2, 20);
    QTest::newRow("1976 处暑") << QDate(1976, 8, 23) << 16 << QDate(1976, 8, 24);
    QTest::newRow("1977 立夏") << QDate(1977, 5, 5) << 9 << QDate(1977, 5, 6);
    QTest::newRow("1981 立冬") << QDate(1981, 11, 7) << 21 << QDate(1981, 11, 8);
    QTest::newRow("1991 立夏") << QDate(1991, 5, 6) << 9 << QDate(1991, 5, 7);
    QTest::newRow("1995 处暑") << QDate(1995, 8, 23) << 16 << QDate(1995, 8, 21);
    QTest::newRow("2033 大暑") << QDate(2033, 7, 22) << 14 << QDate(2033, 7, 23);
    QTest::newRow("2034 立秋") << QDate(2034, 8, 7) << 15 << QDate(2034, 8, 8);
    QTest::newRow("2049 清明") << QDate(2049, 4, 4) << 7 << QDate(2049, 4, 5);
    QTest::newRow("2049 谷雨") << QDate(2049, 4, 19) << 8 << QDate(2049, 4, 20);
    QTest::newRow("2050 白露") << QDate(2050, 9, 7) << 17 << QDate(2050, 9, 8);
}

void TestLunar::correctedSolarTerms()
{
    QFETCH(QDate, date);
    QFETCH(int, term);
    QFETCH(QDate, formerDate);
    QCOMPARE(solarTermIndex(date.year(), date.month(), date.day()), term);
    QCOMPARE(solarTermIndex(formerDate.year(), formerDate.month(), formerDate.day()), 0);
}

void TestLunar::outsideRange_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");

    QTest::newRow("day before the tables") << 1900 << 12 << 31;
    QTest::newRow("day after the tables") << 2051 << 1 << 1;
    QTest::newRow("inside lunar 2050 but after the range") << 2051 << 2 << 10;
    QTest::newRow("far future") << 65535 << 12 << 31;
    QTest::newRow("all zero") << 0 << 0 << 0;
    QTest::newRow("month zero") << 2014 << 0 << 10;
    QTest::newRow("month thirteen") << 2014 << 13 << 1;
    QTest::newRow("huge month") << 2014 << 65535 << 1;
    QTest::newRow("day zero") << 2014 << 1 << 0;
    QTest::newRow("29 february of a common year") << 2014 << 2 << 29;
    QTest::newRow("29 february 1900") << 1900 << 2 << 29;
    QTest::newRow("31 april") << 2014 << 4 << 31;
    QTest::newRow("huge day") << 2014 << 1 << 65535;
}

void TestLunar::outsideRange()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    std::uint16_t y = 99, m = 99, d = 99;
    QCOMPARE(::toLunarDate(year, month, day, y, m, d), 0);
    QCOMPARE(y, 0);
    QCOMPARE(m, 0);
    QCOMPARE(d, 0);
    QCOMPARE(solarTermIndex(year, month, day), 0);
}

void TestLunar::dayCountOutsideRange_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");

    const int end = kFirst.daysTo(QDate(2051, 2, 11));
    QTest::newRow("day before 1901") << -1 << 0 << 0 << 0;
    QTest::newRow("most negative") << INT_MIN << 0 << 0 << 0;
    QTest::newRow("last day of lunar 2050") << end - 1 << 2050 << 12 << 29;
    QTest::newRow("lunar 2051 new year") << end << 0 << 0 << 0;
    QTest::newRow("largest count") << INT_MAX << 0 << 0 << 0;
}

void TestLunar::dayCountOutsideRange()
{
    QFETCH(int, count);
    const LunarDate lunar = fromCount(count);
    QTEST(lunar.year, "year");
    QTEST(lunar.month, "month");
    QTEST(lunar.day, "day");
}

void TestLunar::monthDays_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<uint>("days");

    QTest::newRow("2020 fourth month and its leap month") << 2020 << 4 << (30u | 29u << 16);
    QTest::newRow("2020 fifth month after the leap") << 2020 << 5 << 30u;
    QTest::newRow("2014 first month") << 2014 << 1 << 29u;
    QTest::newRow("2014 ninth month and its leap month") << 2014 << 9 << (30u | 29u << 16);
    QTest::newRow("2014 twelfth month, last bit of 13") << 2014 << 12 << 30u;
    QTest::newRow("2025 third month corrected") << 2025 << 3 << 30u;
    QTest::newRow("2025 fourth month corrected") << 2025 << 4 << 29u;
    QTest::newRow("1984 tenth month is followed by a leap") << 1984 << 10 << (30u | 29u << 16);
    QTest::newRow("2033 eleventh month is followed by a leap") << 2033 << 11 << (30u | 29u << 16);
    QTest::newRow("before the tables") << 1900 << 5 << 30u;
    QTest::newRow("after the tables") << 2051 << 5 << 30u;
    QTest::newRow("month zero") << 2014 << 0 << 0u;
    QTest::newRow("month thirteen") << 2014 << 13 << 0u;
    QTest::newRow("huge month before the tables") << 1800 << 65535 << 0u;
}

void TestLunar::monthDays()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QTEST(uint(lunarMonthDays(year, month)), "days");
}

void TestLunar::yearDays_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("days");
    QTest::newRow("1901") << 1901 << 354;
    QTest::newRow("2014 with a leap month") << 2014 << 384;
    QTest::newRow("2020 with a leap month") << 2020 << 384;
    QTest::newRow("2025 keeps its length after the correction") << 2025 << 384;
    QTest::newRow("before the tables") << 1900 << 360;
    QTest::newRow("after the tables") << 2051 << 360;
    QTest::newRow("year zero") << 0 << 360;
}

void TestLunar::yearDays()
{
    QFETCH(int, year);
    QTEST(int(lunarYearDays(year)), "days");
}

void TestLunar::leapMonth_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("leap");
    QTest::newRow("1901 none") << 1901 << 0;
    QTest::newRow("1903 high nibble") << 1903 << 5;
    QTest::newRow("1904 low nibble") << 1904 << 0;
    QTest::newRow("1984 ten") << 1984 << 10;
    QTest::newRow("2033 eleven") << 2033 << 11;
    QTest::newRow("2020 four") << 2020 << 4;
    QTest::newRow("2050 three") << 2050 << 3;
    QTest::newRow("outside") << 2051 << 0;
}

void TestLunar::leapMonth()
{
    QFETCH(int, year);
    QTEST(int(lunarLeapMonth(year)), "leap");
}

void TestLunar::monthName_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("name");
    const QStringList names = u"- 正月 二月 三月 四月 五月 六月 七月 八月 九月 十月 十一月 十二月"_s.split(u' ');
    for (int month = 1; month <= 12; ++month)
        QTest::addRow("month %d", month) << month << names.at(month);
    QTest::newRow("zero") << 0 << QString();
    QTest::newRow("thirteen") << 13 << QString();
}

void TestLunar::monthName()
{
    QFETCH(int, month);
    QTEST(lunarMonthName(month), "name");
}

void TestLunar::dayName_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("name");
    const QStringList names = u"- 初一 初二 初三 初四 初五 初六 初七 初八 初九 初十 "
                              u"十一 十二 十三 十四 十五 十六 十七 十八 十九 二十 "
                              u"廿一 廿二 廿三 廿四 廿五 廿六 廿七 廿八 廿九 三十"_s.split(u' ');
    for (int day = 1; day <= 30; ++day)
        QTest::addRow("day %d", day) << day << names.at(day);
    QTest::newRow("zero") << 0 << QString();
    QTest::newRow("thirty-one") << 31 << QString();
}

void TestLunar::dayName()
{
    QFETCH(int, day);
    QTEST(lunarDayName(day), "name");
}

void TestLunar::termName_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    const QStringList names = u"- 小寒 大寒 立春 雨水 惊蛰 春分 清明 谷雨 立夏 小满 芒种 夏至 "
                              u"小暑 大暑 立秋 处暑 白露 秋分 寒露 霜降 立冬 小雪 大雪 冬至"_s.split(u' ');
    for (int index = 1; index <= 24; ++index)
        QTest::addRow("term %d", index) << index << names.at(index);
    QTest::newRow("zero") << 0 << QString();
    QTest::newRow("twenty-five") << 25 << QString();
    QTest::newRow("largest") << 65535 << QString();
}

void TestLunar::termName()
{
    QFETCH(int, index);
    QTEST(solarTermName(index), "name");
}

void TestLunar::daysFollowOneAnother()
{
    LunarDate previous = convert(kFirst);
    int monthLength = previous.day; // 1900's eleventh month is only seen from its 11th day on
    bool previousWasLeap = false;
    for (QDate date = kFirst.addDays(1); date <= kLast; date = date.addDays(1)) {
        const LunarDate lunar = convert(date);
        const QByteArray where = date.toString(Qt::ISODate).toLatin1();
        if (lunar.day == previous.day + 1 && lunar.month == previous.month && lunar.year == previous.year) {
            ++monthLength;
        } else {
            QVERIFY2(lunar.day == 1, where);
            QVERIFY2(previous.day == 29 || previous.day == 30, where);
            if (previous.year >= 1901) {
                const std::uint32_t days = lunarMonthDays(previous.year, previous.month);
                QCOMPARE(uint(previous.day), previousWasLeap ? days >> 16 : days & 0xFFFF);
            }
            const bool repeated = lunar.year == previous.year && lunar.month == previous.month;
            if (repeated) {
                QVERIFY2(!previousWasLeap, where);
                QVERIFY2(lunarLeapMonth(lunar.year) == lunar.month, where);
            } else if (previous.month == 12) {
                QVERIFY2(lunar.year == previous.year + 1 && lunar.month == 1, where);
            } else {
                QVERIFY2(lunar.year == previous.year && lunar.month == previous.month + 1, where);
                // A year with a leap month must have shown it before moving past its month.
                if (previous.year >= 1901 && lunarLeapMonth(previous.year) == previous.month)
                    QVERIFY2(previousWasLeap, where);
            }
            previousWasLeap = repeated;
            monthLength = 1;
        }
        QVERIFY2(lunar.month >= 1 && lunar.month <= 12, where);
        previous = lunar;
    }
    Q_UNUSED(monthLength);
}

void TestLunar::yearLengthsMatch()
{
    QDate newYear;
    int year = 0;
    for (QDate date = kFirst; date <= kLast; date = date.addDays(1)) {
        const LunarDate lunar = convert(date);
        if (lunar.month != 1 || lunar.day != 1)
            continue;
        // Skip the second 1-1 a leap first month would give; no year in the tables has one.
        QVERIFY(lunarLeapMonth(lunar.year) != 1);
        if (newYear.isValid()) {
            QCOMPARE(lunar.year, year + 1);
            QCOMPARE(newYear.daysTo(date), qint64(lunarYearDays(year)));
        }
        newYear = date;
        year = lunar.year;
    }
    QCOMPARE(year, 2050);
    QCOMPARE(newYear.daysTo(QDate(2051, 2, 11)), qint64(lunarYearDays(2050)));
}

void TestLunar::twoTermsEachMonth()
{
    for (int year = 1901; year <= 2050; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const std::uint8_t byte = LunarTables::kSolarTerms[(year - 1901) * 12 + month - 1];
            QList<int> days;
            QList<int> terms;
            for (int day = 1; day <= QDate(year, month, 1).daysInMonth(); ++day) {
                std::uint16_t y, m, d;
                if (const int term = ::toLunarDate(year, month, day, y, m, d)) {
                    days << day;
                    terms << term;
                }
            }
            const QByteArray where = QByteArray::number(year) + '-' + QByteArray::number(month);
            QCOMPARE(days, (QList<int>{15 - (byte >> 4), 15 + (byte & 0x0F)}));
            QCOMPARE(terms, (QList<int>{2 * month - 1, 2 * month}));
            QVERIFY2(days.first() >= 3 && days.first() <= 9 && days.last() >= 18 && days.last() <= 24, where);
        }
    }
}

void TestLunar::termsFollowTheSun()
{
    // The sun moves about 15 degrees between terms: 14 to 16 days, never a jump a typo would make.
    QDate previous;
    int previousTerm = 0;
    for (QDate date = kFirst; date <= kLast; date = date.addDays(1)) {
        const int term = solarTermIndex(date.year(), date.month(), date.day());
        if (!term)
            continue;
        if (previous.isValid()) {
            const QByteArray where = date.toString(Qt::ISODate).toLatin1();
            QVERIFY2(term == previousTerm % 24 + 1, where);
            const qint64 gap = previous.daysTo(date);
            QVERIFY2(gap >= 14 && gap <= 16, where + " gap " + QByteArray::number(gap));
        }
        previous = date;
        previousTerm = term;
    }
}

void TestLunar::monthsFollowPrincipalTerms()
{
    // The rule of the calendar: 冬至 always falls in the eleventh month, and a leap month holds no
    // principal (even-numbered) term.
    bool inLeap = false;
    LunarDate previous = convert(kFirst);
    for (QDate date = kFirst; date <= kLast; date = date.addDays(1)) {
        int term = 0;
        const LunarDate lunar = convert(date, &term);
        if (lunar.day == 1 && date != kFirst)
            inLeap = lunar.month == previous.month;
        const QByteArray where = date.toString(Qt::ISODate).toLatin1();
        if (term == 24)
            QVERIFY2(lunar.month == 11 && !inLeap, where);
        if (term % 2 == 0 && term != 0)
            QVERIFY2(!inLeap, where);
        previous = lunar;
    }
}

void TestLunar::newYearsInSeason()
{
    for (int year = 1901; year <= 2050; ++year) {
        int newYears = 0;
        for (QDate date(year, 1, 1); date.month() <= 3 && date.year() == year; date = date.addDays(1)) {
            const LunarDate lunar = convert(date);
            if (lunar.month == 1 && lunar.day == 1) {
                ++newYears;
                QCOMPARE(lunar.year, year);
                QVERIFY2(date >= QDate(year, 1, 21) && date <= QDate(year, 2, 20),
                         date.toString(Qt::ISODate).toLatin1());
            }
        }
        QCOMPARE(newYears, 1);
    }
}

void TestLunar::matchesReferenceWalk()
{
    const int end = kFirst.daysTo(QDate(2051, 2, 11));
    for (int n = 0; n < end; ++n) {
        const LunarDate fast = fromCount(n);
        const LunarDate slow = referenceFromCount(n);
        if (fast.year != slow.year || fast.month != slow.month || fast.day != slow.day)
            QFAIL(qPrintable(u"day count %1"_s.arg(n)));
    }
}

QTEST_APPLESS_MAIN(TestLunar)

#include "tst_lunar.moc"

#include "LunarCalendar.h"

#include "LunarTables.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int kYearCount = LunarTables::kLastYear - LunarTables::kFirstYear + 1;

// 1901-02-19, lunar 1901-01-01, is day 49 after 1901-01-01.
constexpr std::int32_t kFirstNewYear = 49;

constexpr std::int32_t kCumulativeDays[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

constexpr bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr bool inTables(int year)
{
    return year >= LunarTables::kFirstYear && year <= LunarTables::kLastYear;
}

constexpr std::int32_t dayNumber(int year, int month, int day)
{
    // Carry a month outside 1..12 into the year so the table index stays in range.
    const int monthIndex = month - 1;
    year += monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
    month = (monthIndex % 12 + 12) % 12 + 1;
    const std::int32_t y = year - 1;
    std::int32_t n = y * 365 + y / 4 - y / 100 + y / 400 + kCumulativeDays[month - 1] + day;
    if (isLeapYear(year) && month > 2)
        ++n;
    return n;
}

constexpr int leapMonthOf(int year)
{
    const int offset = year - LunarTables::kFirstYear;
    const std::uint8_t pair = LunarTables::kLeapMonths[offset / 2];
    return offset % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

constexpr std::uint32_t monthDays(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    if (!inTables(year))
        return 30;
    const int leap = leapMonthOf(year);
    const int bit = (leap != 0 && month > leap) ? 15 - month : 16 - month;
    const std::uint16_t word = LunarTables::kMonthLengths[year - LunarTables::kFirstYear];
    const std::uint32_t length = (word >> bit) & 1 ? 30 : 29;
    if (month != leap)
        return length;
    const std::uint32_t leapLength = (word >> (bit - 1)) & 1 ? 30 : 29;
    return length | leapLength << 16;
}

constexpr std::uint16_t yearDays(int year)
{
    std::uint32_t total = 0;
    for (int month = 1; month <= 12; ++month) {
        const std::uint32_t days = monthDays(year, month);
        total += (days & 0xFFFF) + (days >> 16);
    }
    return static_cast<std::uint16_t>(total);
}

// Day count of each lunar new year from 1901 to 2051: the tables fix them, so a conversion looks the
// year up instead of summing all years since 1901 on every call.
constexpr std::array<std::int32_t, kYearCount + 1> computeNewYears()
{
    std::array<std::int32_t, kYearCount + 1> starts{};
    starts[0] = kFirstNewYear;
    for (int i = 0; i < kYearCount; ++i)
        starts[i + 1] = starts[i] + yearDays(LunarTables::kFirstYear + i);
    return starts;
}

constexpr auto kNewYears = computeNewYears();

static_assert(kNewYears[2014 - LunarTables::kFirstYear] == dayNumber(2014, 1, 31) - dayNumber(1901, 1, 1));
static_assert(kNewYears[kYearCount] == dayNumber(2051, 2, 11) - dayNumber(1901, 1, 1));

constexpr int daysInMonth(int year, int month)
{
    constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

} // namespace

std::int32_t daysBetween(std::uint16_t year1, std::uint16_t month1, std::uint16_t day1,
                         std::uint16_t year2, std::uint16_t month2, std::uint16_t day2)
{
    return dayNumber(year1, month1, day1) - dayNumber(year2, month2, day2);
}

std::uint16_t solarTermIndex(std::uint16_t year, std::uint16_t month, std::uint16_t day)
{
    if (!inTables(year) || month < 1 || month > 12)
        return 0;
    const std::uint8_t terms = LunarTables::kSolarTerms[(year - LunarTables::kFirstYear) * 12 + month - 1];
    const int candidate = day < 15 ? 15 - (terms >> 4) : 15 + (terms & 0x0F);
    if (day != candidate)
        return 0;
    return static_cast<std::uint16_t>(day <= 15 ? 2 * month - 1 : 2 * month);
}

std::uint32_t lunarMonthDays(std::uint16_t lunarYear, std::uint16_t lunarMonth)
{
    return monthDays(lunarYear, lunarMonth);
}

std::uint16_t lunarYearDays(std::uint16_t lunarYear)
{
    return yearDays(lunarYear);
}

std::uint16_t lunarLeapMonth(std::uint16_t lunarYear)
{
    return inTables(lunarYear) ? static_cast<std::uint16_t>(leapMonthOf(lunarYear)) : 0;
}

void lunarDateFromDayCount(std::int32_t dayCount, std::uint16_t &lunarYear, std::uint16_t &lunarMonth,
                           std::uint16_t &lunarDay)
{
    if (dayCount < 0 || dayCount >= kNewYears[kYearCount]) {
        lunarYear = lunarMonth = lunarDay = 0;
        return;
    }
    if (dayCount < kFirstNewYear) {
        // The tail of lunar 1900: its eleventh month began on 1900-12-22, its twelfth on 1901-01-20.
        lunarYear = 1900;
        lunarMonth = dayCount < 19 ? 11 : 12;
        lunarDay = static_cast<std::uint16_t>(dayCount < 19 ? dayCount + 11 : dayCount - 18);
        return;
    }
    const auto next = std::upper_bound(kNewYears.begin(), kNewYears.end(), dayCount);
    const int yearIndex = static_cast<int>(next - kNewYears.begin()) - 1;
    const int year = LunarTables::kFirstYear + yearIndex;
    std::int32_t n = dayCount - kNewYears[yearIndex];
    int month = 1;
    // The count lies inside the year, so the last month always ends the loop.
    for (; month <= 12; ++month) {
        const std::uint32_t days = monthDays(year, month);
        const std::int32_t length = days & 0xFFFF;
        if (n < length)
            break;
        n -= length;
        const std::int32_t leapLength = days >> 16;
        if (n < leapLength)
            break;
        n -= leapLength;
    }
    lunarYear = static_cast<std::uint16_t>(year);
    lunarMonth = static_cast<std::uint16_t>(month);
    lunarDay = static_cast<std::uint16_t>(n + 1);
}

std::uint16_t toLunarDate(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                          std::uint16_t &lunarYear, std::uint16_t &lunarMonth, std::uint16_t &lunarDay)
{
    if (!inTables(year) || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
        lunarYear = lunarMonth = lunarDay = 0;
        return 0;
    }
    lunarDateFromDayCount(daysBetween(year, month, day, 1901, 1, 1), lunarYear, lunarMonth, lunarDay);
    return solarTermIndex(year, month, day);
}

QString lunarMonthName(std::uint16_t lunarMonth)
{
    static const QString names[12] = {
        u"正月"_s, u"二月"_s, u"三月"_s, u"四月"_s, u"五月"_s, u"六月"_s,
        u"七月"_s, u"八月"_s, u"九月"_s, u"十月"_s, u"十一月"_s, u"十二月"_s,
    };
    return lunarMonth >= 1 && lunarMonth <= 12 ? names[lunarMonth - 1] : QString();
}

QString lunarDayName(std::uint16_t lunarDay)
{
    static const QString names[30] = {
        u"初一"_s, u"初二"_s, u"初三"_s, u"初四"_s, u"初五"_s, u"初六"_s, u"初七"_s, u"初八"_s, u"初九"_s, u"初十"_s,
        u"十一"_s, u"十二"_s, u"十三"_s, u"十四"_s, u"十五"_s, u"十六"_s, u"十七"_s, u"十八"_s, u"十九"_s, u"二十"_s,
        u"廿一"_s, u"廿二"_s, u"廿三"_s, u"廿四"_s, u"廿五"_s, u"廿六"_s, u"廿七"_s, u"廿八"_s, u"廿九"_s, u"三十"_s,
    };
    return lunarDay >= 1 && lunarDay <= 30 ? names[lunarDay - 1] : QString();
}

QString solarTermName(std::uint16_t index)
{
    static const QString names[24] = {
        u"小寒"_s, u"大寒"_s, u"立春"_s, u"雨水"_s, u"惊蛰"_s, u"春分"_s,
        u"清明"_s, u"谷雨"_s, u"立夏"_s, u"小满"_s, u"芒种"_s, u"夏至"_s,
        u"小暑"_s, u"大暑"_s, u"立秋"_s, u"处暑"_s, u"白露"_s, u"秋分"_s,
        u"寒露"_s, u"霜降"_s, u"立冬"_s, u"小雪"_s, u"大雪"_s, u"冬至"_s,
    };
    return index >= 1 && index <= 24 ? names[index - 1] : QString();
}

// Chinese lunar calendar for 1901 to 2050: Gregorian to lunar dates, the 24 solar terms and their names.
#pragma once

#include <QString>

#include <cstdint>

// Years, months and days are 16-bit unsigned values, day counts 32-bit signed.
//
// Defined answers outside the tables (nothing is ever read beyond them):
// - daysBetween is plain arithmetic; a month outside 1..12 carries into the year (month 0 is December
//   of the year before, month 13 January of the next) and days are counted on from the month's start.
// - solarTermIndex is 0 for a year outside 1901..2050 or a month outside 1..12.
// - lunarMonthDays is 0 for a month outside 1..12; a year outside 1901..2050 has twelve months of
//   30 days and no leap month, so lunarYearDays gives 360 there.
// - lunarDateFromDayCount gives year, month and day 0 for a count before 1901-01-01 or after the last
//   day of lunar 2050 (2051-02-10).
// - toLunarDate gives year, month and day 0 and returns 0 for a date that is not a valid Gregorian
//   date from 1901-01-01 to 2050-12-31.
// - The name functions give an empty string for a value outside their list.

// Days from the second date to the first, positive when the first is later.
std::int32_t daysBetween(std::uint16_t year1, std::uint16_t month1, std::uint16_t day1,
                         std::uint16_t year2, std::uint16_t month2, std::uint16_t day2);

// The solar term (1 to 24) falling on a Gregorian date, or 0.
std::uint16_t solarTermIndex(std::uint16_t year, std::uint16_t month, std::uint16_t day);

// Low 16 bits: length of the lunar month (29 or 30); high 16 bits: length of the leap month that
// follows it, or 0 when none does.
std::uint32_t lunarMonthDays(std::uint16_t lunarYear, std::uint16_t lunarMonth);

// Days of a lunar year, leap month included.
std::uint16_t lunarYearDays(std::uint16_t lunarYear);

// The number of the month a leap month follows in that lunar year, 0 when the year has none.
std::uint16_t lunarLeapMonth(std::uint16_t lunarYear);

// Lunar date of the day dayCount days after 1901-01-01. A leap month reports the number of the
// regular month before it.
void lunarDateFromDayCount(std::int32_t dayCount, std::uint16_t &lunarYear, std::uint16_t &lunarMonth,
                           std::uint16_t &lunarDay);

// Fills the lunar date of a Gregorian date and returns its solar-term index (0 when none).
std::uint16_t toLunarDate(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                          std::uint16_t &lunarYear, std::uint16_t &lunarMonth, std::uint16_t &lunarDay);

// 正月 ... 十二月 for months 1 to 12.
QString lunarMonthName(std::uint16_t lunarMonth);

// 初一 ... 三十 for days 1 to 30.
QString lunarDayName(std::uint16_t lunarDay);

// 小寒 ... 冬至 for indexes 1 to 24.
QString solarTermName(std::uint16_t index);

// Cost of the lunar conversion: every day of the supported range, and the 42 cells of one month view.
#include "LunarCalendar.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Day
{
    std::uint16_t year;
    std::uint16_t month;
    std::uint16_t day;
};

std::vector<Day> allDays()
{
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<Day> days;
    for (int y = 1901; y <= 2050; ++y) {
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        for (int m = 1; m <= 12; ++m) {
            const int count = lengths[m - 1] + (m == 2 && leap ? 1 : 0);
            for (int d = 1; d <= count; ++d)
                days.push_back({std::uint16_t(y), std::uint16_t(m), std::uint16_t(d)});
        }
    }
    return days;
}

// The per-call walk over all years since 1901, as the conversion reads when nothing is precomputed.
void walkFromDayCount(std::int32_t n, std::uint16_t &year, std::uint16_t &month, std::uint16_t &day)
{
    if (n < 49) {
        year = 1900;
        month = n < 19 ? 11 : 12;
        day = std::uint16_t(n < 19 ? n + 11 : n - 18);
        return;
    }
    n -= 49;
    int y = 1901;
    while (n >= lunarYearDays(y))
        n -= lunarYearDays(y++);
    int m = 1;
    for (;;) {
        const std::uint32_t days = lunarMonthDays(y, m);
        if (n < std::int32_t(days & 0xFFFF))
            break;
        n -= days & 0xFFFF;
        if (days >> 16) {
            if (n < std::int32_t(days >> 16))
                break;
            n -= days >> 16;
        }
        ++m;
    }
    year = std::uint16_t(y);
    month = std::uint16_t(m);
    day = std::uint16_t(n + 1);
}

void BM_ToLunarDate_WholeRange(benchmark::State &state)
{
    const std::vector<Day> days = allDays();
    for (auto _ : state) {
        for (const Day &d : days) {
            std::uint16_t y, m, dd;
            benchmark::DoNotOptimize(toLunarDate(d.year, d.month, d.day, y, m, dd));
            benchmark::DoNotOptimize(y + m + dd);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(days.size()));
}
BENCHMARK(BM_ToLunarDate_WholeRange)->Unit(benchmark::kMillisecond);

void BM_PerYearWalk_WholeRange(benchmark::State &state)
{
    const std::int32_t count = daysBetween(2050, 12, 31, 1901, 1, 1) + 1;
    for (auto _ : state) {
        for (std::int32_t n = 0; n < count; ++n) {
            std::uint16_t y, m, d;
            walkFromDayCount(n, y, m, d);
            benchmark::DoNotOptimize(y + m + d);
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_PerYearWalk_WholeRange)->Unit(benchmark::kMillisecond);

// One month view: six weeks starting on the Sunday on or before the 1st (September 2014 here, and
// a month near the end of the tables where a per-year walk is longest).
void BM_ToLunarDate_MonthView(benchmark::State &state)
{
    const std::uint16_t year = std::uint16_t(state.range(0));
    const std::uint16_t month = std::uint16_t(state.range(1));
    std::vector<Day> cells;
    const std::int32_t first = daysBetween(year, month, 1, 1901, 1, 1);
    const std::int32_t start = first - (first + 2) % 7; // 1901-01-01 was a Tuesday
    for (const Day &d : allDays()) {
        const std::int32_t n = daysBetween(d.year, d.month, d.day, 1901, 1, 1);
        if (n >= start && n < start + 42)
            cells.push_back(d);
    }
    for (auto _ : state) {
        for (const Day &d : cells) {
            std::uint16_t y, m, dd;
            benchmark::DoNotOptimize(toLunarDate(d.year, d.month, d.day, y, m, dd));
            benchmark::DoNotOptimize(y + m + dd);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(cells.size()));
}
BENCHMARK(BM_ToLunarDate_MonthView)->Args({2014, 9})->Args({2049, 12});

void BM_LunarNames_MonthView(benchmark::State &state)
{
    for (auto _ : state) {
        for (int i = 0; i < 42; ++i) {
            benchmark::DoNotOptimize(lunarDayName(std::uint16_t(i % 30 + 1)));
            benchmark::DoNotOptimize(solarTermName(std::uint16_t(i % 25)));
        }
    }
    state.SetItemsProcessed(state.iterations() * 42);
}
BENCHMARK(BM_LunarNames_MonthView);

} // namespace

BENCHMARK_MAIN();

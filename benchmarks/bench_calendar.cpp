// Cost of one full repaint of the calendar page's month grid (42 cells), of its cell texts alone and
// of the holiday marks of a month.
#include "CalendarWidget.h"
#include "ChineseCalendarWidget.h"
#include "HolidayTable.h"
#include "ScheduleMgr.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTableView>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

struct Page
{
    ScheduleMgr mgr;
    CalendarWidget page{nullptr, &mgr};
    ChineseCalendarWidget *grid = nullptr;
    QWidget *viewport = nullptr;

    Page(int year, int month)
    {
        // A handful of schedules, as a user would keep, so the alarm walk has work to do.
        for (int i = 0; i < 10; ++i) {
            Schedule schedule;
            schedule.type = i % 3 + 1;
            schedule.datetime = QDateTime(QDate(2014, 9, 1 + 2 * i), QTime(9, 30));
            schedule.description = u"提醒"_s;
            mgr.addSchedule(schedule);
        }
        page.resize(900, 470);
        grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
        grid->setCurrentPage(year, month);
        page.show();
        viewport = grid->findChild<QTableView *>()->viewport();
    }
};

// September 2014 as before; October 2026 with nine days off and two make-up days, each with its badge.
void BM_MonthGridRepaint(benchmark::State &state)
{
    Page p(int(state.range(0)), int(state.range(1)));
    QImage image(p.viewport->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        p.viewport->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * 42);
}
BENCHMARK(BM_MonthGridRepaint)->Args({2014, 9})->Args({2026, 10})->Unit(benchmark::kMicrosecond);

void BM_MonthGridCellTexts(benchmark::State &state)
{
    Page p(2014, 9);
    const QDate first(2014, 8, 25);
    for (auto _ : state) {
        for (int i = 0; i < 42; ++i)
            benchmark::DoNotOptimize(p.grid->cellText(first.addDays(i)));
    }
    state.SetItemsProcessed(state.iterations() * 42);
}
BENCHMARK(BM_MonthGridCellTexts)->Unit(benchmark::kMicrosecond);

// The marks alone: one table lookup and one working-day answer per cell.
void BM_MonthHolidayMarks(benchmark::State &state)
{
    const QDate first(2026, 9, 28);
    holidayTable(); // read on first use, not in the loop
    for (auto _ : state) {
        for (int i = 0; i < 42; ++i) {
            const QDate date = first.addDays(i);
            benchmark::DoNotOptimize(holidayTable().day(date).kind);
            benchmark::DoNotOptimize(isWorkday(date));
        }
    }
    state.SetItemsProcessed(state.iterations() * 42);
}
BENCHMARK(BM_MonthHolidayMarks)->Unit(benchmark::kMicrosecond);

// The first use: reading the shipped table of 25 years into its compact form.
void BM_ReadHolidayTable(benchmark::State &state)
{
    QFile file(u":/calendar/cn_holidays.tsv"_s);
    file.open(QIODevice::ReadOnly);
    const QByteArray text = file.readAll();
    for (auto _ : state) {
        HolidayTable table;
        benchmark::DoNotOptimize(HolidayTable::parse(text, &table));
    }
}
BENCHMARK(BM_ReadHolidayTable)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Shows the calendar page or one schedule dialog with sample schedules, for looking at them by eye.
// Usage: calendar_preview page [year month] | new | browser | notify [output.png]
#include "CalendarWidget.h"
#include "NewScheduleDialog.h"
#include "ScheduleBrowserDialog.h"
#include "ScheduleMgr.h"
#include "ScheduleNotifyDialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

Schedule sample(int type, const QDateTime &datetime, const QString &description)
{
    Schedule schedule;
    schedule.type = type;
    schedule.datetime = datetime;
    schedule.description = description;
    return schedule;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString what = args.value(0, u"page"_s);
    QString output;
    if (!args.isEmpty() && args.last().endsWith(u".png"_s))
        output = args.last();

    ScheduleMgr mgr;
    const QDateTime now(QDate(2014, 9, 10), QTime(9, 0));
    mgr.setClock([now] { return now; });
    mgr.addSchedule(sample(OnlyToday, QDateTime(QDate(2014, 9, 15), QTime(9, 30)), u"开会"_s));
    mgr.addSchedule(sample(EveryDay, QDateTime(QDate(2014, 9, 24), QTime(8, 0)), u"吃药"_s));
    mgr.addSchedule(sample(Workday, QDateTime(QDate(2014, 9, 17), QTime(9, 30)), u"站会：汇报本周进度"_s));

    QWidget *shown = nullptr;
    if (what == u"new"_s) {
        shown = new NewScheduleDialog;
    } else if (what == u"browser"_s) {
        auto *browser = new ScheduleBrowserDialog(nullptr, &mgr);
        browser->refreshList();
        shown = browser;
    } else if (what == u"notify"_s) {
        auto *notify = new ScheduleNotifyDialog;
        notify->setSchedule(mgr.schedules().at(2));
        shown = notify;
    } else {
        auto *page = new CalendarWidget(nullptr, &mgr);
        page->resize(900, 470);
        auto *grid = page->findChild<QCalendarWidget *>(u"calendarWidget"_s);
        grid->setCurrentPage(args.value(1, u"2014"_s).toInt(), args.value(2, u"9"_s).toInt());
        shown = page;
    }
    shown->move(40, 40);
    shown->show();
    if (!output.isEmpty()) {
        QTimer::singleShot(500, shown, [shown, output] {
            shown->grab().save(output);
            QApplication::quit();
        });
    }
    const int result = app.exec();
    delete shown;
    return result;
}

// Test helper: saves every data file of the program over and over with the program's own save
// code, so that a test can SIGKILL it in the middle of a save and then inspect what is left.
#include "GlobalSettings.h"
#include "ProgramTableWidget.h"
#include "ScheduleMgr.h"
#include "WebsiteStore.h"

#include <QApplication>
#include <QDateTime>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    GlobalSettings *settings = GlobalSettings::instance();
    settings->initKeyNames();
    const QString dir = settings->dataDirectory();

    ProgramTableWidget grid;
    grid.loadPrograms(dir + u"/lup.dat"_s);
    ScheduleMgr schedules;
    schedules.loadSchedules(dir + u"/schedules.dat"_s);
    QVector<WebsiteEntry> websites;

    for (int round = 0;; ++round) {
        // Files grow round by round, so a torn write would show as a short or broken file.
        settings->setHotKey(round % 2 ? Qt::Key_F9 : Qt::Key_F4);
        settings->save(settings->settingsFilePath());

        WebsiteEntry entry;
        entry.text = u"网站%1"_s.arg(round);
        entry.url = u"http://site%1.example.cn/"_s.arg(round);
        websites.append(entry);
        WebsiteStore::savePersonal(dir + u"/luw.dat"_s, websites);

        grid.addProgram(u"程序%1"_s.arg(round), QCoreApplication::applicationFilePath());
        grid.savePrograms(dir + u"/lup.dat"_s);

        Schedule schedule;
        schedule.type = 2;
        schedule.datetime = QDateTime::currentDateTime().addDays(1 + round);
        schedule.description = u"日程%1"_s.arg(round);
        schedules.addSchedule(schedule);
        schedules.saveSchedules(dir + u"/schedules.dat"_s);

        std::printf("round %d\n", round);
        std::fflush(stdout);
    }
}

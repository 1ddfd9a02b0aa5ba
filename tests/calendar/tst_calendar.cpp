// Tests of schedules, the reminder check, the schedule dialogs and the calendar page.
#include "CalendarWidget.h"
#include "ChineseCalendarWidget.h"
#include "Endpoints.h"
#include "FakeNetworkAccessManager.h"
#include "GlobalSettings.h"
#include "HolidayUpdate.h"
#include "LunarCalendar.h"
#include "Network.h"
#include "NewScheduleDialog.h"
#include "ScheduleBrowserDialog.h"
#include "ScheduleMgr.h"
#include "ScheduleNotifyDialog.h"
#include "TempDataDir.h"
#include "TestMain.h"
#include "TestTools.h"

#include <QCheckBox>
#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMutexLocker>
#include <QPointer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

Schedule makeSchedule(int type, const QDateTime &datetime, const QString &description = u"提醒"_s)
{
    Schedule schedule;
    schedule.type = type;
    schedule.datetime = datetime;
    schedule.description = description;
    return schedule;
}

QDateTime at(int y, int m, int d, int hh, int mm, int ss = 0)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm, ss));
}

QString schedulesPath()
{
    return GlobalSettings::instance()->dataFilePath(u"schedules.dat"_s);
}

// Types text that a plain key code cannot carry (Chinese characters).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList rowTexts(QTableWidget *table)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << static_cast<QLabel *>(table->cellWidget(row, 0))->text();
    return texts;
}

} // namespace

class TestCalendar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Schedule model and file.
    void idsFreshAndKeptByCopies();
    void saveAndLoadRoundTrip();
    void badFiles_data();
    void badFiles();
    void unwritableFileKeepsList();
    void removeUnknownId();
    void addAndRemoveEmit();
    void nextOccurrence_data();
    void nextOccurrence();

    // The once-a-second check.
    void oneDayFiresOnceAndLeavesFile();
    void everyDayMovesToNextDay();
    void workdaySilentAtWeekendFiresMondayAtItsTime();
    void workdayCreatedOnWeekend();
    void missedForDaysFiresOnceAtStart_data();
    void missedForDaysFiresOnceAtStart();
    void sameSecondEachGetsADialog();
    void invalidAndUnknownTypes();
    void reminderClosing_data();
    void reminderClosing();
    void managerDeletesOpenReminders();

    // Dialogs.
    void reminderTexts_data();
    void reminderTexts();
    void newScheduleDialog();
    void newScheduleStartTime_data();
    void newScheduleStartTime();
    void newScheduleTypeTime_data();
    void newScheduleTypeTime();
    void newScheduleTypes_data();
    void newScheduleTypes();
    void browserTexts();
    void browserLongDescription_data();
    void browserLongDescription();
    void browserCheckAllThenOneRow();
    void browserDeleteRowsOneAndThree();
    void browserStaleRow();
    void dialogDragAreas_data();
    void dialogDragAreas();

    // Calendar grid and page.
    void cellTexts_data();
    void cellTexts();
    void solarFestivals_data();
    void solarFestivals();
    void newYearsEveEveryYear();
    void alarmMarks_data();
    void alarmMarks();
    void paintedColours();
    void longFestivalStaysInsideItsCell();
    void menuOnlyForTodayAndLater();
    void noMenuRightAfterPageChange();
    void clickOnOtherMonthOpensNoMenu();
    void monthMenu();
    void yearField();
    void prevNextMonth();
    void newScheduleDialogOverItsWindow();
    void addScheduleThroughDialog();
    void browseReusesDialog();

    // Official days off, make-up working days, clock changes.
    void workdayReminders_data();
    void workdayReminders();
    void clockYearAheadAndBack();
    void clockStepBackSameDayFiresOnce();
    void daylightSavingGap();
    void holidayBadges();
    void holidayToolTips_data();
    void holidayToolTips();
    void newerHolidayYearsFromTheSite();
    void refusedHolidayReplies_data();
    void refusedHolidayReplies();
    void firedReminderRepaintsTheGrid();

private:
    QDateTime m_now;
    void useClock(ScheduleMgr &mgr) { mgr.setClock([this] { return m_now; }); }
    // For tests about other things: the real once-a-second check must not fire their schedules
    // whenever the event loop runs.
    static void quiet(ScheduleMgr &mgr)
    {
        mgr.setClock([] { return QDateTime(QDate(2000, 1, 1), QTime(0, 0)); });
    }
};

void TestCalendar::init()
{
    QFile::remove(schedulesPath());
    m_now = at(2014, 5, 9, 7, 0); // a Friday
}

void TestCalendar::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QDialog *>(w))
            w->hide();
    }
}

void TestCalendar::idsFreshAndKeptByCopies()
{
    const Schedule a;
    const Schedule b;
    QVERIFY(a.id != b.id);
    const Schedule copy = a;
    QCOMPARE(copy.id, a.id);

    ScheduleMgr mgr;
    quiet(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 1, 9, 30)));
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 1, 8, 0)));
    QVERIFY(mgr.saveSchedules(schedulesPath()));

    ScheduleMgr first;
    first.loadSchedules(schedulesPath());
    ScheduleMgr second;
    second.loadSchedules(schedulesPath());
    QCOMPARE(first.schedules().size(), 2);
    QVERIFY(first.schedules().at(0).id != first.schedules().at(1).id);
    // Each load hands out new ids.
    QVERIFY(second.schedules().at(0).id != first.schedules().at(0).id);
    QVERIFY(second.schedules().at(0).id != mgr.schedules().at(0).id);
}

void TestCalendar::saveAndLoadRoundTrip()
{
    ScheduleMgr mgr;
    quiet(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 1, 9, 30), u"开会 <带引号的\"描述\"> & 符号"_s));
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 2, 8, 0), u"吃药"_s));
    mgr.addSchedule(makeSchedule(Workday, at(2014, 5, 5, 9, 30, 15), u"站会"_s));
    QVERIFY(mgr.saveSchedules(schedulesPath()));

    QFile file(schedulesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Closed before the next save: Windows cannot replace a file that is open.
    file.close();
    QVERIFY(bytes.startsWith("<torvel>"));
    QVERIFY(!bytes.contains("<?xml"));
    QVERIFY(bytes.contains("\n    <schedule "));
    QVERIFY(bytes.contains("datetime=\"2014-05-05 09:30:15\""));
    QVERIFY(bytes.contains(u"吃药"_s.toUtf8()));

    ScheduleMgr loaded;
    loaded.loadSchedules(schedulesPath());
    QCOMPARE(loaded.schedules().size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(loaded.schedules().at(i).type, mgr.schedules().at(i).type);
        QCOMPARE(loaded.schedules().at(i).datetime, mgr.schedules().at(i).datetime);
        QCOMPARE(loaded.schedules().at(i).description, mgr.schedules().at(i).description);
        QVERIFY(!loaded.schedules().at(i).firedToday);
    }

    // Deleting the last schedule leaves the bare root element.
    for (const Schedule &s : QList<Schedule>(mgr.schedules()))
        mgr.removeSchedule(s.id);
    QVERIFY(mgr.saveSchedules(schedulesPath()));
    QDomDocument doc;
    QFile again(schedulesPath());
    QVERIFY(again.open(QIODevice::ReadOnly));
    QVERIFY(doc.setContent(&again));
    QCOMPARE(doc.documentElement().tagName(), u"torvel"_s);
    QVERIFY(doc.documentElement().firstChild().isNull());
}

void TestCalendar::badFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("firstType");
    QTest::addColumn<bool>("firstValid");
    QTest::addColumn<QString>("firstDescription");

    QTest::newRow("missing file") << QByteArray() << 0 << 0 << false << QString();
    QTest::newRow("empty file") << QByteArray(" \n") << 0 << 0 << false << QString();
    QTest::newRow("not xml") << QByteArray("schedule type=1") << 0 << 0 << false << QString();
    QTest::newRow("truncated")
        << QByteArray("<torvel><schedule type=\"1\" datetime=\"2014-05-01 09:30:00\"") << 0 << 0 << false << QString();
    QTest::newRow("other root name accepted")
        << QByteArray("<x><schedule type=\"2\" datetime=\"2014-05-01 09:30:00\" description=\"a\"/></x>") << 1 << 2
        << true << u"a"_s;
    QTest::newRow("missing type reads 0")
        << QByteArray("<torvel><schedule datetime=\"2014-05-01 09:30:00\" description=\"b\"/></torvel>") << 1 << 0
        << true << u"b"_s;
    QTest::newRow("type not a number reads 0")
        << QByteArray("<torvel><schedule type=\"x1\" datetime=\"2014-05-01 09:30:00\"/></torvel>") << 1 << 0 << true
        << QString();
    QTest::newRow("malformed datetime is invalid")
        << QByteArray("<torvel><schedule type=\"1\" datetime=\"2014-13-45 99:00:00\" description=\"c\"/></torvel>")
        << 1 << 1 << false << u"c"_s;
    QTest::newRow("signed year is invalid")
        << QByteArray("<torvel><schedule type=\"1\" datetime=\"-999-05-01 09:30:00\" description=\"e\"/></torvel>")
        << 1 << 1 << false << u"e"_s;
    QTest::newRow("ISO separator is invalid")
        << QByteArray("<torvel><schedule type=\"1\" datetime=\"2014-05-01T09:30:00\" description=\"f\"/></torvel>")
        << 1 << 1 << false << u"f"_s;
    QTest::newRow("missing datetime is invalid")
        << QByteArray("<torvel><schedule type=\"3\"/></torvel>") << 1 << 3 << false << QString();
    QTest::newRow("other children skipped")
        << QByteArray("<torvel><note/><schedule type=\"1\" datetime=\"2014-05-01 09:30:00\" description=\"d\">"
                      "<schedule type=\"2\"/></schedule><x:schedule xmlns:x=\"u\"/></torvel>")
        << 1 << 1 << true << u"d"_s;
}

void TestCalendar::badFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    TempDataDir dir;
    const QString path = content.isEmpty() ? dir.filePath(u"schedules.dat"_s) : dir.write(u"schedules.dat"_s, content);

    ScheduleMgr mgr;
    useClock(mgr);
    mgr.loadSchedules(path);
    QCOMPARE(mgr.schedules().size(), count);
    if (count) {
        const Schedule &first = mgr.schedules().first();
        QTEST(first.type, "firstType");
        QTEST(first.datetime.isValid(), "firstValid");
        QTEST(first.description, "firstDescription");
    }
    // Whatever was read, a schedule without a valid date-time never falls due.
    m_now = at(2049, 12, 31, 23, 59);
    mgr.onTimeout();
    int validDue = 0;
    for (const Schedule &s : mgr.schedules())
        validDue += s.datetime.isValid() ? 0 : 1;
    QCOMPARE(mgr.openDialogs().size(), qsizetype(count - validDue));
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::unwritableFileKeepsList()
{
    TempDataDir dir;
    // The target is a folder: nothing can replace it.
    QVERIFY(QDir().mkpath(dir.filePath(u"schedules.dat"_s)));
    ScheduleMgr mgr;
    quiet(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 1, 9, 30)));
    QVERIFY(!mgr.saveSchedules(dir.filePath(u"schedules.dat"_s)));
    QVERIFY(!mgr.saveSchedules(dir.filePath(u"missing/folder/schedules.dat"_s)));
    QCOMPARE(mgr.schedules().size(), 1);
    QVERIFY(QFileInfo(dir.filePath(u"schedules.dat"_s)).isDir());
}

void TestCalendar::removeUnknownId()
{
    ScheduleMgr mgr;
    quiet(mgr);
    const Schedule kept = makeSchedule(OnlyToday, at(2014, 5, 1, 9, 30));
    mgr.addSchedule(kept);
    const Schedule gone = makeSchedule(EveryDay, at(2014, 5, 1, 8, 0));
    mgr.addSchedule(gone);
    mgr.removeSchedule(gone.id);
    QSignalSpy spy(&mgr, &ScheduleMgr::scheduleChanged);
    mgr.removeSchedule(gone.id);
    mgr.removeSchedule(-12345);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(mgr.schedules().size(), 1);
    QCOMPARE(mgr.schedules().first().id, kept.id);
}

void TestCalendar::addAndRemoveEmit()
{
    ScheduleMgr mgr;
    quiet(mgr);
    QSignalSpy spy(&mgr, &ScheduleMgr::scheduleChanged);
    const Schedule schedule = makeSchedule(Workday, at(2014, 5, 1, 9, 30), u"站会"_s);
    mgr.addSchedule(schedule);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Schedule>().id, schedule.id);
    mgr.removeSchedule(schedule.id);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).value<Schedule>().description, u"站会"_s);
    QVERIFY(mgr.schedules().isEmpty());
}

void TestCalendar::nextOccurrence_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QDateTime>("datetime");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("next");

    QTest::newRow("daily, later today") << 2 << at(2014, 5, 1, 8, 0) << at(2014, 5, 9, 7, 0) << at(2014, 5, 9, 8, 0);
    QTest::newRow("daily, exactly now moves on") << 2 << at(2014, 5, 9, 8, 0) << at(2014, 5, 9, 8, 0)
                                                 << at(2014, 5, 10, 8, 0);
    QTest::newRow("daily, passed today") << 2 << at(2014, 5, 1, 8, 0) << at(2014, 5, 9, 9, 0) << at(2014, 5, 10, 8, 0);
    QTest::newRow("workday, Friday to Monday") << 3 << at(2014, 5, 9, 9, 30) << at(2014, 5, 9, 9, 30)
                                               << at(2014, 5, 12, 9, 30);
    QTest::newRow("workday, Saturday to Monday") << 3 << at(2014, 5, 10, 9, 30) << at(2014, 5, 10, 9, 30)
                                                 << at(2014, 5, 12, 9, 30);
    QTest::newRow("workday, Sunday evening to Monday") << 3 << at(2014, 5, 1, 9, 30) << at(2014, 5, 11, 23, 0)
                                                       << at(2014, 5, 12, 9, 30);
    QTest::newRow("across a year") << 2 << at(2014, 12, 31, 23, 59, 59) << at(2014, 12, 31, 23, 59, 59)
                                   << at(2015, 1, 1, 23, 59, 59);
}

void TestCalendar::nextOccurrence()
{
    QFETCH(int, type);
    QFETCH(QDateTime, datetime);
    QFETCH(QDateTime, now);
    const Schedule schedule = makeSchedule(type, datetime);
    QTEST(schedule.nextOccurrenceAfter(now), "next");
    QVERIFY(!makeSchedule(type, QDateTime()).nextOccurrenceAfter(now).isValid());
}

void TestCalendar::oneDayFiresOnceAndLeavesFile()
{
    ScheduleMgr mgr;
    useClock(mgr);
    CalendarWidget page(nullptr, &mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 9, 8, 0), u"开会"_s));
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 9, 12, 0), u"午饭"_s));
    QVERIFY(QFile(schedulesPath()).open(QIODevice::ReadOnly));

    QSignalSpy spy(&mgr, &ScheduleMgr::scheduleChanged);
    m_now = at(2014, 5, 9, 7, 59, 59);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 0);

    m_now = at(2014, 5, 9, 8, 0, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Schedule>().description, u"开会"_s);
    QCOMPARE(mgr.schedules().size(), 1);

    m_now = at(2014, 5, 9, 8, 0, 1);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);

    // The page saved the file after the change.
    QFile file(schedulesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Closed before the next save: Windows cannot replace a file that is open.
    file.close();
    QVERIFY(!bytes.contains(u"开会"_s.toUtf8()));
    QVERIFY(bytes.contains(u"午饭"_s.toUtf8()));
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::everyDayMovesToNextDay()
{
    ScheduleMgr mgr;
    useClock(mgr);
    CalendarWidget page(nullptr, &mgr);
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 9, 8, 0), u"吃药"_s));

    m_now = at(2014, 5, 9, 8, 0, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    QCOMPARE(mgr.schedules().first().datetime, at(2014, 5, 10, 8, 0));
    QVERIFY(QFile(schedulesPath()).open(QIODevice::ReadOnly));
    {
        QFile file(schedulesPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("2014-05-10 08:00:00"));
    }

    for (const QDateTime &quiet : {at(2014, 5, 9, 8, 0, 5), at(2014, 5, 9, 23, 59, 59), at(2014, 5, 10, 0, 0, 1),
                                   at(2014, 5, 10, 7, 59, 59)}) {
        m_now = quiet;
        mgr.onTimeout();
        QVERIFY2(mgr.openDialogs().size() == 1, qPrintable(quiet.toString()));
    }
    m_now = at(2014, 5, 10, 8, 0, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 2);
    QCOMPARE(mgr.schedules().first().datetime, at(2014, 5, 11, 8, 0));
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::workdaySilentAtWeekendFiresMondayAtItsTime()
{
    ScheduleMgr mgr;
    useClock(mgr);
    mgr.addSchedule(makeSchedule(Workday, at(2014, 5, 9, 9, 30), u"站会"_s));

    m_now = at(2014, 5, 9, 9, 30, 0); // Friday
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    QCOMPARE(mgr.schedules().first().datetime, at(2014, 5, 12, 9, 30));

    // Every second from Friday 09:31 to Monday 09:29 stays silent; step through the interesting ones.
    for (const QDateTime &quiet : {at(2014, 5, 10, 0, 0, 1), at(2014, 5, 10, 9, 30), at(2014, 5, 11, 12, 0),
                                   at(2014, 5, 12, 0, 0, 1), at(2014, 5, 12, 0, 0, 5), at(2014, 5, 12, 9, 29, 59)}) {
        m_now = quiet;
        mgr.onTimeout();
        QVERIFY2(mgr.openDialogs().size() == 1, qPrintable(quiet.toString()));
    }
    m_now = at(2014, 5, 12, 9, 30, 0); // Monday
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 2);
    QCOMPARE(mgr.schedules().first().datetime, at(2014, 5, 13, 9, 30));
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::workdayCreatedOnWeekend()
{
    ScheduleMgr mgr;
    useClock(mgr);
    m_now = at(2014, 5, 10, 8, 0); // Saturday
    mgr.addSchedule(makeSchedule(Workday, at(2014, 5, 10, 9, 30)));
    for (const QDateTime &quiet : {at(2014, 5, 10, 9, 30), at(2014, 5, 10, 23, 0), at(2014, 5, 11, 9, 30),
                                   at(2014, 5, 12, 0, 0, 1), at(2014, 5, 12, 9, 29, 59)}) {
        m_now = quiet;
        mgr.onTimeout();
        QVERIFY2(mgr.openDialogs().isEmpty(), qPrintable(quiet.toString()));
    }
    m_now = at(2014, 5, 12, 9, 30, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::missedForDaysFiresOnceAtStart_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("rearmedTo");
    QTest::newRow("started after its time") << at(2014, 5, 9, 10, 0) << at(2014, 5, 10, 8, 0);
    QTest::newRow("started before its time") << at(2014, 5, 9, 7, 0) << at(2014, 5, 9, 8, 0);
}

void TestCalendar::missedForDaysFiresOnceAtStart()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, rearmedTo);
    ScheduleMgr saved;
    saved.addSchedule(makeSchedule(EveryDay, at(2014, 5, 1, 8, 0), u"吃药"_s));
    QVERIFY(saved.saveSchedules(schedulesPath()));

    m_now = start;
    ScheduleMgr mgr;
    useClock(mgr);
    mgr.loadSchedules(schedulesPath());
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    // The reminder shows the time that fell due.
    QCOMPARE(mgr.openDialogs().first()->findChild<QLabel *>(u"datetime_"_s)->text(), u"每天的08:00:00"_s);
    QCOMPARE(mgr.schedules().first().datetime, rearmedTo);

    // From now on only at its own time: nothing before it, nothing at midnight.
    for (QDateTime t = start.addSecs(1); t < rearmedTo; t = t.addSecs(600)) {
        m_now = t;
        mgr.onTimeout();
    }
    m_now = rearmedTo.addSecs(-1);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    m_now = rearmedTo;
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 2);
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::sameSecondEachGetsADialog()
{
    ScheduleMgr mgr;
    useClock(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 9, 8, 0), u"第一"_s));
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 9, 8, 0), u"第二"_s));
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 9, 8, 0), u"第三"_s));
    QSignalSpy spy(&mgr, &ScheduleMgr::scheduleChanged);
    m_now = at(2014, 5, 9, 8, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 3);
    QStringList order;
    for (ScheduleNotifyDialog *dialog : mgr.openDialogs())
        order << dialog->findChild<QLabel *>(u"description_"_s)->text();
    QCOMPARE(order, (QStringList{u"第三"_s, u"第二"_s, u"第一"_s}));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(mgr.schedules().size(), 1);
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::invalidAndUnknownTypes()
{
    ScheduleMgr mgr;
    useClock(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, QDateTime()));
    mgr.addSchedule(makeSchedule(7, at(2014, 5, 9, 8, 0), u"未知"_s));
    m_now = at(2014, 5, 9, 8, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    // An unknown type repeats daily.
    QCOMPARE(mgr.schedules().size(), 2);
    QCOMPARE(mgr.schedules().at(1).datetime, at(2014, 5, 10, 8, 0));
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::reminderClosing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("close button") << u"close_"_s;
    QTest::newRow("confirm button") << u"confirm_"_s;
}

void TestCalendar::reminderClosing()
{
    QFETCH(QString, button);
    ScheduleMgr mgr;
    useClock(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 9, 7, 0)));
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    QPointer<ScheduleNotifyDialog> dialog = mgr.openDialogs().first();
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    auto *close = dialog->findChild<QToolButton *>(button);
    QCOMPARE(QpaTest::visibleTopLevelWindows(), 1);
    QVERIFY(!QpaTest::quitsEventLoop([close] { QTest::mouseClick(close, Qt::LeftButton); }));
    QVERIFY(mgr.openDialogs().isEmpty());
    flushDeletes();
    QVERIFY(dialog.isNull());

    // A dialog the manager does not know is left alone.
    ScheduleNotifyDialog stranger;
    connect(&stranger, &QDialog::finished, &mgr, &ScheduleMgr::onDialogFinished);
    stranger.accept();
    flushDeletes();
}

void TestCalendar::managerDeletesOpenReminders()
{
    auto *mgr = new ScheduleMgr;
    mgr->setClock([this] { return m_now; });
    mgr->addSchedule(makeSchedule(OnlyToday, at(2014, 5, 9, 7, 0)));
    mgr->onTimeout();
    QPointer<ScheduleNotifyDialog> dialog = mgr->openDialogs().first();
    delete mgr;
    QVERIFY(dialog.isNull());
}

void TestCalendar::reminderTexts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("reminder");
    QTest::addColumn<QString>("browser");
    QTest::newRow("one day") << 1 << u"2014-05-01 09:30:00"_s << u"2014-05-01 09:30:00 : 开会"_s;
    QTest::newRow("every day") << 2 << u"每天的09:30:00"_s << u"每天09:30:00 : 开会"_s;
    QTest::newRow("every workday") << 3 << u"每工作日的09:30:00"_s << u"每工作日09:30:00 : 开会"_s;
    QTest::newRow("unknown type like one day") << 9 << u"2014-05-01 09:30:00"_s << u"2014-05-01 09:30:00 : 开会"_s;
}

void TestCalendar::reminderTexts()
{
    QFETCH(int, type);
    const Schedule schedule = makeSchedule(type, at(2014, 5, 1, 9, 30), u"开会"_s);
    ScheduleNotifyDialog dialog;
    dialog.setSchedule(schedule);
    QTEST(dialog.findChild<QLabel *>(u"datetime_"_s)->text(), "reminder");
    QCOMPARE(dialog.findChild<QLabel *>(u"description_"_s)->text(), u"开会"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"description_"_s)->textFormat(), Qt::PlainText);
    QCOMPARE(dialog.findChild<QLabel *>(u"titleLabel_"_s)->text(), u"日程提醒"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"label"_s)->text(), u"您有一条日程记录被激活："_s);
    QCOMPARE(dialog.size(), QSize(400, 300));

    ScheduleMgr mgr;
    quiet(mgr);
    mgr.addSchedule(schedule);
    ScheduleBrowserDialog browser(nullptr, &mgr);
    browser.refreshList();
    auto *table = browser.findChild<QTableWidget *>(u"tableWidget_"_s);
    QCOMPARE(table->rowCount(), 1);
    QTEST(rowTexts(table).first(), "browser");
    QCOMPARE(table->cellWidget(0, 0)->objectName(), QString::number(schedule.id));
}

void TestCalendar::newScheduleDialog()
{
    NewScheduleDialog dialog;
    dialog.show();
    auto *confirm = dialog.findChild<QToolButton *>(u"confirm_"_s);
    auto *edit = dialog.findChild<QLineEdit *>(u"lineEdit_"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"titleLabel_"_s)->text(), u"添加日程"_s);
    QVERIFY(!confirm->isEnabled());
    // Proposes the next full hour (the clock may pass one meanwhile).
    const QTime proposed = dialog.findChild<QTimeEdit *>(u"timeEdit_"_s)->time();
    QCOMPARE(proposed.minute(), proposed.hour() == 23 ? 59 : 0);
    QVERIFY(proposed > QTime::currentTime().addSecs(-3600));
    QVERIFY(dialog.findChild<QRadioButton *>(u"onlyToday_"_s)->isChecked());

    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QImage disabledLook = confirm->grab().toImage();
    typeText(edit, u"  "_s);
    QVERIFY(!confirm->isEnabled());
    edit->clear();
    typeText(edit, u"会"_s);
    QVERIFY(confirm->isEnabled());
    // The green button is greyed while it cannot be pressed: its face, not only its text, differs.
    const QPoint face(4, confirm->height() / 2);
    QVERIFY(confirm->grab().toImage().pixelColor(face) != disabledLook.pixelColor(face));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(!confirm->isEnabled());

    typeText(edit, QString(40, u'字'));
    QCOMPARE(edit->text().size(), 32);
    QTest::keyClick(edit, Qt::Key_A);
    QCOMPARE(edit->text(), QString(32, u'字'));
    // An emoji of which only half fits is dropped, not stored as half a character.
    edit->clear();
    edit->insert(QString(31, u'字') + u"😀"_s);
    QCOMPARE(edit->text(), QString(31, u'字'));
    edit->clear();
    typeText(edit, QString(32, u'字'));

    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(confirm, Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.description(), QString(32, u'字'));

    NewScheduleDialog other;
    other.show();
    QSignalSpy rejected(&other, &QDialog::rejected);
    QTest::mouseClick(other.findChild<QToolButton *>(u"close_"_s), Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
}

void TestCalendar::newScheduleStartTime_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QTime>("proposed");
    QTest::newRow("morning") << QTime(9, 20) << QTime(10, 0);
    QTest::newRow("on the hour") << QTime(10, 0) << QTime(11, 0);
    QTest::newRow("midnight") << QTime(0, 0) << QTime(1, 0);
    QTest::newRow("just before eleven at night") << QTime(22, 59, 59) << QTime(23, 0);
    // The next full hour would be tomorrow: the last minute of the chosen day instead.
    QTest::newRow("eleven at night") << QTime(23, 0) << QTime(23, 59);
    QTest::newRow("last minute") << QTime(23, 59, 30) << QTime(23, 59);
}

void TestCalendar::newScheduleStartTime()
{
    QFETCH(QTime, now);
    QFETCH(QTime, proposed);
    QCOMPARE(NewScheduleDialog::startTime(now), proposed);
}

void TestCalendar::newScheduleTypeTime_data()
{
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QTime>("time");
    QTest::newRow("cursor before the hour") << 0 << false << u"0930"_s << QTime(9, 30);
    QTest::newRow("cursor inside the hour") << 1 << false << u"0930"_s << QTime(9, 30);
    QTest::newRow("cursor after the hour") << 2 << false << u"0930"_s << QTime(9, 30);
    QTest::newRow("cursor before the minutes") << 3 << false << u"45"_s << QTime(10, 45);
    QTest::newRow("cursor at the end") << 5 << false << u"45"_s << QTime(10, 45);
    QTest::newRow("one digit at the end") << 5 << false << u"7"_s << QTime(10, 7);
    QTest::newRow("everything selected") << 0 << true << u"1815"_s << QTime(18, 15);
}

void TestCalendar::newScheduleTypeTime()
{
    QFETCH(int, cursor);
    QFETCH(bool, selectAll);
    QFETCH(QString, keys);
    NewScheduleDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *timeEdit = dialog.findChild<QTimeEdit *>(u"timeEdit_"_s);
    timeEdit->setTime(QTime(10, 0));
    timeEdit->setFocus();
    auto *line = timeEdit->findChild<QLineEdit *>();
    line->deselect();
    line->setCursorPosition(cursor);
    if (selectAll)
        line->selectAll();
    QTest::keyClicks(timeEdit, keys);
    QTEST(dialog.time(), "time");
}

void TestCalendar::newScheduleTypes_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("type");
    QTest::newRow("仅当天") << u"onlyToday_"_s << 1;
    QTest::newRow("每天") << u"everyday_"_s << 2;
    QTest::newRow("每工作日") << u"workday_"_s << 3;
}

void TestCalendar::newScheduleTypes()
{
    QFETCH(QString, radio);
    NewScheduleDialog dialog;
    dialog.findChild<QRadioButton *>(radio)->setChecked(true);
    dialog.findChild<QTimeEdit *>(u"timeEdit_"_s)->setTime(QTime(9, 30));
    QTEST(dialog.type(), "type");
    QCOMPARE(dialog.time(), QTime(9, 30));
}

void TestCalendar::browserTexts()
{
    ScheduleMgr mgr;
    quiet(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 1, 9, 30), u"开会"_s));
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 1, 8, 0), u"吃药"_s));
    mgr.addSchedule(makeSchedule(Workday, at(2014, 5, 1, 9, 30), u"<b>站会</b>"_s));
    ScheduleBrowserDialog browser(nullptr, &mgr);
    browser.refreshList();
    auto *table = browser.findChild<QTableWidget *>(u"tableWidget_"_s);
    QCOMPARE(rowTexts(table), (QStringList{u"2014-05-01 09:30:00 : 开会"_s, u"每天08:00:00 : 吃药"_s,
                                           u"每工作日09:30:00 : <b>站会</b>"_s}));
    // Descriptions are shown as typed, never as markup.
    QCOMPARE(static_cast<QLabel *>(table->cellWidget(2, 0))->textFormat(), Qt::PlainText);
    QCOMPARE(browser.findChild<QLabel *>(u"titleLabel_"_s)->text(), u"浏览日程"_s);
    QCOMPARE(table->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(table->columnWidth(0), 400);

    // The three dialogs share one green look for their action buttons.
    auto *remove = browser.findChild<QToolButton *>(u"delete_"_s);
    QVERIFY(remove->styleSheet().contains(u"rgb(5, 196, 0)"_s));
    NewScheduleDialog create;
    ScheduleNotifyDialog reminder;
    for (QDialog *dialog : {static_cast<QDialog *>(&create), static_cast<QDialog *>(&reminder)}) {
        auto *confirm = dialog->findChild<QToolButton *>(u"confirm_"_s);
        QCOMPARE(confirm->styleSheet(), remove->styleSheet());
        QCOMPARE(confirm->text(), u"确定"_s);
        QCOMPARE(confirm->minimumWidth(), 60);
        QCOMPARE(confirm->font().pointSize(), 10);
        QVERIFY(confirm->autoRaise());
    }
}

void TestCalendar::browserLongDescription_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("short") << u"吃药"_s << false;
    QTest::newRow("32 chinese characters") << QString(32, u'药') << true;
    QTest::newRow("long with emoji") << u"😀记得给妈妈打电话然后去超市买菜再去银行办理业务还要去邮局寄信取快递"_s << true;
}

void TestCalendar::browserLongDescription()
{
    QFETCH(QString, description);
    QFETCH(bool, shortened);
    ScheduleMgr mgr;
    quiet(mgr);
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 1, 8, 0), description));
    ScheduleBrowserDialog browser(nullptr, &mgr);
    browser.refreshList();
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    auto *table = browser.findChild<QTableWidget *>(u"tableWidget_"_s);
    auto *label = static_cast<QLabel *>(table->cellWidget(0, 0));
    const QString whole = u"每天08:00:00 : "_s + description;
    QCOMPARE(label->text() != whole, shortened);
    QCOMPARE(label->toolTip(), shortened ? whole : QString());
    // The text shown fits inside what the table lets the user see.
    const int textRight = label->mapTo(table->viewport(), QPoint(label->contentsRect().left(), 0)).x()
        + label->fontMetrics().horizontalAdvance(label->text());
    QVERIFY2(textRight <= table->viewport()->width(), qPrintable(label->text()));
}

void TestCalendar::browserCheckAllThenOneRow()
{
    ScheduleMgr mgr;
    quiet(mgr);
    const QStringList names{u"一"_s, u"二"_s, u"三"_s};
    for (const QString &name : names)
        mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 1, 8, 0), name));
    ScheduleBrowserDialog browser(nullptr, &mgr);
    browser.refreshList();
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    auto *table = browser.findChild<QTableWidget *>(u"tableWidget_"_s);
    auto *checkAll = browser.findChild<QCheckBox *>(u"checkAll_"_s);

    QTest::mouseClick(checkAll, Qt::LeftButton);
    QVERIFY(checkAll->isChecked());
    QCOMPARE(table->selectionModel()->selectedRows().size(), 3);

    // Clicking one row replaces the selection and unticks 全选.
    const QRect second = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QVERIFY(!checkAll->isChecked());

    QTest::mouseClick(browser.findChild<QToolButton *>(u"delete_"_s), Qt::LeftButton);
    QCOMPARE(mgr.schedules().size(), 2);
    QCOMPARE(mgr.schedules().at(0).description, u"一"_s);
    QCOMPARE(mgr.schedules().at(1).description, u"三"_s);
    QCOMPARE(table->rowCount(), 2);

    // Unticking leaves the selection as it is.
    QTest::mouseClick(checkAll, Qt::LeftButton);
    QTest::mouseClick(checkAll, Qt::LeftButton);
    QVERIFY(!checkAll->isChecked());
    QCOMPARE(table->selectionModel()->selectedRows().size(), 2);
}

void TestCalendar::browserDeleteRowsOneAndThree()
{
    ScheduleMgr mgr;
    quiet(mgr);
    for (const QString &name : {u"一"_s, u"二"_s, u"三"_s})
        mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 1, 8, 0), name));
    ScheduleBrowserDialog browser(nullptr, &mgr);
    browser.refreshList();
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    auto *table = browser.findChild<QTableWidget *>(u"tableWidget_"_s);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(0, 0)).center());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      table->visualRect(table->model()->index(2, 0)).center());
    QCOMPARE(table->selectionModel()->selectedRows().size(), 2);

    QSignalSpy spy(&mgr, &ScheduleMgr::scheduleChanged);
    QTest::mouseClick(browser.findChild<QToolButton *>(u"delete_"_s), Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(mgr.schedules().size(), 1);
    QCOMPARE(mgr.schedules().first().description, u"二"_s);
    QCOMPARE(rowTexts(table), QStringList{u"2014-05-01 08:00:00 : 二"_s});
    QVERIFY(!browser.findChild<QCheckBox *>(u"checkAll_"_s)->isChecked());

    // With nothing selected the list is only rebuilt.
    table->clearSelection();
    QTest::mouseClick(browser.findChild<QToolButton *>(u"delete_"_s), Qt::LeftButton);
    QCOMPARE(mgr.schedules().size(), 1);
}

void TestCalendar::browserStaleRow()
{
    ScheduleMgr mgr;
    useClock(mgr);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 9, 8, 0), u"一"_s));
    mgr.addSchedule(makeSchedule(OnlyToday, at(2014, 5, 20, 8, 0), u"二"_s));
    ScheduleBrowserDialog browser(nullptr, &mgr);
    browser.refreshList();
    browser.show();
    auto *table = browser.findChild<QTableWidget *>(u"tableWidget_"_s);
    // The first reminder fires while the browser is open: its row goes away at once.
    m_now = at(2014, 5, 9, 8, 0);
    mgr.onTimeout();
    QCOMPARE(rowTexts(table), QStringList{u"2014-05-20 08:00:00 : 二"_s});
    table->selectAll();
    QTest::mouseClick(browser.findChild<QToolButton *>(u"delete_"_s), Qt::LeftButton);
    QVERIFY(mgr.schedules().isEmpty());
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::dialogDragAreas_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("new schedule") << 0;
    QTest::newRow("browser") << 1;
    QTest::newRow("reminder") << 2;
}

void TestCalendar::dialogDragAreas()
{
    QFETCH(int, which);
    ScheduleMgr mgr;
    quiet(mgr);
    std::unique_ptr<ScheduleDialogBase> dialog;
    if (which == 0)
        dialog.reset(new NewScheduleDialog);
    else if (which == 1)
        dialog.reset(new ScheduleBrowserDialog(nullptr, &mgr));
    else
        dialog.reset(new ScheduleNotifyDialog);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    auto *title = dialog->findChild<QWidget *>(u"title_"_s);
    auto *label = dialog->findChild<QLabel *>(u"titleLabel_"_s);
    auto *close = dialog->findChild<QToolButton *>(u"close_"_s);
    auto *confirm = dialog->findChild<QToolButton *>(which == 1 ? u"delete_"_s : u"confirm_"_s);
    auto global = [](QWidget *w, QPoint p) { return w->mapToGlobal(p); };

    QCOMPARE(dialog->hitTest(global(label, label->rect().center())), int(FramelessDialog::HitCaption));
    QCOMPARE(dialog->hitTest(global(title, QPoint(title->width() / 2, 1))), int(FramelessDialog::HitCaption));
    QCOMPARE(dialog->hitTest(global(close, close->rect().center())), int(FramelessDialog::HitNowhere));
    QCOMPARE(dialog->hitTest(global(confirm, confirm->rect().center())), int(FramelessDialog::HitNowhere));
    // Uncovered background: the margin under the body, or beside the browser's delete button.
    const QPoint background = which == 1 ? global(confirm, QPoint(confirm->width() + 40, confirm->height() / 2))
                                         : global(dialog.get(), QPoint(2, dialog->height() - 2));
    QCOMPARE(dialog->hitTest(background), int(FramelessDialog::HitCaption));
    QCOMPARE(dialog->hitTest(global(dialog.get(), QPoint(dialog->width() + 5, 5))), int(FramelessDialog::HitNowhere));
}

void TestCalendar::cellTexts_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("lunar");
    QTest::addColumn<bool>("term");
    QTest::addColumn<QString>("festival");

    QTest::newRow("spring festival shows the month name") << QDate(2014, 1, 31) << u"正月"_s << false << u"春节"_s;
    QTest::newRow("白露 in red and 中秋节") << QDate(2014, 9, 8) << u"白露"_s << true << u"中秋节"_s;
    QTest::newRow("plain day") << QDate(2014, 9, 9) << u"十六"_s << false << QString();
    QTest::newRow("母亲节, second Sunday of May") << QDate(2014, 5, 11) << u"十三"_s << false << u"母亲节"_s;
    QTest::newRow("父亲节, third Sunday of June") << QDate(2014, 6, 15) << u"十八"_s << false << u"父亲节"_s;
    QTest::newRow("感恩节, fourth Thursday of November") << QDate(2014, 11, 27) << u"初六"_s << false << u"感恩节"_s;
    QTest::newRow("a Sunday in May outside the week") << QDate(2014, 5, 4) << u"初六"_s << false << u"青年节"_s;
    QTest::newRow("Gregorian festival wins over 中秋节") << QDate(2020, 10, 1) << u"十五"_s << false << u"国庆日"_s;
    QTest::newRow("冬至 on a lunar month's first day") << QDate(2014, 12, 22) << u"冬至"_s << true << QString();
    QTest::newRow("除夕 on the 29th") << QDate(2026, 2, 16) << u"廿九"_s << false << u"除夕"_s;
    QTest::newRow("除夕 on the 29th, 2025") << QDate(2025, 1, 28) << u"廿九"_s << false << u"除夕"_s;
    QTest::newRow("除夕 on the 30th") << QDate(2014, 1, 30) << u"三十"_s << false << u"除夕"_s;
    QTest::newRow("twelfth month's 29th of a 30-day month") << QDate(2014, 1, 29) << u"廿九"_s << false << QString();
    QTest::newRow("leap month begins with its month name") << QDate(2020, 5, 23) << u"四月"_s << false << QString();
    QTest::newRow("leap month carries the festivals") << QDate(2023, 3, 23) << u"初二"_s << false << u"龙头日"_s;
    QTest::newRow("腊八节") << QDate(2014, 1, 8) << u"初八"_s << false << u"腊八节"_s;
    QTest::newRow("corrected 2013 端午节") << QDate(2013, 6, 12) << u"初五"_s << false << u"端午节"_s;
}

void TestCalendar::cellTexts()
{
    QFETCH(QDate, date);
    ChineseCalendarWidget grid;
    const ChineseCalendarWidget::CellText text = grid.cellText(date);
    QCOMPARE(text.day, QString::number(date.day()));
    QTEST(text.lunar, "lunar");
    QTEST(text.solarTerm, "term");
    QTEST(text.festival, "festival");
    QVERIFY(!text.alarm);
}

void TestCalendar::solarFestivals_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    QTest::newRow("元旦") << QDate(2014, 1, 1) << u"元旦"_s;
    QTest::newRow("消费者权益日") << QDate(2014, 3, 15) << u"消费者权益日"_s;
    QTest::newRow("奥林匹克日") << QDate(2014, 6, 23) << u"奥林匹克日"_s;
    QTest::newRow("圣诞节") << QDate(2014, 12, 25) << u"圣诞节"_s;
    QTest::newRow("母亲节 on the 8th") << QDate(2016, 5, 8) << u"母亲节"_s;
    QTest::newRow("母亲节 on the 14th") << QDate(2017, 5, 14) << u"母亲节"_s;
    QTest::newRow("护士节 moves aside for 母亲节") << QDate(2019, 5, 12) << u"母亲节"_s;
    QTest::newRow("父亲节 on the 21st") << QDate(2015, 6, 21) << u"父亲节"_s;
    QTest::newRow("感恩节 on the 22nd") << QDate(2018, 11, 22) << u"感恩节"_s;
    QTest::newRow("Thursday before the 22nd") << QDate(2018, 11, 15) << QString();
    QTest::newRow("Sunday after the 14th of May") << QDate(2014, 5, 18) << u"博物馆日"_s;
    QTest::newRow("ordinary day") << QDate(2014, 7, 2) << QString();
}

void TestCalendar::solarFestivals()
{
    QFETCH(QDate, date);
    QTEST(ChineseCalendarWidget::solarFestivalName(date.month(), date.day(), date.dayOfWeek()), "name");
}

void TestCalendar::newYearsEveEveryYear()
{
    // Exactly one 除夕 in every lunar year the grid shows, always the day before 春节.
    ChineseCalendarWidget grid;
    int eves = 0;
    for (QDate date(1950, 1, 1); date <= QDate(2049, 12, 31); date = date.addDays(1)) {
        if (!ChineseCalendarWidget::isLunarNewYearsEve(date))
            continue;
        ++eves;
        std::uint16_t y, m, d;
        toLunarDate(date.addDays(1).year(), date.addDays(1).month(), date.addDays(1).day(), y, m, d);
        QVERIFY(m == 1 && d == 1);
        const QString festival = grid.cellText(date).festival;
        QVERIFY2(festival == u"除夕"_s || !ChineseCalendarWidget::solarFestivalName(date.month(), date.day(),
                                                                                    date.dayOfWeek()).isEmpty(),
                 qPrintable(date.toString(Qt::ISODate)));
    }
    QCOMPARE(eves, 100);
    QVERIFY(!ChineseCalendarWidget::isLunarNewYearsEve(QDate(2050, 12, 31)));
    QVERIFY(!ChineseCalendarWidget::isLunarNewYearsEve(QDate(1800, 1, 1)));
}

void TestCalendar::alarmMarks_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("mark");
    const QDate sat(2014, 5, 10);
    QTest::newRow("daily: its own day") << 2 << sat << true;
    QTest::newRow("daily: the day before") << 2 << sat.addDays(-1) << false;
    QTest::newRow("daily: Sunday after") << 2 << sat.addDays(1) << true;
    QTest::newRow("daily: next year") << 2 << QDate(2015, 1, 1) << true;
    QTest::newRow("workday: Saturday itself") << 3 << sat << false;
    QTest::newRow("workday: Sunday") << 3 << sat.addDays(1) << false;
    QTest::newRow("workday: Monday after") << 3 << sat.addDays(2) << true;
    QTest::newRow("workday: Friday before") << 3 << sat.addDays(-1) << false;
    QTest::newRow("one day: its day") << 1 << sat << true;
    QTest::newRow("one day: the day after") << 1 << sat.addDays(1) << false;
    QTest::newRow("unknown type: no mark") << 5 << sat << false;
}

void TestCalendar::alarmMarks()
{
    QFETCH(int, type);
    QFETCH(QDate, date);
    ScheduleMgr mgr;
    quiet(mgr);
    ChineseCalendarWidget grid;
    QVERIFY(!grid.cellText(date).alarm);
    grid.setScheduleMgr(&mgr);
    mgr.addSchedule(makeSchedule(type, at(2014, 5, 10, 9, 0)));
    QTEST(grid.cellText(date).alarm, "mark");
}

// Shows grid as the calendar page lays it out, on the given month.
static bool showAsOnPage(ChineseCalendarWidget &grid, ScheduleMgr &mgr, int year, int month)
{
    grid.setScheduleMgr(&mgr);
    grid.setFirstDayOfWeek(Qt::Monday);
    grid.setHorizontalHeaderFormat(QCalendarWidget::NoHorizontalHeader);
    grid.setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    grid.setNavigationBarVisible(false);
    grid.setFixedSize(743, 372);
    grid.setCurrentPage(year, month);
    grid.show();
    return QTest::qWaitForWindowExposed(&grid);
}

void TestCalendar::paintedColours()
{
    ScheduleMgr mgr;
    useClock(mgr);
    m_now = at(2014, 9, 10, 12, 0);
    ChineseCalendarWidget grid;
    QVERIFY(showAsOnPage(grid, mgr, 2014, 9));
    auto *view = grid.findChild<QTableView *>();
    QVERIFY(view);
    const QImage image = view->viewport()->grab().toImage();
    auto cellPixel = [&](int row, int column) {
        const QRect r = view->visualRect(view->model()->index(row, column));
        return image.pixelColor(r.left() + 4, r.bottom() - 4);
    };
    // September 2014 starts on a Monday, so the grid opens with a week of August: row 0 is
    // 08-25..08-31, row 1 09-01..09-07, the 10th is row 2, column 2, and row 5 ends on 10-05.
    QCOMPARE(cellPixel(2, 2), QColor(250, 158, 0));
    QCOMPARE(cellPixel(2, 3), QColor(Qt::white));
    QCOMPARE(cellPixel(0, 0), QColor(212, 216, 218));
    QCOMPARE(cellPixel(5, 6), QColor(212, 216, 218));

    // 09-08 carries 白露 and 中秋节 in red.
    const QRect eighth = view->visualRect(view->model()->index(2, 0));
    int red = 0;
    for (int y = eighth.top(); y <= eighth.bottom(); ++y)
        for (int x = eighth.left(); x <= eighth.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += (c.red() > 180 && c.green() < 120 && c.blue() < 120) ? 1 : 0;
        }
    QVERIFY2(red > 20, qPrintable(QString::number(red)));
}

void TestCalendar::longFestivalStaysInsideItsCell()
{
    ScheduleMgr mgr;
    useClock(mgr);
    m_now = at(2014, 9, 10, 12, 0);
    ChineseCalendarWidget grid;
    QVERIFY(showAsOnPage(grid, mgr, 2014, 3));
    auto *view = grid.findChild<QTableView *>();
    const QImage image = view->viewport()->grab().toImage();
    auto isRed = [](const QColor &c) { return c.red() > 180 && c.green() < 140 && c.blue() < 140; };
    // 2014-03-15, a Saturday in row 2, carries the longest festival name, 消费者权益日. It ends
    // in "…" before the cell's border rather than being cut through a character.
    const QRect cell = view->visualRect(view->model()->index(2, 5));
    int red = 0, redAtEdge = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const bool r = isRed(image.pixelColor(x, y));
            red += r ? 1 : 0;
            // The border's own two pixels are painted over whatever ran into them.
            redAtEdge += (r && x >= cell.right() - 4 && x <= cell.right() - 2) ? 1 : 0;
        }
    QVERIFY2(red > 20, qPrintable(QString::number(red)));
    QCOMPARE(redAtEdge, 0);
}

void TestCalendar::menuOnlyForTodayAndLater()
{
    ScheduleMgr mgr;
    CalendarWidget page(nullptr, &mgr);
    page.show();
    auto *grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
    const QDate today = QDate::currentDate();
    page.onClicked(today.addDays(-1));
    auto *menu = page.findChild<QMenu *>(u"scheduleMenu"_s);
    QVERIFY(!menu || !menu->isVisible());

    page.onClicked(today);
    menu = page.findChild<QMenu *>(u"scheduleMenu"_s);
    QVERIFY(menu);
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().at(0)->text(), u"新建日程"_s);
    QCOMPARE(menu->actions().at(1)->text(), u"浏览日程"_s);
    menu->hide();
    Q_UNUSED(grid);
}

void TestCalendar::noMenuRightAfterPageChange()
{
    ScheduleMgr mgr;
    CalendarWidget page(nullptr, &mgr);
    page.show();
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnNextMonth"_s), Qt::LeftButton);
    const QDate future = QDate::currentDate().addMonths(1);
    page.onClicked(future);
    auto *menu = page.findChild<QMenu *>(u"scheduleMenu"_s);
    QVERIFY(!menu || !menu->isVisible());
    page.onClicked(future);
    menu = page.findChild<QMenu *>(u"scheduleMenu"_s);
    QVERIFY(menu && menu->isVisible());
    menu->hide();
}

void TestCalendar::clickOnOtherMonthOpensNoMenu()
{
    ScheduleMgr mgr;
    quiet(mgr);
    CalendarWidget page(nullptr, &mgr);
    page.resize(900, 470);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
    grid->setCurrentPage(2048, 3); // far ahead, so every day is later than today
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnNextMonth"_s), Qt::LeftButton);
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnPrevMonth"_s), Qt::LeftButton);
    QCOMPARE(grid->monthShown(), 3);
    auto *view = grid->findChild<QTableView *>();
    // Clear the flag the header buttons left with one click inside the month.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 2)).center());
    auto *menu = page.findChild<QMenu *>(u"scheduleMenu"_s);
    QVERIFY(!menu || !menu->isVisible());

    // The last row of March 2048 holds April days: the grid turns the page and opens no menu.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(5, 6)).center());
    QCOMPARE(grid->monthShown(), 4);
    menu = page.findChild<QMenu *>(u"scheduleMenu"_s);
    QVERIFY(!menu || !menu->isVisible());
    QCOMPARE(page.findChild<QToolButton *>(u"btnMonth"_s)->text(), u"4月"_s);

    // The next click on a day opens it.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 2)).center());
    menu = page.findChild<QMenu *>(u"scheduleMenu"_s);
    QVERIFY(menu && menu->isVisible());
    menu->hide();
}

void TestCalendar::monthMenu()
{
    ScheduleMgr mgr;
    quiet(mgr);
    CalendarWidget page(nullptr, &mgr);
    auto *grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
    grid->setCurrentPage(2014, 5);
    auto *menu = page.findChild<QMenu *>(u"monthMenu"_s);
    QCOMPARE(menu->actions().size(), 12);
    QAction *december = menu->actions().at(11);
    QCOMPARE(december->text(), u"十二月"_s);
    QCOMPARE(december->objectName(), u"12"_s);
    december->trigger();
    QCOMPARE(page.findChild<QToolButton *>(u"btnMonth"_s)->text(), u"12月"_s);
    QCOMPARE(page.findChild<QToolButton *>(u"btnYear"_s)->text(), u"2014年"_s);
    QCOMPARE(grid->yearShown(), 2014);
    QCOMPARE(grid->monthShown(), 12);
    QCOMPARE(grid->shownMonth(), 12);

    // Months before the grid's first date show its first month.
    grid->setCurrentPage(1949, 11);
    menu->actions().at(2)->trigger();
    QCOMPARE(grid->yearShown(), 1949);
    QCOMPARE(grid->monthShown(), 10);
    QCOMPARE(page.findChild<QToolButton *>(u"btnMonth"_s)->text(), u"10月"_s);
}

void TestCalendar::yearField()
{
    ScheduleMgr mgr;
    quiet(mgr);
    CalendarWidget page(nullptr, &mgr);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
    grid->setCurrentPage(2014, 5);
    auto *stack = page.findChild<QStackedWidget *>(u"stackedWidget"_s);
    auto *edit = page.findChild<QSpinBox *>(u"editYear"_s);
    QCOMPARE(edit->minimum(), 1949);
    QCOMPARE(edit->maximum(), 2049);
    QCOMPARE(stack->currentWidget()->objectName(), u"page"_s);

    QTest::mouseClick(page.findChild<QToolButton *>(u"btnYear"_s), Qt::LeftButton);
    QCOMPARE(stack->currentWidget()->objectName(), u"page_2"_s);
    edit->selectAll();
    QTest::keyClicks(edit, u"2020"_s);
    QCOMPARE(grid->yearShown(), 2020);
    QCOMPARE(grid->monthShown(), 5);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(stack->currentWidget()->objectName(), u"page"_s);
    QCOMPARE(page.findChild<QToolButton *>(u"btnYear"_s)->text(), u"2020年"_s);
    QCOMPARE(page.findChild<QToolButton *>(u"btnMonth"_s)->text(), u"5月"_s);

    // Years outside the tables cannot be typed.
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnYear"_s), Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, u"2051"_s);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->value(), 2020);
    QCOMPARE(grid->yearShown(), 2020);
}

void TestCalendar::prevNextMonth()
{
    ScheduleMgr mgr;
    quiet(mgr);
    CalendarWidget page(nullptr, &mgr);
    auto *grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
    grid->setCurrentPage(2014, 12);
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnNextMonth"_s), Qt::LeftButton);
    QCOMPARE(page.findChild<QToolButton *>(u"btnYear"_s)->text(), u"2015年"_s);
    QCOMPARE(page.findChild<QToolButton *>(u"btnMonth"_s)->text(), u"1月"_s);
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnPrevMonth"_s), Qt::LeftButton);
    QCOMPARE(page.findChild<QToolButton *>(u"btnMonth"_s)->text(), u"12月"_s);
    // The grid stops at its first and last months.
    grid->setCurrentPage(1949, 10);
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnPrevMonth"_s), Qt::LeftButton);
    QCOMPARE(grid->yearShown(), 1949);
    QCOMPARE(grid->monthShown(), 10);
    grid->setCurrentPage(2049, 12);
    QTest::mouseClick(page.findChild<QToolButton *>(u"btnNextMonth"_s), Qt::LeftButton);
    QCOMPARE(grid->yearShown(), 2049);
    QCOMPARE(grid->monthShown(), 12);
    QCOMPARE(page.findChild<QToolButton *>(u"btnYear"_s)->text(), u"2049年"_s);
}

void TestCalendar::newScheduleDialogOverItsWindow()
{
    QWidget window;
    window.setGeometry(200, 100, 900, 600);
    auto *page = new QWidget(&window);
    page->setGeometry(0, 130, 900, 470);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    NewScheduleDialog dialog(page);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(400, 300));
    const QPoint offset = dialog.frameGeometry().center() - window.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
}

void TestCalendar::addScheduleThroughDialog()
{
    ScheduleMgr mgr;
    quiet(mgr);
    CalendarWidget page(nullptr, &mgr);
    page.show();
    auto *grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
    grid->setSelectedDate(QDate(2030, 5, 1));

    bool filled = false;
    QTimer::singleShot(0, this, [&filled] {
        auto *dialog = qobject_cast<NewScheduleDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->findChild<QTimeEdit *>(u"timeEdit_"_s)->setTime(QTime(9, 30));
        dialog->findChild<QRadioButton *>(u"workday_"_s)->setChecked(true);
        typeText(dialog->findChild<QLineEdit *>(u"lineEdit_"_s), u"周会"_s);
        QTest::mouseClick(dialog->findChild<QToolButton *>(u"confirm_"_s), Qt::LeftButton);
        filled = true;
    });
    page.onAddSchedule();
    QVERIFY(filled);
    QCOMPARE(mgr.schedules().size(), 1);
    QCOMPARE(mgr.schedules().first().type, 3);
    QCOMPARE(mgr.schedules().first().datetime, at(2030, 5, 1, 9, 30));
    QCOMPARE(mgr.schedules().first().description, u"周会"_s);
    QFile file(schedulesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains(u"周会"_s.toUtf8()));

    // Closing the dialog adds nothing.
    QTimer::singleShot(0, this, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            QTest::mouseClick(dialog->findChild<QToolButton *>(u"close_"_s), Qt::LeftButton);
    });
    page.onAddSchedule();
    QCOMPARE(mgr.schedules().size(), 1);
}

void TestCalendar::browseReusesDialog()
{
    ScheduleMgr mgr;
    quiet(mgr);
    mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 1, 8, 0), u"吃药"_s));
    QPointer<ScheduleBrowserDialog> browser;
    {
    CalendarWidget page(nullptr, &mgr);
        page.onBrowseSchedule();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *b = qobject_cast<ScheduleBrowserDialog *>(w); b && b->isVisible())
                browser = b;
        QVERIFY(browser);
        auto *table = browser->findChild<QTableWidget *>(u"tableWidget_"_s);
        QCOMPARE(table->rowCount(), 1);
        browser->close();
        mgr.addSchedule(makeSchedule(EveryDay, at(2014, 5, 1, 9, 0), u"喝水"_s));
        page.onBrowseSchedule();
        QVERIFY(browser->isVisible());
        QCOMPARE(table->rowCount(), 2);
        int browsers = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            browsers += qobject_cast<ScheduleBrowserDialog *>(w) ? 1 : 0;
        QCOMPARE(browsers, 1);
    }
    // The page takes its parentless browser with it.
    QVERIFY(browser.isNull());
}

void TestCalendar::workdayReminders_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QList<QDate>>("fired");
    // 2026: Mid-Autumn Festival 09-25..27 and National Day 10-01..07 off; Sunday 09-20 and
    // Saturday 10-10 are make-up working days.
    QList<QDate> national;
    for (int day : {14, 15, 16, 17, 18, 20, 21, 22, 23, 24, 28, 29, 30})
        national << QDate(2026, 9, day);
    for (int day : {8, 9, 10, 12})
        national << QDate(2026, 10, day);
    QTest::newRow("2026 National Day") << QDate(2026, 9, 14) << QDate(2026, 10, 12) << national;
    // 2030 is beyond the table: Monday to Friday, National Day or not.
    QTest::newRow("2030, outside the table")
        << QDate(2030, 9, 30) << QDate(2030, 10, 6)
        << QList<QDate>{QDate(2030, 9, 30), QDate(2030, 10, 1), QDate(2030, 10, 2), QDate(2030, 10, 3),
                        QDate(2030, 10, 4)};
}

void TestCalendar::workdayReminders()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    ScheduleMgr mgr;
    m_now = QDateTime(first, QTime(7, 0));
    useClock(mgr);
    mgr.addSchedule(makeSchedule(Workday, QDateTime(first, QTime(9, 0)), u"站会"_s));
    QList<QDate> fired;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const qsizetype before = mgr.openDialogs().size();
        for (const QTime &t : {QTime(0, 0, 1), QTime(8, 59, 59), QTime(9, 0), QTime(9, 0, 1), QTime(18, 0)}) {
            m_now = QDateTime(day, t);
            mgr.onTimeout();
        }
        QVERIFY2(mgr.openDialogs().size() - before <= 1, qPrintable(day.toString(Qt::ISODate)));
        if (mgr.openDialogs().size() > before)
            fired << day;
    }
    QTEST(fired, "fired");
    qDeleteAll(mgr.openDialogs());

    // The grid puts the bell on the same days.
    ScheduleMgr marks;
    quiet(marks);
    marks.addSchedule(makeSchedule(Workday, QDateTime(first, QTime(9, 0))));
    ChineseCalendarWidget grid;
    grid.setScheduleMgr(&marks);
    QList<QDate> marked;
    for (QDate day = first; day <= last; day = day.addDays(1))
        if (grid.cellText(day).alarm)
            marked << day;
    QTEST(marked, "fired");
}

void TestCalendar::clockYearAheadAndBack()
{
    ScheduleMgr mgr;
    m_now = at(2026, 9, 14, 7, 0); // a Monday
    useClock(mgr);
    CalendarWidget page(nullptr, &mgr);
    mgr.addSchedule(makeSchedule(EveryDay, at(2026, 9, 14, 8, 0), u"吃药"_s));
    mgr.addSchedule(makeSchedule(Workday, at(2026, 9, 14, 9, 0), u"站会"_s));
    mgr.addSchedule(makeSchedule(OnlyToday, at(2026, 9, 16, 10, 0), u"开会"_s));

    // A wrong answer from the time server: a year ahead for a few minutes. Each reminder fires
    // once, whatever it missed.
    for (int minute = 0; minute < 10; ++minute) {
        m_now = at(2027, 9, 14, 7, minute);
        mgr.onTimeout();
    }
    QCOMPARE(mgr.openDialogs().size(), 3);
    QCOMPARE(mgr.schedules().size(), 2);
    qDeleteAll(mgr.openDialogs());

    // Back to the real time: re-armed for their next real occurrence, and saved so.
    m_now = at(2026, 9, 14, 7, 10);
    mgr.onTimeout();
    QCOMPARE(mgr.schedules().at(0).datetime, at(2026, 9, 14, 8, 0));
    QCOMPARE(mgr.schedules().at(1).datetime, at(2026, 9, 14, 9, 0));
    QFile file(schedulesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("2026-09-14 08:00:00"));

    // The next seven real days: the daily reminder every day, the workday one on working days
    // (Sunday 09-20 is a make-up working day).
    QList<QDate> daily, workday;
    for (QDateTime t = at(2026, 9, 14, 7, 20); t < at(2026, 9, 21, 7, 0); t = t.addSecs(600)) {
        m_now = t;
        mgr.onTimeout();
        for (ScheduleNotifyDialog *dialog : mgr.openDialogs()) {
            const QString text = dialog->findChild<QLabel *>(u"description_"_s)->text();
            (text == u"吃药"_s ? daily : workday) << t.date();
        }
        qDeleteAll(mgr.openDialogs());
    }
    QList<QDate> everyDay;
    for (int day = 14; day <= 20; ++day)
        everyDay << QDate(2026, 9, day);
    QCOMPARE(daily, everyDay);
    QCOMPARE(workday, (QList<QDate>{QDate(2026, 9, 14), QDate(2026, 9, 15), QDate(2026, 9, 16), QDate(2026, 9, 17),
                                    QDate(2026, 9, 18), QDate(2026, 9, 20)}));
}

void TestCalendar::clockStepBackSameDayFiresOnce()
{
    ScheduleMgr mgr;
    m_now = at(2026, 9, 14, 7, 0);
    useClock(mgr);
    mgr.addSchedule(makeSchedule(EveryDay, at(2026, 9, 14, 8, 0), u"吃药"_s));
    // A start the user chose in the future stays where it is.
    mgr.addSchedule(makeSchedule(EveryDay, at(2026, 12, 1, 8, 0), u"以后"_s));
    m_now = at(2026, 9, 14, 8, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    // A correction of a few minutes back across the reminder's time does not repeat it today.
    m_now = at(2026, 9, 14, 7, 55);
    mgr.onTimeout();
    QCOMPARE(mgr.schedules().at(0).datetime, at(2026, 9, 15, 8, 0));
    QCOMPARE(mgr.schedules().at(1).datetime, at(2026, 12, 1, 8, 0));
    m_now = at(2026, 9, 14, 8, 0, 30);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    // A step back by days re-arms for the first occurrence after the new time.
    m_now = at(2026, 9, 10, 12, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.schedules().at(0).datetime, at(2026, 9, 11, 8, 0));
    QCOMPARE(mgr.schedules().at(1).datetime, at(2026, 12, 1, 8, 0));
    qDeleteAll(mgr.openDialogs());
}

void TestCalendar::daylightSavingGap()
{
    // Run by the calendar_new_york test, whose zone skips 02:00 to 03:00 on 2026-03-08.
    if (qgetenv("TZ") != "America/New_York")
        QSKIP("needs TZ=America/New_York (the calendar_new_york test)");
    QVERIFY(!QDateTime(QDate(2026, 3, 8), QTime(2, 30)).isValid());

    QCOMPARE(localDateTime(QDate(2026, 3, 8), QTime(2, 30)), at(2026, 3, 8, 3, 0));
    QCOMPARE(localDateTime(QDate(2026, 3, 8), QTime(2, 0)), at(2026, 3, 8, 3, 0));
    QCOMPARE(localDateTime(QDate(2026, 3, 8), QTime(1, 59, 59)), at(2026, 3, 8, 1, 59, 59));
    QVERIFY(localDateTime(QDate(2026, 11, 1), QTime(1, 30)).isValid()); // the hour that repeats

    ScheduleMgr mgr;
    m_now = at(2026, 3, 7, 0, 0);
    useClock(mgr);
    CalendarWidget page(nullptr, &mgr);
    Schedule once = makeSchedule(OnlyToday, QDateTime(), u"一次"_s);
    once.setDateTime(QDate(2026, 3, 8), QTime(2, 30));
    Schedule daily = makeSchedule(EveryDay, QDateTime(), u"每天"_s);
    daily.setDateTime(QDate(2026, 3, 7), QTime(2, 30));
    mgr.addSchedule(once);
    mgr.addSchedule(daily);
    {
        QFile file(schedulesPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("2026-03-08 03:00:00"));
        QVERIFY(!bytes.contains("datetime=\"\""));
    }

    m_now = at(2026, 3, 7, 2, 30);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    QCOMPARE(mgr.schedules().at(1).datetime, at(2026, 3, 8, 3, 0));
    m_now = at(2026, 3, 8, 1, 59, 59);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 1);
    m_now = at(2026, 3, 8, 3, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.openDialogs().size(), 3);
    QCOMPARE(mgr.schedules().size(), 1);
    // The day after, at the time the user chose.
    QCOMPARE(mgr.schedules().first().datetime, at(2026, 3, 9, 2, 30));
    QCOMPARE(mgr.schedules().first().timeText(), u"每天02:30:00"_s);
    qDeleteAll(mgr.openDialogs());

    // A stored time inside the gap loads as the first valid time after it.
    TempDataDir dir;
    const QString path = dir.write(u"schedules.dat"_s, "<torvel><schedule type=\"2\" datetime=\"2026-03-08 02:30:00\""
                                                       " description=\"d\"/></torvel>");
    ScheduleMgr loaded;
    loaded.loadSchedules(path);
    QCOMPARE(loaded.schedules().size(), 1);
    QCOMPARE(loaded.schedules().first().datetime, at(2026, 3, 8, 3, 0));
    QCOMPARE(loaded.schedules().first().nextOccurrenceAfter(at(2026, 3, 8, 3, 0)), at(2026, 3, 9, 2, 30));
}

void TestCalendar::holidayBadges()
{
    ScheduleMgr mgr;
    quiet(mgr);
    ChineseCalendarWidget grid;
    QVERIFY(showAsOnPage(grid, mgr, 2026, 10));
    auto *view = grid.findChild<QTableView *>();
    const QImage image = view->viewport()->grab().toImage();
    // Counts green (休) and red (班) pixels in the top-left corner of a cell.
    auto corner = [&](int row, int column) {
        const QRect cell = view->visualRect(view->model()->index(row, column));
        int green = 0, red = 0;
        for (int y = cell.top(); y < cell.top() + 22; ++y)
            for (int x = cell.left(); x < cell.left() + 22; ++x) {
                const QColor c = image.pixelColor(x, y);
                green += (c.green() > 120 && c.red() < 100 && c.blue() < 120) ? 1 : 0;
                red += (c.red() > 180 && c.green() < 100 && c.blue() < 100) ? 1 : 0;
            }
        return std::pair{green, red};
    };
    // October 2026 starts on a Thursday: 10-01 is row 0, column 3; 10-10 row 1, column 5;
    // 10-13 row 2, column 1.
    QVERIFY(corner(0, 3).first > 40);
    QCOMPARE(corner(0, 3).second, 0);
    QVERIFY(corner(1, 5).second > 40);
    QCOMPARE(corner(1, 5).first, 0);
    QCOMPARE(corner(2, 1), (std::pair{0, 0}));
    QCOMPARE(grid.cellText(QDate(2026, 10, 1)).holiday, HolidayTable::DayOff);
    QCOMPARE(grid.cellText(QDate(2026, 10, 10)).holiday, HolidayTable::MakeUpWorkday);
    QCOMPARE(grid.cellText(QDate(2026, 10, 13)).holiday, HolidayTable::Ordinary);
}

void TestCalendar::holidayToolTips_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("tip");
    QTest::newRow("day off") << 2026 << 10 << 0 << 3 << QDate(2026, 10, 1) << u"国庆节 休"_s;
    QTest::newRow("make-up day") << 2026 << 10 << 1 << 5 << QDate(2026, 10, 10) << u"国庆节 调休上班"_s;
    QTest::newRow("ordinary day") << 2026 << 10 << 2 << 1 << QDate(2026, 10, 13) << QString();
    QTest::newRow("month before") << 2026 << 10 << 0 << 0 << QDate(2026, 9, 28) << QString();
    QTest::newRow("Sunday off") << 2026 << 10 << 0 << 6 << QDate(2026, 10, 4) << u"国庆节 休"_s;
    QTest::newRow("month after") << 2026 << 10 << 5 << 6 << QDate(2026, 11, 8) << QString();
    QTest::newRow("Spring Festival") << 2026 << 2 << 2 << 6 << QDate(2026, 2, 15) << u"春节 休"_s;
    QTest::newRow("year not published") << 2027 << 10 << 0 << 4 << QDate(2027, 10, 1) << u"2027年放假安排尚未公布"_s;
    // October 1990 starts on a Monday, so its first row is the end of September.
    QTest::newRow("year before the table") << 1990 << 10 << 1 << 0 << QDate(1990, 10, 1) << u"1990年放假安排未收录"_s;
}

void TestCalendar::holidayToolTips()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QDate, date);
    QFETCH(QString, tip);
    ScheduleMgr mgr;
    quiet(mgr);
    ChineseCalendarWidget grid;
    QVERIFY(showAsOnPage(grid, mgr, year, month));
    auto *view = grid.findChild<QTableView *>();
    const QPoint pos = view->visualRect(view->model()->index(row, column)).center();
    QCOMPARE(grid.dateAt(pos), date);
    QCOMPARE(ChineseCalendarWidget::holidayToolTip(date), tip);

    QToolTip::hideText();
    QHelpEvent event(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &event);
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
    QToolTip::hideText();
}

void TestCalendar::newerHolidayYearsFromTheSite()
{
    FakeNetworkAccessManager *network = installFakeNetwork();
    const auto restore = qScopeGuard([] {
        QMutexLocker locker(&g_networkMutex);
        delete std::exchange(g_networkAccessManager, nullptr);
        QFile::remove(HolidayUpdate::cachePath());
        resetHolidayTable();
    });
    network->setReply(Endpoints::holidayTableUrl().toString(),
                      "# 2027\n2027-10-01\t国庆节\t0\t2027-10-01\n2027-10-02\t国庆节\t0\t2027-10-01\n"
                      "2027-09-26\t国庆节\t1\t2027-10-01\n");
    QVERIFY(Endpoints::holidayTableUrl().toString().endsWith(u"/cn_holidays.tsv"_s));
    QVERIFY(isWorkday(QDate(2027, 10, 1)));

    // What the program does at start, before any page is built.
    ScheduleMgr mgr;
    quiet(mgr);
    CalendarWidget page(nullptr, &mgr);
    bool refreshed = false;
    HolidayUpdate::loadCache();
    HolidayUpdate::request(&page, [&] { page.refreshHolidays(); refreshed = true; });
    QCOMPARE(network->requestCount(Endpoints::holidayTableUrl().toString()), 1);
    QTRY_VERIFY(refreshed);
    QVERIFY(holidayTable().covers(2027));
    QVERIFY(!isWorkday(QDate(2027, 10, 1)));
    QVERIFY(isWorkday(QDate(2027, 9, 26)));
    QCOMPARE(ChineseCalendarWidget::holidayToolTip(QDate(2027, 10, 2)), u"国庆节 休"_s);
    QCOMPARE(holidayTable().years().first(), 2002);

    // Kept for the next start, which may be offline; the shipped years come back with it.
    resetHolidayTable();
    QVERIFY(!holidayTable().covers(2027));
    delete std::exchange(g_networkAccessManager, nullptr);
    HolidayUpdate::loadCache();
    QVERIFY(holidayTable().covers(2027));
    QCOMPARE(holidayTable().size(), 858 + 3);

    // A later reply adds its years to the cache rather than dropping the earlier ones.
    QVERIFY(HolidayUpdate::apply("2028-10-01\t国庆节\t0\t2028-10-01\n"));
    resetHolidayTable();
    HolidayUpdate::loadCache();
    QVERIFY(holidayTable().covers(2027));
    QVERIFY(holidayTable().covers(2028));
}

void TestCalendar::refusedHolidayReplies_data()
{
    QTest::addColumn<QByteArray>("body");
    const QByteArray row = "2027-10-01\t国庆节\t0\t2027-10-01\n";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("huge") << row + QByteArray(HolidayTable::kMaxBytes, '#');
    QTest::newRow("HTML error page") << QByteArray("<html><body>404</body></html>");
    QTest::newRow("malformed row") << row + "2027-10-02 国庆节 0 2027-10-01\n";
    QTest::newRow("date outside its year") << row + "2028-10-02\t国庆节\t0\t2027-10-01\n";
    QTest::newRow("duplicate") << row + row;
    QTest::newRow("a year with no day off") << row + "2028-01-02\t元旦节\t1\t2028-01-01\n";
}

void TestCalendar::refusedHolidayReplies()
{
    QFETCH(QByteArray, body);
    const auto restore = qScopeGuard([] {
        QFile::remove(HolidayUpdate::cachePath());
        resetHolidayTable();
    });
    // An earlier good reply is cached; a refused one changes neither the cache nor the table.
    QVERIFY(HolidayUpdate::apply("2029-10-01\t国庆节\t0\t2029-10-01\n"));
    QFile cache(HolidayUpdate::cachePath());
    QVERIFY(cache.open(QIODevice::ReadOnly));
    const QByteArray cached = cache.readAll();
    cache.close();
    const QByteArray table = holidayTable().toTsv();

    QVERIFY(!HolidayUpdate::apply(body));
    QVERIFY(cache.open(QIODevice::ReadOnly));
    QCOMPARE(cache.readAll(), cached);
    QCOMPARE(holidayTable().toTsv(), table);
    QVERIFY(!holidayTable().covers(2027));
    QVERIFY(!holidayTable().covers(2028));
}

void TestCalendar::firedReminderRepaintsTheGrid()
{
    ScheduleMgr mgr;
    m_now = at(2026, 9, 14, 7, 0);
    useClock(mgr);
    CalendarWidget page(nullptr, &mgr);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *grid = page.findChild<ChineseCalendarWidget *>(u"calendarWidget"_s);
    grid->setCurrentPage(2026, 9);
    mgr.addSchedule(makeSchedule(OnlyToday, at(2026, 9, 15, 8, 0), u"明天"_s));
    mgr.addSchedule(makeSchedule(OnlyToday, at(2026, 9, 14, 8, 0), u"开会"_s));

    // Counts the paints of the cells, once what is pending is on screen.
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    QWidget *viewport = grid->findChild<QTableView *>()->viewport();
    viewport->installEventFilter(&counter);
    auto settle = [&counter] {
        QTest::qWait(50);
        counter.paints = 0;
    };

    // Deleted in the browser: no reminder window takes the focus, so only the change itself can
    // repaint the cells.
    settle();
    QVERIFY(grid->cellText(QDate(2026, 9, 15)).alarm);
    mgr.removeSchedule(mgr.schedules().first().id);
    QVERIFY(!grid->cellText(QDate(2026, 9, 15)).alarm);
    QTRY_VERIFY(counter.paints > 0);

    // Fired and removed.
    settle();
    m_now = at(2026, 9, 14, 8, 0);
    mgr.onTimeout();
    QCOMPARE(mgr.schedules().size(), 0);
    QVERIFY(!grid->cellText(QDate(2026, 9, 14)).alarm);
    QTRY_VERIFY(counter.paints > 0);
    qDeleteAll(mgr.openDialogs());
}

QPA_TEST_MAIN(TestCalendar)

#include "tst_calendar.moc"

// A timed reminder: one day only, every day or every workday, with its description.
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

enum ScheduleType {
    OnlyToday = 1,
    EveryDay = 2,
    Workday = 3,
};

struct Schedule
{
    // Takes a fresh id from the process-wide counter; copies keep their source's id.
    Schedule();

    // 1 one day only, 2 every day, 3 Monday to Friday; any other value repeats daily without marks.
    int type = 0;
    // When it is next due (local time, whole seconds); invalid never falls due.
    QDateTime datetime;
    QString description;
    // Today's occurrence has fired; cleared at the first check of a new day. Not stored.
    bool firedToday = false;
    // Identity within one run; not stored.
    int id = 0;

    // True for the types that re-arm after firing (every type but OnlyToday).
    bool repeats() const { return type != OnlyToday; }
    // Whether the schedule puts an alarm mark on date (the calendar grid).
    bool appliesTo(const QDate &date) const;
    // The next occurrence strictly after now at the same time of day: the next day for a daily
    // schedule, the next Monday to Friday for a workday one.
    QDateTime nextOccurrenceAfter(const QDateTime &now) const;

    // "2014-05-01 09:30:00", "每天08:00:00" or "每工作日09:30:00" (the browser's list).
    QString timeText() const;
    // As timeText, with "每天的" / "每工作日的" (the reminder dialog).
    QString reminderTimeText() const;
};

Q_DECLARE_METATYPE(Schedule)

// Monday to Friday.
bool isWorkday(const QDate &date);

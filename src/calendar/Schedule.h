// A timed reminder: one day only, every day or every workday, with its description.
#pragma once

#include "HolidayTable.h"

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

    // 1 one day only, 2 every day, 3 every working day (isWorkday); any other value repeats daily without marks.
    int type = 0;
    // When it is next due (local time, whole seconds); invalid never falls due.
    QDateTime datetime;
    QString description;
    // Today's occurrence has fired; cleared at the first check of a new day. Not stored.
    bool firedToday = false;
    // Identity within one run; not stored.
    int id = 0;
    // The time of day as chosen, where datetime had to leave a daylight-saving gap (02:30 due at
    // 03:00); invalid when datetime's own time is the chosen one. Not stored.
    QTime timeOfDay;

    // True for the types that re-arm after firing (every type but OnlyToday).
    bool repeats() const { return type != OnlyToday; }
    // Whether the schedule puts an alarm mark on date (the calendar grid).
    bool appliesTo(const QDate &date) const;
    // The time of day it falls due on days where that time exists.
    QTime time() const { return timeOfDay.isValid() ? timeOfDay : datetime.time(); }
    // Sets date and time of day; a time that a daylight-saving change skips on that date falls due
    // at the first valid time after it, so datetime is never invalid for a valid date and time.
    void setDateTime(const QDate &date, const QTime &time);
    // Reads "yyyy-MM-dd HH:mm:ss" (the stored form) as setDateTime does; anything else leaves
    // datetime invalid.
    void setDateTimeText(const QString &text);
    // The next occurrence strictly after now at its time of day: the next day for a daily
    // schedule, the next working day (isWorkday) for a workday one.
    QDateTime nextOccurrenceAfter(const QDateTime &now) const;
    // Moves datetime to nextOccurrenceAfter(now), keeping the chosen time of day.
    void rearmAfter(const QDateTime &now);

    // "2014-05-01 09:30:00", "每天08:00:00" or "每工作日09:30:00" (the browser's list).
    QString timeText() const;
    // As timeText, with "每天的" / "每工作日的" (the reminder dialog).
    QString reminderTimeText() const;
};

Q_DECLARE_METATYPE(Schedule)

// The local date-time of date and time; a time inside a daylight-saving gap becomes the first valid
// time after the gap. Invalid only when date or time is.
QDateTime localDateTime(const QDate &date, const QTime &time);

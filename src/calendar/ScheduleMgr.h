// Owns the schedule list, keeps it in schedules.dat and pops up reminders when schedules fall due.
#pragma once

#include "Schedule.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class ScheduleNotifyDialog;

class ScheduleMgr : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    // The most schedules schedules.dat may hold; a larger file is refused whole.
    static constexpr int kMaxSchedules = 10000;

    // Starts the once-a-second check.
    explicit ScheduleMgr(QObject *parent = nullptr);
    // Deletes the reminders still open.
    ~ScheduleMgr() override;

    // Appends the schedules of the file at path, each with a fresh id; a missing or broken file
    // adds nothing. Emits nothing.
    void loadSchedules(const QString &path);
    // Replaces the file at path atomically with the whole list; false (old file intact) on failure.
    bool saveSchedules(const QString &path) const;

    // Appends a copy and emits scheduleChanged with it.
    void addSchedule(const Schedule &schedule);
    // Removes the first schedule with that id and emits scheduleChanged with it; unknown ids are ignored.
    void removeSchedule(int id);
    // All schedules in insertion (file) order.
    const QList<Schedule> &schedules() const { return m_schedules; }

    // The time source of the check; the wall clock unless a test sets another. Setting it also
    // takes its current time as the last check.
    void setClock(Clock clock);
    QDateTime currentDateTime() const;

    // Reminder dialogs not yet closed, oldest first.
    const QList<ScheduleNotifyDialog *> &openDialogs() const { return m_dialogs; }

signals:
    void scheduleChanged(const Schedule &schedule);

public slots:
    // The once-a-second check: shows a reminder for every schedule that has fallen due.
    void onTimeout();
    void onDialogFinished(int result);

private:
    void fire(qsizetype index, const QDateTime &now);
    // The clock went back from before to now (a correction after a wrong jump ahead).
    void rearmAfterClockStepBack(const QDateTime &before, const QDateTime &now);

    QList<Schedule> m_schedules;
    QTimer m_timer;
    QList<ScheduleNotifyDialog *> m_dialogs;
    QDateTime m_lastCheck;
    // The time of the previous check, to notice a clock that went back.
    QDateTime m_lastTick;
    Clock m_clock;
};

#include "ScheduleMgr.h"

#include "DataFile.h"
#include "ScheduleNotifyDialog.h"

#include "XmlWriter.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString kDateTimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;

} // namespace

ScheduleMgr::ScheduleMgr(QObject *parent)
    : QObject(parent)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    qRegisterMetaType<Schedule>();
    connect(&m_timer, &QTimer::timeout, this, &ScheduleMgr::onTimeout);
    m_timer.start(1000);
    m_lastCheck = currentDateTime();
    m_lastTick = m_lastCheck;
}

ScheduleMgr::~ScheduleMgr()
{
    qDeleteAll(std::exchange(m_dialogs, {}));
}

void ScheduleMgr::loadSchedules(const QString &path)
{
    XmlNode root;
    if (DataFile::load(path, DataFile::limits(kMaxSchedules), &root) != DataFile::Loaded)
        return;
    for (const XmlNode &element : root.children) {
        if (element.name != u"schedule")
            continue;
        Schedule schedule;
        schedule.type = element.attribute(u"type").toInt();
        schedule.setDateTimeText(element.attribute(u"datetime"));
        schedule.description = element.attribute(u"description");
        m_schedules.append(schedule);
    }
}

bool ScheduleMgr::saveSchedules(const QString &path) const
{
    XmlWriter xml;
    xml.startElement(u"torvel"_s);
    for (const Schedule &schedule : m_schedules) {
        xml.startElement(u"schedule"_s);
        xml.attribute(u"type"_s, QString::number(schedule.type));
        xml.attribute(u"datetime"_s, schedule.datetime.toString(kDateTimeFormat));
        xml.attribute(u"description"_s, schedule.description);
        xml.endElement();
    }
    return DataFile::save(path, xml.finish());
}

void ScheduleMgr::addSchedule(const Schedule &schedule)
{
    m_schedules.append(schedule);
    emit scheduleChanged(schedule);
}

void ScheduleMgr::removeSchedule(int id)
{
    for (qsizetype i = 0; i < m_schedules.size(); ++i) {
        if (m_schedules.at(i).id == id) {
            const Schedule removed = m_schedules.takeAt(i);
            emit scheduleChanged(removed);
            return;
        }
    }
}

void ScheduleMgr::setClock(Clock clock)
{
    m_clock = std::move(clock);
    m_lastCheck = currentDateTime();
    m_lastTick = m_lastCheck;
}

QDateTime ScheduleMgr::currentDateTime() const
{
    return m_clock();
}

void ScheduleMgr::onTimeout()
{
    const QDateTime now = currentDateTime();
    const qint64 nowSecs = now.toSecsSinceEpoch();
    if (now < m_lastTick)
        rearmAfterClockStepBack(m_lastTick, now);
    m_lastTick = now;
    // Backwards, so a removal leaves the entries still to visit in place.
    for (qsizetype i = m_schedules.size() - 1; i >= 0; --i) {
        // A receiver of scheduleChanged may have shortened the list meanwhile.
        if (i >= m_schedules.size())
            continue;
        Schedule &schedule = m_schedules[i];
        if (!schedule.datetime.isValid() || schedule.datetime.toSecsSinceEpoch() > nowSecs)
            continue;
        if (schedule.type == Workday && !isWorkday(now.date())) {
            // Never shown on a weekend: it waits for Monday at its own time instead of falling
            // due at Monday's first check just after midnight.
            schedule.rearmAfter(now);
            emit scheduleChanged(m_schedules.at(i));
            continue;
        }
        if (schedule.firedToday)
            continue;
        fire(i, now);
    }
    if (m_lastCheck.date() != now.date()) {
        m_lastCheck = now;
        for (Schedule &schedule : m_schedules)
            schedule.firedToday = false;
    }
}

void ScheduleMgr::rearmAfterClockStepBack(const QDateTime &before, const QDateTime &now)
{
    // A repeating schedule whose date is the rule's next occurrence after the later time was armed
    // by that clock; derived again from now it falls due at its next real occurrence instead of
    // staying silent until the wrong date comes round. A later date is a start the user chose.
    const bool sameDay = before.date() == now.date();
    for (qsizetype i = 0; i < m_schedules.size(); ++i) {
        Schedule &schedule = m_schedules[i];
        if (!schedule.repeats() || !schedule.datetime.isValid()
            || schedule.datetime != schedule.nextOccurrenceAfter(before))
            continue;
        const QDateTime armed = schedule.datetime;
        schedule.rearmAfter(now);
        // Today's occurrence already fired before the step back: once a day stays once a day.
        if (sameDay && schedule.firedToday && schedule.datetime.date() == now.date())
            schedule.rearmAfter(schedule.datetime);
        if (schedule.datetime != armed)
            emit scheduleChanged(m_schedules.at(i));
    }
}

void ScheduleMgr::fire(qsizetype index, const QDateTime &now)
{
    auto *dialog = new ScheduleNotifyDialog(nullptr);
    connect(dialog, &QDialog::finished, this, &ScheduleMgr::onDialogFinished);
    // Whoever deletes a reminder, the list must not keep a dangling pointer.
    connect(dialog, &QObject::destroyed, this, [this, dialog] { m_dialogs.removeOne(dialog); });
    m_dialogs.append(dialog);

    Schedule &schedule = m_schedules[index];
    dialog->setSchedule(schedule);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();

    const Schedule fired = schedule;
    if (schedule.type == OnlyToday) {
        m_schedules.removeAt(index);
    } else {
        // Moving on by whole days to the next occurrence after now keeps the reminder at its own
        // time of day, however many days were missed (a missed one fires once, at start-up).
        schedule.firedToday = schedule.datetime.date() == now.date();
        schedule.rearmAfter(now);
    }
    emit scheduleChanged(fired);
}

void ScheduleMgr::onDialogFinished(int result)
{
    Q_UNUSED(result);
    auto *dialog = qobject_cast<ScheduleNotifyDialog *>(sender());
    if (!dialog || !m_dialogs.removeOne(dialog))
        return;
    dialog->deleteLater();
}

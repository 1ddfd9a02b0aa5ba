#include "Schedule.h"

using namespace Qt::StringLiterals;

namespace {

int g_nextScheduleId = 0;

const QString kDateTimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;
const QString kTimeFormat = u"HH:mm:ss"_s;

} // namespace

Schedule::Schedule()
    : id(g_nextScheduleId++)
{
}

bool Schedule::appliesTo(const QDate &date) const
{
    const QDate start = datetime.date();
    if (!start.isValid())
        return false;
    switch (type) {
    case OnlyToday:
        return date == start;
    case EveryDay:
        return date >= start;
    case Workday:
        return date >= start && isWorkday(date);
    default:
        return false;
    }
}

QDateTime Schedule::nextOccurrenceAfter(const QDateTime &now) const
{
    if (!datetime.isValid() || !now.isValid())
        return QDateTime();
    QDateTime next(now.date(), datetime.time());
    while (next <= now || (type == Workday && !isWorkday(next.date())))
        next = QDateTime(next.date().addDays(1), datetime.time());
    return next;
}

QString Schedule::timeText() const
{
    switch (type) {
    case EveryDay:
        return u"每天"_s + datetime.time().toString(kTimeFormat);
    case Workday:
        return u"每工作日"_s + datetime.time().toString(kTimeFormat);
    default:
        return datetime.toString(kDateTimeFormat);
    }
}

QString Schedule::reminderTimeText() const
{
    switch (type) {
    case EveryDay:
        return u"每天的"_s + datetime.time().toString(kTimeFormat);
    case Workday:
        return u"每工作日的"_s + datetime.time().toString(kTimeFormat);
    default:
        return datetime.toString(kDateTimeFormat);
    }
}

bool isWorkday(const QDate &date)
{
    return date.dayOfWeek() <= 5;
}

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

void Schedule::setDateTime(const QDate &date, const QTime &time)
{
    datetime = localDateTime(date, time);
    timeOfDay = datetime.isValid() && datetime.time() != time ? time : QTime();
}

void Schedule::setDateTimeText(const QString &text)
{
    // Digits where the format has letters, its separators elsewhere: what toString writes back.
    bool shaped = text.size() == kDateTimeFormat.size();
    for (qsizetype i = 0; shaped && i < text.size(); ++i)
        shaped = kDateTimeFormat.at(i).isLetter() ? (text.at(i) >= u'0' && text.at(i) <= u'9')
                                                  : text.at(i) == kDateTimeFormat.at(i);
    if (!shaped) {
        datetime = QDateTime();
        timeOfDay = QTime();
        return;
    }
    setDateTime(QDate::fromString(text.left(10), u"yyyy-MM-dd"_s), QTime::fromString(text.mid(11), kTimeFormat));
}

void Schedule::rearmAfter(const QDateTime &now)
{
    const QTime chosen = time();
    datetime = nextOccurrenceAfter(now);
    timeOfDay = datetime.isValid() && datetime.time() != chosen ? chosen : QTime();
}

QDateTime Schedule::nextOccurrenceAfter(const QDateTime &now) const
{
    if (!datetime.isValid() || !now.isValid())
        return QDateTime();
    // Ends: the holiday table is finite, and beyond it every week has working days.
    for (QDate day = now.date();; day = day.addDays(1)) {
        if (type == Workday && !isWorkday(day))
            continue;
        const QDateTime next = localDateTime(day, time());
        if (next > now)
            return next;
    }
}

QString Schedule::timeText() const
{
    switch (type) {
    case EveryDay:
        return u"每天"_s + time().toString(kTimeFormat);
    case Workday:
        return u"每工作日"_s + time().toString(kTimeFormat);
    default:
        return datetime.toString(kDateTimeFormat);
    }
}

QString Schedule::reminderTimeText() const
{
    switch (type) {
    case EveryDay:
        return u"每天的"_s + time().toString(kTimeFormat);
    case Workday:
        return u"每工作日的"_s + time().toString(kTimeFormat);
    default:
        return datetime.toString(kDateTimeFormat);
    }
}

QDateTime localDateTime(const QDate &date, const QTime &time)
{
    QDateTime result(date, time);
    if (result.isValid() || !date.isValid() || !time.isValid())
        return result;
    // Inside a gap. Gaps begin and end on whole minutes, so the first whole minute that exists
    // is the first valid time after it; none is longer than a day.
    const QDateTime wall(date, QTime(time.hour(), time.minute()), Qt::UTC);
    for (int minutes = 1; minutes <= 24 * 60; ++minutes) {
        const QDateTime candidate = wall.addSecs(60 * minutes);
        result = QDateTime(candidate.date(), candidate.time());
        if (result.isValid())
            return result;
    }
    return QDateTime();
}

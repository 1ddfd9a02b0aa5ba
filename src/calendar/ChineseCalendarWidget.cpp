#include "ChineseCalendarWidget.h"

#include "LunarCalendar.h"
#include "ProgramFont.h"
#include "ScheduleMgr.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int key(int month, int day)
{
    return month * 100 + day;
}

const QHash<int, QString> &solarFestivals()
{
    static const QHash<int, QString> table = {
        {key(1, 1), u"元旦"_s},        {key(2, 2), u"湿地节"_s},      {key(2, 14), u"情人节"_s},
        {key(3, 8), u"妇女节"_s},      {key(3, 12), u"植树节"_s},     {key(3, 15), u"消费者权益日"_s},
        {key(4, 1), u"愚人节"_s},      {key(4, 22), u"地球日"_s},     {key(5, 1), u"劳动节"_s},
        {key(5, 4), u"青年节"_s},      {key(5, 12), u"护士节"_s},     {key(5, 18), u"博物馆日"_s},
        {key(6, 1), u"儿童节"_s},      {key(6, 5), u"环境日"_s},      {key(6, 23), u"奥林匹克日"_s},
        {key(6, 24), u"骨质疏松日"_s}, {key(7, 1), u"建党日"_s},      {key(8, 1), u"建军日"_s},
        {key(9, 10), u"教师节"_s},     {key(10, 1), u"国庆日"_s},     {key(11, 17), u"学生日"_s},
        {key(12, 1), u"艾滋病日"_s},   {key(12, 24), u"平安夜"_s},    {key(12, 25), u"圣诞节"_s},
    };
    return table;
}

const QHash<int, QString> &lunarFestivals()
{
    static const QHash<int, QString> table = {
        {key(1, 1), u"春节"_s},   {key(1, 15), u"元宵节"_s}, {key(2, 2), u"龙头日"_s},
        {key(5, 5), u"端午节"_s}, {key(7, 7), u"乞巧节"_s},  {key(7, 15), u"中元节"_s},
        {key(8, 15), u"中秋节"_s}, {key(9, 9), u"重阳节"_s}, {key(10, 1), u"寒衣节"_s},
        {key(10, 15), u"下元节"_s}, {key(12, 8), u"腊八节"_s}, {key(12, 23), u"小年"_s},
    };
    return table;
}

const QColor kTodayColor(250, 158, 0);
const QColor kOtherMonthColor(212, 216, 218);
const QColor kRedColor(224, 45, 45);
const QColor kBorderColor(232, 237, 240);
// The common convention: 休 on green, 班 on red.
const QColor kDayOffColor(46, 160, 67);
const QColor kMakeUpColor(224, 45, 45);
constexpr int kBadgeSize = 15;

} // namespace

ChineseCalendarWidget::ChineseCalendarWidget(QWidget *parent)
    : QCalendarWidget(parent)
    , m_shownMonth(QDate::currentDate().month())
    , m_alarmPixmap(u":/icon/icon_alarm"_s)
    , m_dayFont(ProgramFont::song(18))
    , m_smallFont(ProgramFont::song(8))
    , m_badgeFont(ProgramFont::sans())
{
    m_badgeFont.setPixelSize(11);
    connect(this, &QCalendarWidget::currentPageChanged, this, &ChineseCalendarWidget::onCurrentPageChanged);
    if (auto *view = findChild<QAbstractItemView *>())
        view->viewport()->installEventFilter(this);
}

void ChineseCalendarWidget::refreshCells()
{
    updateCells();
}

QDate ChineseCalendarWidget::dateAt(const QPoint &pos) const
{
    const auto *view = findChild<QAbstractItemView *>();
    const QModelIndex index = view ? view->indexAt(pos) : QModelIndex();
    const int day = index.data().toInt();
    if (day <= 0)
        return {};
    // The first two rows show at most the 14th of the shown month and the last days of the one
    // before; the last two rows at least its 22nd and the first days of the next.
    QDate month(yearShown(), monthShown(), 1);
    if (index.row() < 2 && day > 14)
        month = month.addMonths(-1);
    else if (index.row() > 3 && day < 15)
        month = month.addMonths(1);
    return QDate(month.year(), month.month(), day);
}

bool ChineseCalendarWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = holidayToolTip(dateAt(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, qobject_cast<QWidget *>(watched));
        return true;
    }
    return QCalendarWidget::eventFilter(watched, event);
}

QString ChineseCalendarWidget::holidayToolTip(const QDate &date)
{
    if (!date.isValid())
        return {};
    const HolidayTable &table = holidayTable();
    const HolidayTable::Day day = table.day(date);
    switch (day.kind) {
    case HolidayTable::DayOff:
        return day.name + u" 休"_s;
    case HolidayTable::MakeUpWorkday:
        return day.name + u" 调休上班"_s;
    case HolidayTable::Ordinary:
        break;
    }
    if (table.covers(date.year()))
        return {};
    if (!table.years().isEmpty() && date.year() < table.years().first())
        return QString::number(date.year()) + u"年放假安排未收录"_s;
    return QString::number(date.year()) + u"年放假安排尚未公布"_s;
}

void ChineseCalendarWidget::setScheduleMgr(ScheduleMgr *scheduleMgr)
{
    m_scheduleMgr = scheduleMgr;
}

QDate ChineseCalendarWidget::currentDate() const
{
    return m_scheduleMgr ? m_scheduleMgr->currentDateTime().date() : QDate::currentDate();
}

void ChineseCalendarWidget::onCurrentPageChanged(int year, int month)
{
    Q_UNUSED(year);
    m_shownMonth = month;
}

QString ChineseCalendarWidget::solarFestivalName(int month, int day, int dayOfWeek)
{
    if (month == 5 && dayOfWeek == Qt::Sunday && day >= 8 && day <= 14)
        return u"母亲节"_s;
    if (month == 6 && dayOfWeek == Qt::Sunday && day >= 15 && day <= 21)
        return u"父亲节"_s;
    if (month == 11 && dayOfWeek == Qt::Thursday && day >= 22 && day <= 28)
        return u"感恩节"_s;
    return solarFestivals().value(key(month, day));
}

QString ChineseCalendarWidget::lunarFestivalName(int lunarMonth, int lunarDay)
{
    return lunarFestivals().value(key(lunarMonth, lunarDay));
}

bool ChineseCalendarWidget::isLunarNewYearsEve(const QDate &date)
{
    std::uint16_t year, month, day, nextYear, nextMonth, nextDay;
    const QDate next = date.addDays(1);
    toLunarDate(date.year(), date.month(), date.day(), year, month, day);
    toLunarDate(next.year(), next.month(), next.day(), nextYear, nextMonth, nextDay);
    // Outside the tables both years read 0.
    return year != 0 && nextYear == year + 1;
}

ChineseCalendarWidget::CellText ChineseCalendarWidget::cellText(const QDate &date) const
{
    CellText text;
    std::uint16_t lunarYear, lunarMonth, lunarDay;
    const int term = toLunarDate(date.year(), date.month(), date.day(), lunarYear, lunarMonth, lunarDay);

    text.festival = solarFestivalName(date.month(), date.day(), date.dayOfWeek());
    if (text.festival.isEmpty())
        text.festival = lunarFestivalName(lunarMonth, lunarDay);
    if (text.festival.isEmpty() && isLunarNewYearsEve(date))
        text.festival = u"除夕"_s;

    text.day = QString::number(date.day());
    text.solarTerm = term != 0;
    if (text.solarTerm)
        text.lunar = solarTermName(term);
    else if (lunarDay == 1)
        text.lunar = lunarMonthName(lunarMonth);
    else
        text.lunar = lunarDayName(lunarDay);

    text.holiday = holidayTable().day(date).kind;

    if (m_scheduleMgr) {
        const QList<Schedule> &schedules = m_scheduleMgr->schedules();
        text.alarm = std::any_of(schedules.begin(), schedules.end(),
                                 [&date](const Schedule &schedule) { return schedule.appliesTo(date); });
    }
    return text;
}

void ChineseCalendarWidget::paintHolidayBadge(QPainter *painter, const QRect &rect, HolidayTable::Kind kind,
                                              bool otherMonth) const
{
    if (kind == HolidayTable::Ordinary)
        return;
    painter->save();
    // The top-left corner is free: the day number is centred and the festival and the bell sit
    // to its right.
    const QRect badge(rect.left() + 4, rect.top() + 4, kBadgeSize, kBadgeSize);
    if (otherMonth)
        painter->setOpacity(0.45);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(kind == HolidayTable::DayOff ? kDayOffColor : kMakeUpColor);
    painter->drawRoundedRect(badge, 3, 3);
    painter->setPen(Qt::white);
    painter->setFont(m_badgeFont);
    painter->drawText(badge, Qt::AlignCenter, kind == HolidayTable::DayOff ? u"休"_s : u"班"_s);
    painter->restore();
}

void ChineseCalendarWidget::paintCell(QPainter *painter, const QRect &rect, QDate date) const
{
    const bool otherMonth = date.month() != m_shownMonth;
    if (date == currentDate())
        painter->fillRect(rect, kTodayColor);
    else if (otherMonth)
        painter->fillRect(rect, kOtherMonthColor);

    const CellText text = cellText(date);
    paintHolidayBadge(painter, rect, text.holiday, otherMonth);
    const int top = rect.top();
    const int h = (rect.bottom() - top + 6) / 2;

    QRect dayBounds;
    painter->save();
    painter->setFont(m_dayFont);
    painter->drawText(QRect(QPoint(rect.left(), top + 5), QPoint(rect.right(), top + h + 2)),
                      Qt::AlignHCenter | Qt::AlignBottom, text.day, &dayBounds);
    painter->restore();

    QRect lunarBounds;
    painter->save();
    painter->setFont(m_smallFont);
    if (text.solarTerm)
        painter->setPen(kRedColor);
    painter->drawText(QRect(QPoint(rect.left(), top + h + 5), QPoint(rect.right(), top + 2 * h + 2)),
                      Qt::AlignHCenter | Qt::AlignTop, text.lunar, &lunarBounds);
    painter->restore();

    if (!text.festival.isEmpty()) {
        painter->save();
        painter->setFont(m_smallFont);
        painter->setPen(kRedColor);
        // Beside the wider of the two texts, so a two-digit day never runs into the festival.
        const int left = std::max(lunarBounds.right(), dayBounds.right()) + 3;
        // Clear of the cell's border; a name longer than that ends in "…" instead of being cut
        // through a character.
        const int width = std::max(0, std::min((rect.width() - dayBounds.width()) / 2, rect.right() - 4 - left));
        const QString festival = painter->fontMetrics().elidedText(text.festival, Qt::ElideRight, width);
        painter->drawText(QRect(QPoint(left, dayBounds.top()), QPoint(left + width - 1, dayBounds.top() + h - 3)),
                          Qt::AlignLeft | Qt::AlignVCenter, festival);
        painter->restore();
    }

    if (text.alarm)
        painter->drawPixmap(lunarBounds.right() + 3, lunarBounds.bottom() - m_alarmPixmap.height(), m_alarmPixmap);

    painter->save();
    painter->setPen(QPen(kBorderColor, 2));
    painter->drawRect(rect);
    painter->restore();
}

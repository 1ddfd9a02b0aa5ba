// The calendar page's month grid: each cell paints its day, lunar date, festival, alarm mark and the
// official day off (休) or make-up working day (班).
#pragma once

#include "HolidayTable.h"

#include <QCalendarWidget>
#include <QFont>
#include <QHash>
#include <QPixmap>

class ScheduleMgr;

class ChineseCalendarWidget : public QCalendarWidget
{
    Q_OBJECT

public:
    // What one day cell shows.
    struct CellText
    {
        QString day;      // the day of the month
        QString lunar;    // solar term, lunar month name on the 1st of a lunar month, else lunar day name
        bool solarTerm = false;
        QString festival; // Gregorian festival first, else lunar festival
        bool alarm = false;
        HolidayTable::Kind holiday = HolidayTable::Ordinary;
    };

    explicit ChineseCalendarWidget(QWidget *parent = nullptr);

    // The manager whose schedules put alarm marks on the cells (and whose clock says what today is).
    void setScheduleMgr(ScheduleMgr *scheduleMgr);

    CellText cellText(const QDate &date) const;
    // The date painted as today: the manager's clock, the wall clock without a manager.
    QDate currentDate() const;
    int shownMonth() const { return m_shownMonth; }

    // The weekday-bound festivals (母亲节, 父亲节, 感恩节) first, then the fixed table; empty when none.
    static QString solarFestivalName(int month, int day, int dayOfWeek);
    // The festival of a lunar month and day; empty when none. 除夕 depends on the month's length
    // and is found by isLunarNewYearsEve.
    static QString lunarFestivalName(int lunarMonth, int lunarDay);
    // The last day of a lunar year (the 29th or 30th of its twelfth month).
    static bool isLunarNewYearsEve(const QDate &date);
    // The tool tip of a day: "国庆节 休" or "国庆节 调休上班" on the days of the arrangement,
    // "2027年放假安排尚未公布" in a year the holiday table does not cover yet; otherwise empty.
    static QString holidayToolTip(const QDate &date);

    // Repaints every cell (after the schedules or the holiday table changed).
    void refreshCells();
    // The date of the cell at pos in the viewport of the grid's view; invalid between cells.
    QDate dateAt(const QPoint &pos) const;

public slots:
    void onCurrentPageChanged(int year, int month);

protected:
    void paintCell(QPainter *painter, const QRect &rect, QDate date) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintHolidayBadge(QPainter *painter, const QRect &rect, HolidayTable::Kind kind, bool otherMonth) const;

    int m_shownMonth;
    QPixmap m_alarmPixmap;
    ScheduleMgr *m_scheduleMgr = nullptr;
    QFont m_dayFont;
    QFont m_smallFont;
    QFont m_badgeFont;
};

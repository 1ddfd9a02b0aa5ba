// The calendar page: month header, lunar month grid and the menu that adds and browses schedules.
#pragma once

#include "Schedule.h"

#include <QWidget>

class ChineseCalendarWidget;
class QAction;
class QLabel;
class QMenu;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class ScheduleBrowserDialog;
class ScheduleMgr;

class CalendarWidget : public QWidget
{
    Q_OBJECT

public:
    CalendarWidget(QWidget *parent, ScheduleMgr *scheduleMgr);
    ~CalendarWidget() override;

    // Header texts "2014年" and "5月", and the year field's value.
    void updateHeader(int year, int month);
    // Repaints the grid after newer years came into the holiday table (HolidayUpdate).
    void refreshHolidays();

public slots:
    void onClicked(QDate date);
    void onCurrentPageChanged(int year, int month);
    void onAddSchedule();
    void onBrowseSchedule();
    void onScheduleChanged(const Schedule &schedule);
    void onBtnPrevMonth();
    void onBtnNextMonth();
    void onBtnYear();
    void onBtnMonth();
    void onEditValueChanged(int year);
    void onEditingFinished();
    void onTriggered(QAction *action);

private:
    void buildForm();
    void buildHeader();
    void buildMonthRow(QWidget *header);
    void buildWeekdayRow(QWidget *header);
    void buildGrid();
    void connectForm();
    void createMonthMenu();
    // Shows a month, kept within the grid's date range.
    void showPage(int year, int month);

    ScheduleMgr *scheduleMgr = nullptr;
    bool pageJustChanged = false;
    QMenu *scheduleMenu = nullptr;
    QMenu *monthMenu = nullptr;
    ScheduleBrowserDialog *browserDialog = nullptr;

    // Form widgets.
    QWidget *headerWidget = nullptr;
    QToolButton *btnPrevMonth = nullptr;
    QStackedWidget *stackedWidget = nullptr;
    QWidget *page = nullptr;
    QToolButton *btnYear = nullptr;
    QWidget *page_2 = nullptr;
    QSpinBox *editYear = nullptr;
    QToolButton *btnMonth = nullptr;
    QToolButton *btnNextMonth = nullptr;
    ChineseCalendarWidget *calendarWidget = nullptr;
    QAction *actionAddSchedule_ = nullptr;
    QAction *actionBrowseSchedule_ = nullptr;
};

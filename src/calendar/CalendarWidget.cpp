#include "CalendarWidget.h"

#include "ButtonStyle.h"
#include "ChineseCalendarWidget.h"
#include "GlobalSettings.h"
#include "NewScheduleDialog.h"
#include "ProgramFont.h"
#include "ScheduleBrowserDialog.h"
#include "ScheduleMgr.h"
#include "ScreenPosition.h"

#include <QAction>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kHeaderButtonStyle = ButtonStyle::highlighted(u"QToolButton"_s, u"165, 225, 253"_s, u"165, 225, 253"_s);

const QString kHeaderTextStyle = u"color: rgb(7, 101, 145);"_s;

const QString kYearEditStyle =
    u"QSpinBox{background-color: rgb(7, 101, 145);color: rgb(255, 255, 255);border: 1px solid #076591;}"
    u"QSpinBox::up-button{subcontrol-origin: border;subcontrol-position: top right;width: 16px;"
    u"background-color: rgb(255, 255, 255);border: 1px solid #076591;}"
    u"QSpinBox::down-button{subcontrol-origin: border;subcontrol-position: bottom right;width: 16px;"
    u"background-color: rgb(255, 255, 255);border: 1px solid #076591;}"
    u"QSpinBox::up-arrow{image: url(:/icon/icon_up_arrow);width: 12px;height: 10px;}"
    u"QSpinBox::down-arrow{image: url(:/icon/icon_down_arrow);width: 12px;height: 10px;}"_s;

const QDate kFirstDate(1949, 10, 1);
const QDate kLastDate(2049, 12, 31);

} // namespace

CalendarWidget::CalendarWidget(QWidget *parent, ScheduleMgr *scheduleMgr)
    : QWidget(parent)
    , scheduleMgr(scheduleMgr)
{
    buildForm();
    calendarWidget->setScheduleMgr(scheduleMgr);
    connect(calendarWidget, &QCalendarWidget::currentPageChanged, this, &CalendarWidget::onCurrentPageChanged);
    connect(scheduleMgr, &ScheduleMgr::scheduleChanged, this, &CalendarWidget::onScheduleChanged);
    stackedWidget->setCurrentWidget(page);
    updateHeader(calendarWidget->yearShown(), calendarWidget->monthShown());
    createMonthMenu();
}

void CalendarWidget::refreshHolidays()
{
    calendarWidget->refreshCells();
}

CalendarWidget::~CalendarWidget()
{
    // The browser is a window of its own (no parent), so the page owns it explicitly.
    delete browserDialog;
}

void CalendarWidget::buildForm()
{
    setObjectName(u"CalendarWidget"_s);
    resize(743, 470);
    setFixedHeight(470);

    auto *verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(u"verticalLayout"_s);
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    buildHeader();
    verticalLayout->addWidget(headerWidget);
    buildGrid();
    verticalLayout->addWidget(calendarWidget);

    actionAddSchedule_ = new QAction(u"新建日程"_s, this);
    actionAddSchedule_->setObjectName(u"actionAddSchedule_"_s);
    actionBrowseSchedule_ = new QAction(u"浏览日程"_s, this);
    actionBrowseSchedule_->setObjectName(u"actionBrowseSchedule_"_s);

    connectForm();
}

void CalendarWidget::buildHeader()
{
    headerWidget = new QWidget(this);
    headerWidget->setObjectName(u"headerWidget"_s);
    QPalette palette = headerWidget->palette();
    palette.setColor(QPalette::Window, QColor(250, 158, 0));
    palette.setColor(QPalette::Base, Qt::white);
    headerWidget->setPalette(palette);
    headerWidget->setAutoFillBackground(true);
    headerWidget->setStyleSheet(kHeaderButtonStyle);

    auto *verticalLayout_2 = new QVBoxLayout(headerWidget);
    verticalLayout_2->setObjectName(u"verticalLayout_2"_s);
    verticalLayout_2->setSpacing(0);
    verticalLayout_2->setContentsMargins(0, 0, 0, 0);
    buildMonthRow(headerWidget);
    buildWeekdayRow(headerWidget);
}

void CalendarWidget::buildMonthRow(QWidget *header)
{
    auto *horizontalLayout_2 = new QHBoxLayout;
    horizontalLayout_2->setObjectName(u"horizontalLayout_2"_s);
    horizontalLayout_2->setSpacing(0);
    horizontalLayout_2->setContentsMargins(0, 10, 0, 0);
    horizontalLayout_2->addStretch();

    btnPrevMonth = new QToolButton(header);
    btnPrevMonth->setObjectName(u"btnPrevMonth"_s);
    // Flat: the header's transparent button colour would otherwise feed the style's bevel gradient
    // and paint the header buttons as dark or pale boxes.
    btnPrevMonth->setAutoRaise(true);
    btnPrevMonth->setIcon(QIcon(u":/icon/icon_left_arrow"_s));
    btnPrevMonth->setIconSize(QSize(18, 21));
    horizontalLayout_2->addWidget(btnPrevMonth);

    const QFont headerFont = ProgramFont::song(18);
    stackedWidget = new QStackedWidget(header);
    stackedWidget->setObjectName(u"stackedWidget"_s);
    stackedWidget->setFixedHeight(38);
    stackedWidget->setMaximumWidth(80);

    page = new QWidget;
    page->setObjectName(u"page"_s);
    auto *horizontalLayout_3 = new QHBoxLayout(page);
    horizontalLayout_3->setObjectName(u"horizontalLayout_3"_s);
    horizontalLayout_3->setContentsMargins(0, 0, 0, 0);
    btnYear = new QToolButton(page);
    btnYear->setObjectName(u"btnYear"_s);
    btnYear->setAutoRaise(true);
    btnYear->setFont(headerFont);
    btnYear->setStyleSheet(kHeaderTextStyle);
    horizontalLayout_3->addWidget(btnYear);
    stackedWidget->addWidget(page);

    page_2 = new QWidget;
    page_2->setObjectName(u"page_2"_s);
    auto *horizontalLayout_4 = new QHBoxLayout(page_2);
    horizontalLayout_4->setObjectName(u"horizontalLayout_4"_s);
    horizontalLayout_4->setContentsMargins(0, 0, 0, 0);
    editYear = new QSpinBox(page_2);
    editYear->setObjectName(u"editYear"_s);
    editYear->setFont(headerFont);
    editYear->setRange(1949, 2049);
    editYear->setValue(2014);
    editYear->setStyleSheet(kYearEditStyle);
    horizontalLayout_4->addWidget(editYear);
    stackedWidget->addWidget(page_2);
    horizontalLayout_2->addWidget(stackedWidget);

    btnMonth = new QToolButton(header);
    btnMonth->setObjectName(u"btnMonth"_s);
    btnMonth->setAutoRaise(true);
    btnMonth->setMaximumWidth(60);
    btnMonth->setFont(headerFont);
    btnMonth->setStyleSheet(kHeaderTextStyle);
    horizontalLayout_2->addWidget(btnMonth);

    btnNextMonth = new QToolButton(header);
    btnNextMonth->setObjectName(u"btnNextMonth"_s);
    btnNextMonth->setAutoRaise(true);
    btnNextMonth->setIcon(QIcon(u":/icon/icon_right_arrow"_s));
    btnNextMonth->setIconSize(QSize(18, 21));
    horizontalLayout_2->addWidget(btnNextMonth);
    horizontalLayout_2->addStretch();

    static_cast<QVBoxLayout *>(header->layout())->addLayout(horizontalLayout_2);
}

void CalendarWidget::buildWeekdayRow(QWidget *header)
{
    auto *horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(u"horizontalLayout"_s);
    horizontalLayout->setContentsMargins(0, 4, 0, 4);
    const std::pair<const char16_t *, const char16_t *> days[] = {
        {u"label_4", u"周一"}, {u"label_7", u"周二"}, {u"label_3", u"周三"}, {u"label_2", u"周四"},
        {u"label_6", u"周五"}, {u"label_5", u"周六"}, {u"label", u"周日"},
    };
    for (const auto &[name, text] : days) {
        auto *label = new QLabel(QString::fromUtf16(text), header);
        label->setObjectName(QString::fromUtf16(name));
        QFont labelFont = label->font();
        labelFont.setPointSize(18);
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignCenter);
        horizontalLayout->addWidget(label);
    }
    static_cast<QVBoxLayout *>(header->layout())->addLayout(horizontalLayout);
}

void CalendarWidget::buildGrid()
{
    calendarWidget = new ChineseCalendarWidget(this);
    calendarWidget->setObjectName(u"calendarWidget"_s);
    calendarWidget->setFixedHeight(372);
    calendarWidget->setMinimumDate(kFirstDate);
    calendarWidget->setMaximumDate(kLastDate);
    calendarWidget->setFirstDayOfWeek(Qt::Monday);
    calendarWidget->setGridVisible(false);
    calendarWidget->setHorizontalHeaderFormat(QCalendarWidget::NoHorizontalHeader);
    calendarWidget->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendarWidget->setNavigationBarVisible(false);
    calendarWidget->setDateEditEnabled(true);
    QPalette palette = calendarWidget->palette();
    palette.setColor(QPalette::Active, QPalette::Base, Qt::white);
    palette.setColor(QPalette::Inactive, QPalette::Base, Qt::white);
    palette.setColor(QPalette::Active, QPalette::Window, QColor(240, 240, 240));
    palette.setColor(QPalette::Inactive, QPalette::Window, QColor(240, 240, 240));
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(240, 240, 240));
    palette.setColor(QPalette::Disabled, QPalette::Window, QColor(240, 240, 240));
    // The cells paint everything themselves; the view's selection fill would tint the chosen day.
    palette.setColor(QPalette::Active, QPalette::Highlight, Qt::transparent);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::transparent);
    calendarWidget->setPalette(palette);
}

void CalendarWidget::connectForm()
{
    connect(calendarWidget, &QCalendarWidget::clicked, this, &CalendarWidget::onClicked);
    connect(actionAddSchedule_, &QAction::triggered, this, &CalendarWidget::onAddSchedule);
    connect(actionBrowseSchedule_, &QAction::triggered, this, &CalendarWidget::onBrowseSchedule);
    connect(editYear, &QSpinBox::valueChanged, this, &CalendarWidget::onEditValueChanged);
    connect(editYear, &QSpinBox::editingFinished, this, &CalendarWidget::onEditingFinished);
    connect(btnPrevMonth, &QToolButton::clicked, this, &CalendarWidget::onBtnPrevMonth);
    connect(btnYear, &QToolButton::clicked, this, &CalendarWidget::onBtnYear);
    connect(btnMonth, &QToolButton::clicked, this, &CalendarWidget::onBtnMonth);
    connect(btnNextMonth, &QToolButton::clicked, this, &CalendarWidget::onBtnNextMonth);
}

void CalendarWidget::createMonthMenu()
{
    monthMenu = new QMenu(this);
    monthMenu->setObjectName(u"monthMenu"_s);
    connect(monthMenu, &QMenu::triggered, this, &CalendarWidget::onTriggered);
    const QStringList names = u"一月 二月 三月 四月 五月 六月 七月 八月 九月 十月 十一月 十二月"_s.split(u' ');
    for (int month = 1; month <= 12; ++month) {
        QAction *action = monthMenu->addAction(names.at(month - 1));
        action->setObjectName(QString::number(month));
    }
}

void CalendarWidget::updateHeader(int year, int month)
{
    btnMonth->setText(QString::number(month) + u"月"_s);
    btnYear->setText(QString::number(year) + u"年"_s);
    editYear->setValue(year);
}

void CalendarWidget::onClicked(QDate date)
{
    if (pageJustChanged || date < calendarWidget->currentDate()) {
        pageJustChanged = false;
        return;
    }
    if (!scheduleMenu) {
        scheduleMenu = new QMenu(this);
        scheduleMenu->setObjectName(u"scheduleMenu"_s);
        scheduleMenu->addAction(actionAddSchedule_);
        scheduleMenu->addAction(actionBrowseSchedule_);
    }
    scheduleMenu->popup(QCursor::pos());
}

void CalendarWidget::onCurrentPageChanged(int year, int month)
{
    pageJustChanged = true;
    updateHeader(year, month);
}

void CalendarWidget::onAddSchedule()
{
    NewScheduleDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Schedule schedule;
    schedule.type = dialog.type();
    schedule.setDateTime(calendarWidget->selectedDate(), dialog.time());
    schedule.description = dialog.description();
    scheduleMgr->addSchedule(schedule);
}

void CalendarWidget::onBrowseSchedule()
{
    if (!browserDialog)
        browserDialog = new ScheduleBrowserDialog(nullptr, scheduleMgr);
    browserDialog->refreshList();
    browserDialog->show();
    browserDialog->raise();
    browserDialog->activateWindow();
}

void CalendarWidget::onScheduleChanged(const Schedule &schedule)
{
    Q_UNUSED(schedule);
    // The cells are painted by the grid's inner view; a repaint of the grid widget alone can leave
    // a removed schedule's bell on screen.
    calendarWidget->refreshCells();
    // A failed save keeps the list in memory and the old file intact; the next change retries.
    scheduleMgr->saveSchedules(GlobalSettings::instance()->dataFilePath(u"schedules.dat"_s));
}

void CalendarWidget::showPage(int year, int month)
{
    // The grid would show any month; keep it to the months its dates may come from.
    const int index = qBound(kFirstDate.year() * 12 + kFirstDate.month() - 1, year * 12 + month - 1,
                             kLastDate.year() * 12 + kLastDate.month() - 1);
    calendarWidget->setCurrentPage(index / 12, index % 12 + 1);
}

void CalendarWidget::onBtnPrevMonth()
{
    showPage(calendarWidget->yearShown(), calendarWidget->monthShown() - 1);
}

void CalendarWidget::onBtnNextMonth()
{
    showPage(calendarWidget->yearShown(), calendarWidget->monthShown() + 1);
}

void CalendarWidget::onBtnYear()
{
    stackedWidget->setCurrentWidget(page_2);
    editYear->setFocus();
    editYear->selectAll();
}

void CalendarWidget::onBtnMonth()
{
    monthMenu->popup(ScreenPosition::toScreen(btnMonth, btnMonth->rect().bottomLeft()));
}

void CalendarWidget::onEditValueChanged(int year)
{
    showPage(year, calendarWidget->monthShown());
}

void CalendarWidget::onEditingFinished()
{
    stackedWidget->setCurrentWidget(page);
}

void CalendarWidget::onTriggered(QAction *action)
{
    bool ok = false;
    const int month = action->objectName().toInt(&ok);
    if (!ok || month < 1 || month > 12)
        return;
    showPage(calendarWidget->yearShown(), month);
    updateHeader(calendarWidget->yearShown(), calendarWidget->monthShown());
}

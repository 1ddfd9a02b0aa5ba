#include "MainDialog.h"

#include "AboutDialog.h"
#include "ButtonStyle.h"
#include "CalendarWidget.h"
#include "DataFile.h"
#include "Endpoints.h"
#include "GlobalHotKey.h"
#include "GlobalSettings.h"
#include "HolidayUpdate.h"
#include "MyMessageBox.h"
#include "Network.h"
#include "ProgramFont.h"
#include "ProgramTableWidget.h"
#include "ProgramWidget.h"
#include "ReleaseCheck.h"
#include "ScreenCaptureDialog.h"
#include "ScreenPosition.h"
#include "SettingsDialog.h"
#include "ShowHideHotKey.h"
#include "SoftwareWidget.h"
#include "StartupTrace.h"
#include "TrayBalloon.h"
#include "UsageReport.h"
#include "WeatherWidget.h"
#include "WebsiteStore.h"
#include "WebsiteWidget.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkReply>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString kProductName = u"Quorvik桌面助手"_s;
// Stack indexes of the pages.
enum { kWebsitePage, kProgramPage, kCalendarPage, kWeatherPage, kSoftwarePage, kPageCount };
const QString kShowFloatingText = u"显示浮窗"_s;
const QString kHideFloatingText = u"隐藏浮窗"_s;

bool (*g_trayProbe)() = nullptr;

QToolButton *makeTitleButton(QWidget *parent, const QString &name, const QString &icon, int iconSize,
                             const QString &toolTip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setFixedSize(38, 39);
    button->setAutoRaise(true);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(iconSize, iconSize));
    if (!toolTip.isEmpty())
        button->setToolTip(toolTip);
    return button;
}

QPushButton *makePageButton(QWidget *parent, const QString &name, const QString &text, const QString &icon)
{
    static const QString style = ButtonStyle::highlighted(u"QPushButton"_s, u"165, 225, 253"_s, u"165, 225, 253"_s);
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setFont(ProgramFont::sans(14));
    button->setIconSize(QSize(33, 32));
    button->setIcon(QIcon(icon));
    button->setText(text);
    button->setStyleSheet(style);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

QLabel *makeSplitter(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(u":/icon/splitter"_s));
    return label;
}

QAction *makeAction(QObject *parent, const QString &name, const QString &text)
{
    auto *action = new QAction(text, parent);
    action->setObjectName(name);
    return action;
}

} // namespace

MainDialog::MainDialog(QWidget *parent)
    : FramelessDialog(parent)
    , m_trayIcon(this)
    , m_trayMenu(this)
    , m_scheduleMgr(this)
{
    m_trayIcon.setObjectName(u"trayIcon"_s);
    m_trayMenu.setObjectName(u"trayMenu"_s);
    connect(&m_miniDialog, &MiniMainDialog::toggleRequested, this, &MainDialog::toggleVisibility);
    connect(&m_miniDialog, &MiniMainDialog::menuRequested, this, &MainDialog::showMiniMenu);
    connect(&m_miniDialog, &MiniMainDialog::hideRequested, this, [this] { setFloatingWindowShown(false); });

    // A failed save is told from the event loop: saves run inside hide events, timers and
    // menu handlers, where a modal box would re-enter them.
    DataFile::setReporter([this](const QString &message) {
        QTimer::singleShot(0, this, [this, message] {
            if (m_quitting)
                return;
            MyMessageBox box(this);
            box.showMessage(QMessageBox::Warning, u"系统消息"_s, message, QMessageBox::Ok);
        });
    });

    setObjectName(u"MainDialog"_s);
    setFixedSize(900, 600);
    setAcceptDrops(true);
    setWindowTitle(u"Quorvik电脑助手"_s);
    // The menus need the actions now; the widgets wait for the first showing (ensureWindowBuilt).
    createActions();
    connectActions();
    connect(GlobalHotKey::instance(), &GlobalHotKey::activated, this, &MainDialog::onHotKey);
    m_releaseCheck = new ReleaseCheck(this);
    connect(m_releaseCheck, &ReleaseCheck::askedRunningChanged, this, &MainDialog::setVersionCheckRunning);
    connect(m_releaseCheck, &ReleaseCheck::newerRelease, this, &MainDialog::offerRelease);
    connect(m_releaseCheck, &ReleaseCheck::upToDate, this, &MainDialog::showUpToDate);
    connect(m_releaseCheck, &ReleaseCheck::unreachable, this, &MainDialog::showVersionServerUnreachable);
    // The calendar page saves the list at every change; a reminder may change it before the page
    // is built, and a one-day reminder must not come back at the next start.
    connect(&m_scheduleMgr, &ScheduleMgr::scheduleChanged, this, [this] {
        if (!calendarPage)
            m_scheduleMgr.saveSchedules(GlobalSettings::instance()->dataFilePath(u"schedules.dat"_s));
    });
    // The floating window is the first window; the tray icon and the rest follow at once.
    QTimer::singleShot(0, this, &MainDialog::finishStartup);
}

void MainDialog::finishStartup()
{
    initTrayIcon();
    // The start-up requests in this order: version check, remote website list, holiday table (the
    // reminders' workday rule reads it too, so it does not wait for the calendar page), "login".
    onCheckNewVersion();
    requestRemoteWebsites();
    HolidayUpdate::loadCache();
    HolidayUpdate::request(this, [this] {
        if (calendarPage)
            calendarPage->refreshHolidays();
    });
    reportAction(u"login"_s);
    m_scheduleMgr.loadSchedules(GlobalSettings::instance()->dataFilePath(u"schedules.dat"_s));
    StartupTrace::mark("start-up requests sent");
}

MainDialog::~MainDialog()
{
    DataFile::setReporter({});
    // Normally gone with the quit path already; they have no parent to take them along.
    delete aboutDialog;
    delete settingsDialog;
}

void MainDialog::ensureWindowBuilt()
{
    if (stackedWidget)
        return;
    StartupTrace::mark("main window requested");
    buildForm();
    setBackgroundImage(titleWidget_, u"bg_title"_s);
    btnWebsite->setChecked(true);
    currentPageButton = btnWebsite;
    StartupTrace::mark("main window built");
    StartupTrace::markAfterFirstPaint(titleWidget_, "main window painted");
}

void MainDialog::buildForm()
{
    auto *verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(u"verticalLayout"_s);
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    buildTitleBar();
    buildPageButtons();
    buildStack();
    verticalLayout->addWidget(titleWidget_);
    verticalLayout->addWidget(funcBtnWidget_);
    verticalLayout->addWidget(stackedWidget);
    connectButtons();
}

void MainDialog::buildTitleBar()
{
    titleWidget_ = new QWidget(this);
    titleWidget_->setObjectName(u"titleWidget_"_s);
    titleWidget_->setFixedHeight(80);

    auto *horizontalLayout_4 = new QHBoxLayout(titleWidget_);
    horizontalLayout_4->setObjectName(u"horizontalLayout_4"_s);
    horizontalLayout_4->setContentsMargins(0, 0, 0, 0);

    widget_ = new QWidget(titleWidget_);
    widget_->setObjectName(u"widget_"_s);
    horizontalLayout_4->addWidget(widget_, 0, Qt::AlignRight | Qt::AlignTop);

    auto *horizontalLayout = new QHBoxLayout(widget_);
    horizontalLayout->setObjectName(u"horizontalLayout"_s);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    horizontalLayout->setSpacing(0);

    auto *horizontalLayout_5 = new QHBoxLayout;
    horizontalLayout_5->setObjectName(u"horizontalLayout_5"_s);
    horizontalLayout_5->setSpacing(0);
    horizontalLayout_5->setContentsMargins(0, 0, 8, 0);

    searchLineEdit_ = new QLineEdit(widget_);
    searchLineEdit_->setObjectName(u"searchLineEdit_"_s);
    searchLineEdit_->setMinimumWidth(180);
    searchLineEdit_->setMaximumHeight(27);
    // The padding keeps the text off the picture's rounded left border.
    searchLineEdit_->setStyleSheet(u"border-image: url(:/icon/bg_search);padding-left: 6px;padding-right: 2px;"_s);
    searchLineEdit_->setPlaceholderText(u"输入文字搜索"_s);
    horizontalLayout_5->addWidget(searchLineEdit_);

    searchButton_ = new QPushButton(widget_);
    searchButton_->setObjectName(u"searchButton_"_s);
    searchButton_->setFixedSize(18, 27);
    searchButton_->setCursor(Qt::PointingHandCursor);
    searchButton_->setFlat(true);
    searchButton_->setIcon(QIcon(u":/icon/search"_s));
    searchButton_->setIconSize(QSize(18, 18));
    searchButton_->setToolTip(u"百度一下"_s);
    searchButton_->setStyleSheet(
        u"QPushButton{border-image: url(:/icon/bg_search_btn);background-color: rgba(209, 226, 242, 0);}"
        "QPushButton:hover{border-image: url(:/icon/bg_search_btn);background-color: rgba(7, 101, 145, 0);}"
        "QPushButton:pressed{border-image: url(:/icon/bg_search_btn);background-color: rgba(7, 101, 145, 0);}"_s);
    horizontalLayout_5->addWidget(searchButton_);
    horizontalLayout->addLayout(horizontalLayout_5);

    btnScreenCut_ = makeTitleButton(widget_, u"btnScreenCut_"_s, u":/icon/icon_screencut"_s, 16, u"屏幕截图"_s);
    mainMenuEntry_ = makeTitleButton(widget_, u"mainMenuEntry_"_s, u":/icon/icon_mainmenu"_s, 18, QString());
    minimize_ = makeTitleButton(widget_, u"minimize_"_s, u":/icon/icon_minimize"_s, 16, u"最小化"_s);
    close_ = makeTitleButton(widget_, u"close_"_s, u":/icon/icon_close"_s, 12, u"关闭"_s);
    horizontalLayout->addWidget(btnScreenCut_);
    horizontalLayout->addWidget(mainMenuEntry_);
    horizontalLayout->addWidget(minimize_);
    horizontalLayout->addWidget(close_);
}

void MainDialog::buildPageButtons()
{
    funcBtnWidget_ = new QWidget(this);
    funcBtnWidget_->setObjectName(u"funcBtnWidget_"_s);
    funcBtnWidget_->setFixedHeight(50);
    funcBtnWidget_->setStyleSheet(
        u"background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(236, 242, 251, 255), stop:1 rgba(240, 245, 252, 255));"_s);

    auto *horizontalLayout_2 = new QHBoxLayout(funcBtnWidget_);
    horizontalLayout_2->setObjectName(u"horizontalLayout_2"_s);
    horizontalLayout_2->setContentsMargins(0, 0, 0, 0);
    horizontalLayout_2->setSpacing(0);

    btnWebsite = makePageButton(funcBtnWidget_, u"btnWebsite"_s, u"  网址导航"_s, u":/icon/browser"_s);
    btnProgram = makePageButton(funcBtnWidget_, u"btnProgram"_s, u"  常用软件"_s, u":/icon/tool"_s);
    btnCalendar = makePageButton(funcBtnWidget_, u"btnCalendar"_s, u"  日程日历"_s, u":/icon/calendar"_s);
    btnWeather = makePageButton(funcBtnWidget_, u"btnWeather"_s, u"  天气预报"_s, u":/icon/weather"_s);
    btnPromotion = makePageButton(funcBtnWidget_, u"btnPromotion"_s, u"  好软推荐"_s, u":/icon/software"_s);

    horizontalLayout_2->addWidget(btnWebsite);
    horizontalLayout_2->addWidget(makeSplitter(funcBtnWidget_, u"label"_s));
    horizontalLayout_2->addWidget(btnProgram);
    horizontalLayout_2->addWidget(makeSplitter(funcBtnWidget_, u"label_2"_s));
    horizontalLayout_2->addWidget(btnCalendar);
    horizontalLayout_2->addWidget(makeSplitter(funcBtnWidget_, u"label_3"_s));
    horizontalLayout_2->addWidget(btnWeather);
    horizontalLayout_2->addWidget(makeSplitter(funcBtnWidget_, u"label_4"_s));
    horizontalLayout_2->addWidget(btnPromotion);
}

void MainDialog::buildStack()
{
    stackedWidget = new QStackedWidget(this);
    stackedWidget->setObjectName(u"stackedWidget"_s);
    stackedWidget->setFixedSize(900, 470);
    // Empty stand-ins keep the pages' indexes until each page is built on its first visit.
    for (int index = 0; index < kPageCount; ++index)
        stackedWidget->addWidget(new QWidget(stackedWidget));
}

void MainDialog::ensurePage(int index)
{
    if (pageAt(index))
        return;
    switch (index) {
    case kWebsitePage:
        createWebsitePage();
        break;
    case kProgramPage:
        createProgramPage();
        break;
    case kCalendarPage:
        calendarPage = new CalendarWidget(stackedWidget, &m_scheduleMgr);
        break;
    case kWeatherPage:
        weatherPage = new WeatherWidget(stackedWidget);
        break;
    default:
        softwarePage = new SoftwareWidget(stackedWidget);
        break;
    }
    QWidget *standIn = stackedWidget->widget(index);
    const bool current = stackedWidget->currentWidget() == standIn;
    stackedWidget->insertWidget(index, pageAt(index));
    delete standIn;
    if (current)
        stackedWidget->setCurrentIndex(index);
    static const char *const built[kPageCount] = {"website page built", "program page built",
                                                  "calendar page built", "weather page built",
                                                  "software page built"};
    StartupTrace::mark(built[index]);
}

QWidget *MainDialog::pageAt(int index) const
{
    const std::array<QWidget *, kPageCount> pages{websitePage, programPage, calendarPage, weatherPage, softwarePage};
    return pages.at(index);
}

void MainDialog::createActions()
{
    actionQuit_ = makeAction(this, u"actionQuit_"_s, u"退出"_s);
    actionAbout_ = makeAction(this, u"actionAbout_"_s, u"关于"_s);
    actionSetting_ = makeAction(this, u"actionSetting_"_s, u"设置"_s);
    actionOfficalWebsite_ = makeAction(this, u"actionOfficalWebsite_"_s, u"官方网站"_s);
    actionShowWebsite_ = makeAction(this, u"actionShowWebsite_"_s, u"打开网址导航"_s);
    actionScreenCut_ = makeAction(this, u"actionScreenCut_"_s, u"屏幕截图"_s);
    actionCheckNewVersion_ = makeAction(this, u"actionCheckNewVersion_"_s, u"检查更新"_s);
    actionShowProgram_ = makeAction(this, u"actionShowProgram_"_s, u"打开常用软件"_s);
    actionShowCalendar_ = makeAction(this, u"actionShowCalendar_"_s, u"打开日程日历"_s);
    actionShowCalendar_->setToolTip(u"打开日程日历"_s);
    actionShowWeather_ = makeAction(this, u"actionShowWeather_"_s, u"打开天气预报"_s);
    actionShowPromotion_ = makeAction(this, u"actionShowPromotion_"_s, u"打开好软推荐"_s);
    actionShowFloatingWindow = makeAction(this, u"actionShowFloatingWindow"_s, kShowFloatingText);
}

void MainDialog::connectActions()
{
    connect(actionQuit_, &QAction::triggered, this, &MainDialog::onClose);
    connect(actionAbout_, &QAction::triggered, this, &MainDialog::onAbout);
    connect(actionSetting_, &QAction::triggered, this, &MainDialog::onSettings);
    connect(actionOfficalWebsite_, &QAction::triggered, this, &MainDialog::onOfficalWebsite);
    connect(actionShowWebsite_, &QAction::triggered, this, &MainDialog::onWebsite);
    connect(actionScreenCut_, &QAction::triggered, this, &MainDialog::onScreenCut);
    connect(actionCheckNewVersion_, &QAction::triggered, this, &MainDialog::onCheckNewVersion);
    connect(actionShowProgram_, &QAction::triggered, this, &MainDialog::onProgram);
    connect(actionShowCalendar_, &QAction::triggered, this, &MainDialog::onCalendar);
    connect(actionShowWeather_, &QAction::triggered, this, &MainDialog::onWeather);
    connect(actionShowPromotion_, &QAction::triggered, this, &MainDialog::onPromotion);
    connect(actionShowFloatingWindow, &QAction::triggered, this, &MainDialog::onShowFloatingWindow);
}

void MainDialog::connectButtons()
{
    connect(btnWebsite, &QPushButton::clicked, this, &MainDialog::onWebsite);
    connect(btnProgram, &QPushButton::clicked, this, &MainDialog::onProgram);
    connect(btnCalendar, &QPushButton::clicked, this, &MainDialog::onCalendar);
    connect(btnWeather, &QPushButton::clicked, this, &MainDialog::onWeather);
    connect(btnPromotion, &QPushButton::clicked, this, &MainDialog::onPromotion);
    connect(btnScreenCut_, &QToolButton::clicked, this, &MainDialog::onScreenCut);
    connect(mainMenuEntry_, &QToolButton::clicked, this, &MainDialog::onShowMainMenu);
    connect(minimize_, &QToolButton::clicked, this, &MainDialog::showMinimized);
    connect(close_, &QToolButton::clicked, this, &MainDialog::onClose);
    connect(searchButton_, &QPushButton::clicked, this, &MainDialog::onSearch);
    connect(searchLineEdit_, &QLineEdit::returnPressed, this, &MainDialog::onSearch);
}

void MainDialog::fillEntryMenu(QMenu *menu)
{
    menu->addAction(actionShowWebsite_);
    menu->addAction(actionShowProgram_);
    menu->addAction(actionShowCalendar_);
    menu->addAction(actionShowWeather_);
    menu->addAction(actionShowPromotion_);
    menu->addSeparator();
    menu->addAction(actionShowFloatingWindow);
    menu->addAction(actionScreenCut_);
    menu->addAction(actionSetting_);
    menu->addAction(actionAbout_);
    menu->addSeparator();
    menu->addAction(actionCheckNewVersion_);
    menu->addAction(actionQuit_);
}

void MainDialog::initTrayIcon()
{
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this, &MainDialog::onSystemTrayIconActivated);
    m_trayIcon.setToolTip(kProductName);
    m_trayIcon.setIcon(QIcon(u":/icon/logo32"_s));
    fillEntryMenu(&m_trayMenu);
    m_trayIcon.setContextMenu(&m_trayMenu);
    m_trayIcon.show();
    StartupTrace::mark("tray shown");
}

void MainDialog::createWebsitePage()
{
    websitePage = new WebsiteWidget(stackedWidget);
    websitePage->loadLocalWebsites(GlobalSettings::instance()->dataFilePath(u"luw.dat"_s));
    // A list that came before the page was built is saved already; otherwise the saved or built-in
    // one stands until the reply comes.
    if (!m_remoteWebsites.isEmpty())
        websitePage->loadRemoteWebsites(std::exchange(m_remoteWebsites, QByteArray()));
    else
        websitePage->loadSavedWebsites(GlobalSettings::instance()->dataFilePath(u"websites.xml"_s));
}

void MainDialog::createProgramPage()
{
    programPage = new ProgramWidget(stackedWidget);
    // Finding the built-in tools and every program's icon is the slowest part of building the
    // page, so it is shown first and fills at the next event-loop turn.
    QTimer::singleShot(0, programPage, [page = programPage] {
        page->tableWidget()->loadSystemPrograms(0);
        page->tableWidget()->loadPrograms(GlobalSettings::instance()->dataFilePath(u"lup.dat"_s));
    });
}

void MainDialog::requestRemoteWebsites()
{
    if (QNetworkReply *reply = networkGet(Endpoints::makerSiteUrl(u"websites.xml"_s), RequestKind::List))
        connect(reply, &QNetworkReply::finished, this, &MainDialog::onRequestRemoteWebsiteFinished);
}

int MainDialog::hitTest(const QPoint &globalPos) const
{
    if (!geometry().contains(globalPos))
        return HitNowhere;
    return childAt(ScreenPosition::toWindow(this, globalPos)) == titleWidget_ ? HitCaption : HitNowhere;
}

void MainDialog::selectPageButton(QPushButton *button)
{
    for (QPushButton *b : {btnWebsite, btnProgram, btnCalendar, btnWeather, btnPromotion})
        b->setChecked(b == button);
    currentPageButton = button;
}

void MainDialog::switchToPage(QPushButton *button, int index, QAction *menuAction)
{
    if (button != currentPageButton) {
        selectPageButton(button);
        ensurePage(index);
        stackedWidget->setCurrentIndex(index);
    }
    if (menuAction && sender() == menuAction) {
        show();
        activateWindow();
    }
}

void MainDialog::onWebsite()
{
    reportAction(u"wb"_s);
    ensureWindowBuilt();
    currentPageButton->setChecked(true);
    switchToPage(btnWebsite, kWebsitePage, actionShowWebsite_);
}

void MainDialog::onProgram()
{
    reportAction(u"program"_s);
    ensureWindowBuilt();
    currentPageButton->setChecked(true);
    switchToPage(btnProgram, kProgramPage, actionShowProgram_);
}

void MainDialog::onCalendar()
{
    reportAction(u"calendar"_s);
    ensureWindowBuilt();
    currentPageButton->setChecked(true);
    switchToPage(btnCalendar, kCalendarPage, actionShowCalendar_);
}

void MainDialog::onWeather()
{
    reportAction(u"weather"_s);
    ensureWindowBuilt();
    currentPageButton->setChecked(true);
    if (btnWeather != currentPageButton && weatherPagePending) {
        ensurePage(kWeatherPage);
        weatherPage->onRequestWeather();
        weatherPagePending = false;
    }
    switchToPage(btnWeather, kWeatherPage, actionShowWeather_);
}

void MainDialog::onPromotion()
{
    reportAction(u"promotion"_s);
    ensureWindowBuilt();
    currentPageButton->setChecked(true);
    // Every visit asks again until a list from the network is shown (the page ignores the rest).
    if (btnPromotion != currentPageButton) {
        softwarePagePending = false;
        ensurePage(kSoftwarePage);
        softwarePage->requestPromotions();
    }
    switchToPage(btnPromotion, kSoftwarePage, actionShowPromotion_);
}

void MainDialog::onRequestRemoteWebsiteFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    if (m_quitting)
        return;
    // A failed, hung or oversized reply changes nothing: the saved or built-in list stays.
    const QByteArray body = replyBody(reply);
    if (websitePage) {
        websitePage->loadRemoteWebsites(body);
        return;
    }
    // The page is built on its first visit: a good list waits for it and is kept for the next
    // start now, as the page would keep it.
    QVector<WebsiteCategory> categories;
    if (WebsiteStore::parseRemote(body, &categories) && !categories.isEmpty()
        && WebsiteStore::saveRemote(GlobalSettings::instance()->dataFilePath(u"websites.xml"_s), body))
        m_remoteWebsites = body;
}

bool MainDialog::trayAvailable()
{
    return g_trayProbe ? g_trayProbe() : QSystemTrayIcon::isSystemTrayAvailable();
}

void MainDialog::setTrayProbe(bool (*probe)())
{
    g_trayProbe = probe;
}

void MainDialog::onClose()
{
    // Without a tray a hidden window could only come back through the floating window or the
    // hot key, both of which the user may have turned off: closing quits then.
    if (GlobalSettings::instance()->onlyHideWhenClose() && sender() == close_ && trayAvailable()) {
        hide();
        return;
    }
    m_quitting = true;
    reportAction(u"logout"_s);
    if (m_trayIcon.isVisible())
        m_trayIcon.hide();
    m_captureDialog.clear();
    hide();
    delete aboutDialog;
    aboutDialog = nullptr;
    delete settingsDialog;
    settingsDialog = nullptr;
    ShowHideHotKey::unregisterKey(winId());
    QCoreApplication::quit();
}

void MainDialog::onScreenCut()
{
    reportAction(u"screencut"_s);
    if (!m_captureDialog) {
        auto *capture = new ScreenCaptureDialog;
        capture->setModal(false);
        connect(capture, &QDialog::finished, this, &MainDialog::onDialogFinished);
        m_captureDialog = capture;
    }
    if (m_captureDialog)
        m_captureDialog->show();
}

void MainDialog::onDialogFinished(int result)
{
    Q_UNUSED(result)
    if (m_captureDialog && sender() == m_captureDialog.data())
        m_captureDialog->deleteLater();
}

void MainDialog::onSystemTrayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        toggleVisibility();
}

void MainDialog::toggleVisibility()
{
    if (isVisible() && !isMinimized()) {
        hide();
        return;
    }
    if (isVisible())
        showNormal();
    else
        show();
    activateWindow();
}

void MainDialog::present()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void MainDialog::showInitialWindow()
{
    if (trayAvailable())
        hide();
    else
        present();
}

void MainDialog::onSettingsLoadFinished()
{
    GlobalSettings *settings = GlobalSettings::instance();
    if (settings->firstRun()) {
        // After the tray icon (finishStartup), which it points at.
        QTimer::singleShot(0, this, [this] { showFirstRunBalloon(30); });
        settings->save(settings->settingsFilePath());
    }
    if (settings->showFloatingWindow()) {
        m_miniDialog.show();
        actionShowFloatingWindow->setText(kHideFloatingText);
        StartupTrace::mark("floating window shown");
    } else {
        actionShowFloatingWindow->setText(kShowFloatingText);
    }
    // A key outside the table or refused by the system: the program runs without a hot key.
    ShowHideHotKey::registerKey(winId(), settings->hotKey());
}

void MainDialog::showFirstRunBalloon(int attemptsLeft)
{
    // Without a tray the balloon would point at nothing.
    if (!m_trayIcon.isVisible() || !trayAvailable())
        return;
    const QRect icon = m_trayIcon.geometry();
    if (attemptsLeft > 0 && (icon.isEmpty() || icon.topLeft().isNull())) {
        QTimer::singleShot(100, this, [this, attemptsLeft] { showFirstRunBalloon(attemptsLeft - 1); });
        return;
    }
    const QString text = u"Hi,运行时我会出现在托盘上哦~"_s;
    // Where the icon's place is known, the program's own balloon keeps clear of the screen's edge
    // (Qt's fallback balloon of an XEmbed tray touches it); elsewhere the desktop shows the message.
    if (!icon.isEmpty() && !icon.topLeft().isNull())
        TrayBalloon::showNear(icon, kProductName, text, 10000);
    else
        m_trayIcon.showMessage(kProductName, text, QSystemTrayIcon::Information, 10000);
}

void MainDialog::onHotKey(int id, int virtualKey, int modifiers)
{
    if (ShowHideHotKey::matches(GlobalSettings::instance()->hotKey(), id, virtualKey, modifiers))
        toggleVisibility();
}

void MainDialog::onSearch()
{
    reportAction(u"search"_s);
    const QString text = searchLineEdit_->text();
    if (text.isEmpty()) {
        QDesktopServices::openUrl(QUrl(Endpoints::searchEngine()));
        return;
    }
    const QString query = QString::fromLatin1(QUrl::toPercentEncoding(text));
    QDesktopServices::openUrl(QUrl(Endpoints::searchEngine() + u"s?wd="_s + query, QUrl::StrictMode));
}

void MainDialog::onShowFloatingWindow()
{
    setFloatingWindowShown(!GlobalSettings::instance()->showFloatingWindow());
}

void MainDialog::setFloatingWindowShown(bool shown)
{
    if (shown) {
        m_miniDialog.show();
        actionShowFloatingWindow->setText(kHideFloatingText);
    } else {
        m_miniDialog.hide();
        actionShowFloatingWindow->setText(kShowFloatingText);
    }
    GlobalSettings::instance()->setShowFloatingWindow(shown);
}

void MainDialog::onSettings()
{
    if (!settingsDialog) {
        settingsDialog = new SettingsDialog(this);
        settingsDialog->setModal(true);
    }
    const QString city = GlobalSettings::instance()->weatherCity();
    settingsDialog->exec();
    // A weather page already shown follows a new city at once; an unvisited one asks on its visit.
    if (GlobalSettings::instance()->weatherCity() != city && !weatherPagePending)
        weatherPage->onCityChanged();
}

void MainDialog::onAbout()
{
    if (!aboutDialog)
        aboutDialog = new AboutDialog(nullptr);
    aboutDialog->exec();
}

void MainDialog::showMiniMenu(const QPoint &globalPos)
{
    if (!m_miniMenu) {
        m_miniMenu = new QMenu(&m_miniDialog);
        m_miniMenu->setObjectName(u"miniMenu"_s);
        fillEntryMenu(m_miniMenu);
        actionShowFloatingWindow->setText(GlobalSettings::instance()->showFloatingWindow() ? kHideFloatingText
                                                                                            : kShowFloatingText);
    }
    m_miniMenu->popup(globalPos);
}

void MainDialog::onShowMainMenu()
{
    if (!m_mainMenu) {
        m_mainMenu = new QMenu(this);
        m_mainMenu->setObjectName(u"mainMenu"_s);
        m_mainMenu->addAction(actionSetting_);
        m_mainMenu->addAction(actionAbout_);
        m_mainMenu->addAction(actionCheckNewVersion_);
        m_mainMenu->addAction(actionOfficalWebsite_);
    }
    m_mainMenu->popup(QCursor::pos());
}

void MainDialog::onOfficalWebsite()
{
    QDesktopServices::openUrl(QUrl(Endpoints::makerSite()));
}

void MainDialog::onCheckNewVersion()
{
    // A check the user asked for always answers, even when the start-up check got nothing usable.
    if (QNetworkReply *reply = m_releaseCheck->start(sender() && sender() == actionCheckNewVersion_))
        connect(reply, &QNetworkReply::finished, this, &MainDialog::onDetectNewVersion);
}

void MainDialog::onDetectNewVersion()
{
    m_releaseCheck->read(qobject_cast<QNetworkReply *>(sender()));
}

void MainDialog::setVersionCheckRunning(bool running)
{
    actionCheckNewVersion_->setEnabled(!running);
    actionCheckNewVersion_->setText(running ? u"正在检查更新…"_s : u"检查更新"_s);
}

void MainDialog::offerRelease(const QUrl &download)
{
    if (m_quitting)
        return;
    MyMessageBox box(this);
    box.addButton(u"暂时不用"_s, QMessageBox::NoRole);
    QPushButton *downloadButton = box.addButton(u"立即下载"_s, QMessageBox::YesRole);
    box.showMessage(QMessageBox::Information, u"系统消息"_s, u"检测到新版本，是否立即更新？"_s);
    if (box.clickedButton() == downloadButton && !download.isEmpty())
        QDesktopServices::openUrl(download);
}

void MainDialog::showUpToDate()
{
    if (m_quitting)
        return;
    MyMessageBox box(this);
    box.showMessage(QMessageBox::Information, u"系统消息"_s, u"您正在使用最新版本"_s, QMessageBox::Ok);
}

void MainDialog::showVersionServerUnreachable()
{
    if (m_quitting)
        return;
    MyMessageBox box(this);
    box.showMessage(QMessageBox::Warning, u"系统消息"_s, u"无法连接到更新服务器，请检查网络后再试"_s,
                    QMessageBox::Ok);
}

bool MainDialog::isNewerVersion(const QString &current, const QString &offered)
{
    return ReleaseCheck::isNewerVersion(current, offered);
}

bool MainDialog::isOverProgramPage(const QPoint &pos) const
{
    if (!programPage || stackedWidget->currentWidget() != programPage)
        return false;
    return programPage->rect().contains(programPage->mapFrom(this, pos));
}

bool MainDialog::programPageAcceptsDrag(QDragMoveEvent *event)
{
    return programPage->tableWidget()->acceptsDrag(event);
}

void MainDialog::setVisible(bool visible)
{
    // QDialog centres a window at every showing unless the program itself moved it; a drag by the
    // window manager does not count, so the window would jump back to the middle. Put it back
    // where the user left it, on a screen that is still there.
    if (visible && !isVisible() && m_lastPosition)
        move(ScreenPosition::keepOnScreens(QRect(*m_lastPosition, size())));
    if (visible) {
        ensureWindowBuilt();
        ensurePage(stackedWidget->currentIndex());
    }
    FramelessDialog::setVisible(visible);
}

void MainDialog::hideEvent(QHideEvent *event)
{
    if (!isMinimized())
        m_lastPosition = pos();
    FramelessDialog::hideEvent(event);
}

void MainDialog::keyPressEvent(QKeyEvent *event)
{
    // A Return that a field leaves unused (the calendar's year box, for one) would reach QDialog,
    // which clicks the default button, the search button. Only the search box's own Return searches.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    FramelessDialog::keyPressEvent(event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent *event)
{
    if (isOverProgramPage(event->position().toPoint()))
        programPageAcceptsDrag(event);
}

void MainDialog::dragMoveEvent(QDragMoveEvent *event)
{
    if (isOverProgramPage(event->position().toPoint()) && programPageAcceptsDrag(event))
        return;
    event->ignore();
}

void MainDialog::dropEvent(QDropEvent *event)
{
    if (isOverProgramPage(event->position().toPoint()))
        programPage->tableWidget()->dropFiles(event);
}

// The main window and shell: title strip, page buttons, the five pages, tray icon, menus, version check.
// Only the shell (tray icon, menus, floating window, schedules, start-up requests) is made at start;
// the window's widgets are built when it is first shown, each page on its first visit.
#pragma once

#include "FramelessDialog.h"
#include "MiniMainDialog.h"
#include "ScheduleMgr.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QMenu>

#include <optional>

class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;
class AboutDialog;
class QUrl;
class ReleaseCheck;
class CalendarWidget;
class ProgramWidget;
class SettingsDialog;
class SoftwareWidget;
class WeatherWidget;
class WebsiteWidget;

class MainDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit MainDialog(QWidget *parent = nullptr);
    ~MainDialog() override;

    // Hides a visible window, restores a minimised one, shows a hidden one.
    void toggleVisibility();
    // Shows the window restored, on top and active (a later start of the program asks for it).
    void present();
    // At start: hidden while a tray shows the icon; shown where there is no tray, since nothing
    // else would lead to the program.
    void showInitialWindow();
    // Whether a tray can show the icon now; it may appear or go away while the program runs.
    static bool trayAvailable();
    // Replaces the question to the desktop (tests); null asks the desktop again.
    static void setTrayProbe(bool (*probe)());
    // Shows or hides the floating window, names the menu entry after it and saves the setting.
    void setFloatingWindowShown(bool shown);
    // Pops up the floating window's menu at a screen position (made on the first call).
    void showMiniMenu(const QPoint &globalPos);
    // Checks button, unchecks the other page buttons and remembers it as the current one.
    void selectPageButton(QPushButton *button);
    // True when offered names a later release than current (dotted decimal, missing parts count as older).
    static bool isNewerVersion(const QString &current, const QString &offered);

    // Builds the title strip, the page buttons and the stack of stand-ins now; the first showing
    // does it otherwise. Idempotent.
    void ensureWindowBuilt();

    // Drags only from the bare title strip.
    int hitTest(const QPoint &globalPos) const override;
    void setVisible(bool visible) override;

    // The checked page button.
    QPushButton *selectedPageButton() const { return currentPageButton; }

public slots:
    void onWebsite();
    void onProgram();
    void onCalendar();
    void onWeather();
    void onPromotion();
    void onRequestRemoteWebsiteFinished();
    void onClose();
    void onScreenCut();
    void onSystemTrayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void onSettingsLoadFinished();
    void onSearch();
    void onShowFloatingWindow();
    void onSettings();
    void onAbout();
    void onDetectNewVersion();
    void onOfficalWebsite();
    void onCheckNewVersion();
    void onDialogFinished(int result);
    void onShowMainMenu();
    // A global hot key was pressed: toggles the window when it is the stored show/hide key.
    void onHotKey(int id, int virtualKey, int modifiers);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildForm();
    void buildTitleBar();
    void buildPageButtons();
    void buildStack();
    void createActions();
    void connectActions();
    void connectButtons();
    void initTrayIcon();
    void fillEntryMenu(QMenu *menu);
    // Builds the page of a stack index in place of its stand-in, once.
    void ensurePage(int index);
    // The page of a stack index, null until built.
    QWidget *pageAt(int index) const;
    // At the first event-loop turn, after the floating window: the tray icon, the start-up
    // requests and the schedules.
    void finishStartup();
    void createWebsitePage();
    void createProgramPage();
    void requestRemoteWebsites();
    // Page slots: report, keep the current button checked, switch, and show when asked from a menu.
    void switchToPage(QPushButton *button, int index, QAction *menuAction);
    bool isOverProgramPage(const QPoint &pos) const;
    bool programPageAcceptsDrag(QDragMoveEvent *event);
    // The first-run balloon points at the tray icon, so it waits (a few seconds at most) until
    // the tray has placed the icon; shown earlier it would stand in a corner of the screen.
    void showFirstRunBalloon(int attemptsLeft);
    // The 检查更新 entries show that a check the user asked for is running.
    void setVersionCheckRunning(bool running);
    // What the release check found: each shows its message unless the program is quitting.
    void offerRelease(const QUrl &download);
    void showUpToDate();
    void showVersionServerUnreachable();

    QPushButton *currentPageButton = nullptr;

    // Form widgets.
    QWidget *titleWidget_ = nullptr;
    QWidget *widget_ = nullptr;
    QLineEdit *searchLineEdit_ = nullptr;
    QPushButton *searchButton_ = nullptr;
    QToolButton *btnScreenCut_ = nullptr;
    QToolButton *mainMenuEntry_ = nullptr;
    QToolButton *minimize_ = nullptr;
    QToolButton *close_ = nullptr;
    QWidget *funcBtnWidget_ = nullptr;
    QPushButton *btnWebsite = nullptr;
    QPushButton *btnProgram = nullptr;
    QPushButton *btnCalendar = nullptr;
    QPushButton *btnWeather = nullptr;
    QPushButton *btnPromotion = nullptr;
    QStackedWidget *stackedWidget = nullptr;

    QAction *actionQuit_ = nullptr;
    QAction *actionAbout_ = nullptr;
    QAction *actionSetting_ = nullptr;
    QAction *actionOfficalWebsite_ = nullptr;
    QAction *actionShowWebsite_ = nullptr;
    QAction *actionScreenCut_ = nullptr;
    QAction *actionCheckNewVersion_ = nullptr;
    QAction *actionShowProgram_ = nullptr;
    QAction *actionShowCalendar_ = nullptr;
    QAction *actionShowWeather_ = nullptr;
    QAction *actionShowPromotion_ = nullptr;
    QAction *actionShowFloatingWindow = nullptr;

    // The five pages, stack indexes 0 to 4.
    WebsiteWidget *websitePage = nullptr;
    ProgramWidget *programPage = nullptr;
    CalendarWidget *calendarPage = nullptr;
    WeatherWidget *weatherPage = nullptr;
    SoftwareWidget *softwarePage = nullptr;

    // A good websites.xml that came before the website page was built; shown when it is.
    QByteArray m_remoteWebsites;
    bool weatherPagePending = true;
    bool softwarePagePending = true;
    // Set once 退出 is chosen: replies still arriving open no window any more.
    bool m_quitting = false;
    ReleaseCheck *m_releaseCheck = nullptr;
    QPointer<QDialog> m_captureDialog;
    // Where the window was when last hidden; it comes back there for the rest of the run.
    std::optional<QPoint> m_lastPosition;
    SettingsDialog *settingsDialog = nullptr;
    AboutDialog *aboutDialog = nullptr;
    QMenu *m_mainMenu = nullptr;
    QMenu *m_miniMenu = nullptr;
    QSystemTrayIcon m_trayIcon;
    QMenu m_trayMenu;
    MiniMainDialog m_miniDialog;
    // Handed to the calendar page; checks the schedules once a second.
    ScheduleMgr m_scheduleMgr;
};

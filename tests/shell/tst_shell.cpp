// Tests of the main window shell: form, page switching, tray, menus, search, version check, quit path.
#include "FakeNetworkAccessManager.h"
#include "ClassifiedWebsiteWidget.h"
#include "Endpoints.h"
#include "GlobalSettings.h"
#include "MainDialog.h"
#include "ReleaseCheck.h"
#include "MyMessageBox.h"
#include "ScheduleMgr.h"
#include "TestMain.h"
#include "TestTools.h"
#include "UrlRecorder.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString kSite = u"http://www.quorvik.cn/"_s;
const QString kRelease = kSite + u"newrelease.html"_s;
const QString kStat = kSite + u"stat.aspx?action="_s;
const QString kLatest = u"系统消息|您正在使用最新版本"_s;
const QString kOffer = u"系统消息|检测到新版本，是否立即更新？"_s;
const QString kUnreachable = u"系统消息|无法连接到更新服务器，请检查网络后再试"_s;

// Deferred deletes are not run by processEvents(); this lets replies finish and go away.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formTree();
    void pageButtons_data();
    void pageButtons();
    void pageButtonFiveClicks_data();
    void pageButtonFiveClicks();
    void currentPageButtonStaysChecked();
    void menuEntryShowsWindow_data();
    void menuEntryShowsWindow();
    void startupRequests();
    void pagesBuiltOnFirstVisit_data();
    void pagesBuiltOnFirstVisit();
    void remoteWebsitesBeforeFirstShow();
    void schedulesSavedBeforeCalendarPage();
    void trayActivation_data();
    void trayActivation();
    void trayMenuEntries();
    void mainMenuEntries();
    void titleStripDrags_data();
    void titleStripDrags();
    void search_data();
    void search();
    void returnSearchesOnlyInSearchBox_data();
    void returnSearchesOnlyInSearchBox();
    void officialWebsite();
    void isNewerVersion_data();
    void isNewerVersion();
    void versionCheck_data();
    void versionCheck();
    void versionCheckServerDown_data();
    void versionCheckServerDown();
    void versionCheckWithoutSender();
    void downloadAddress_data();
    void downloadAddress();
    void closeHidesWhenAsked();
    void startWithAndWithoutTray_data();
    void startWithAndWithoutTray();
    void presentShowsOnTop_data();
    void presentShowsOnTop();
    void quitPath_data();
    void quitPath();
    void firstRunSavesSettings();
    void floatingWindowActionText();
    void floatingWindowClosedByWindowManager();
    void firstVisitOnly_data();
    void firstVisitOnly();
    void dragRouting_data();
    void dragRouting();
    void screenshots();

private:
    // The main window as the program makes it, with its widgets built (as its first showing would).
    std::unique_ptr<MainDialog> makeDialog(bool built = true);
    template<typename T>
    T *child(const QString &name) const { return QpaTest::child<T>(m_dialog.get(), name); }

    FakeNetworkAccessManager *m_net = nullptr;
    std::unique_ptr<MainDialog> m_dialog;
    UrlRecorder m_urls{"http", "https", "file", "ftp", "javascript", "smb", "mailto"};
};

void TestShell::initTestCase()
{
    MyMessageBox::setAutoAnswer(true, u"暂时不用"_s);
    GlobalSettings::instance()->initKeyNames();
}

void TestShell::init()
{
    GlobalSettings::instance()->resetForTest();
    QFile::remove(GlobalSettings::instance()->settingsFilePath());
    m_net = installFakeNetwork();
    m_net->setReply(kRelease, "2.0.0.2 http://www.quorvik.cn/setup.exe");
    MyMessageBox::setAutoAnswer(true, u"暂时不用"_s);
    MyMessageBox::shownMessages().clear();
    m_urls.opened.clear();
    // Offscreen has no tray; most tests play a desktop with one.
    MainDialog::setTrayProbe([] { return true; });
}

void TestShell::cleanup()
{
    m_dialog.reset();
    settle();
}

std::unique_ptr<MainDialog> TestShell::makeDialog(bool built)
{
    auto dialog = std::make_unique<MainDialog>();
    settle();
    if (built)
        dialog->ensureWindowBuilt();
    return dialog;
}

void TestShell::formTree()
{
    m_dialog = makeDialog();
    QCOMPARE(m_dialog->objectName(), u"MainDialog"_s);
    QCOMPARE(m_dialog->minimumSize(), QSize(900, 600));
    QCOMPARE(m_dialog->maximumSize(), QSize(900, 600));
    QVERIFY(m_dialog->acceptDrops());
    QCOMPARE(m_dialog->windowTitle(), u"Quorvik电脑助手"_s);
    QVERIFY(m_dialog->windowFlags() & Qt::FramelessWindowHint);

    QCOMPARE(child<QWidget>(u"titleWidget_"_s)->maximumHeight(), 80);
    QCOMPARE(child<QWidget>(u"funcBtnWidget_"_s)->maximumHeight(), 50);
    auto *stack = child<QStackedWidget>(u"stackedWidget"_s);
    QCOMPARE(stack->maximumSize(), QSize(900, 470));
    QCOMPARE(stack->count(), 5);
    QCOMPARE(stack->currentIndex(), 0);

    auto *search = child<QLineEdit>(u"searchLineEdit_"_s);
    QCOMPARE(search->placeholderText(), u"输入文字搜索"_s);
    QCOMPARE(search->minimumWidth(), 180);
    auto *searchButton = child<QPushButton>(u"searchButton_"_s);
    QCOMPARE(searchButton->toolTip(), u"百度一下"_s);
    QCOMPARE(searchButton->size(), QSize(18, 27));

    const struct { const char *name; const char *tip; int icon; } titleButtons[] = {
        {"btnScreenCut_", "屏幕截图", 16}, {"mainMenuEntry_", "", 18},
        {"minimize_", "最小化", 16}, {"close_", "关闭", 12}};
    for (const auto &b : titleButtons) {
        auto *button = child<QToolButton>(QString::fromLatin1(b.name));
        QVERIFY(button);
        QCOMPARE(button->size(), QSize(38, 39));
        QCOMPARE(button->toolTip(), QString::fromUtf8(b.tip));
        QCOMPARE(button->iconSize(), QSize(b.icon, b.icon));
        QVERIFY(button->autoRaise());
    }

    const struct { const char *name; const char *text; } pageButtons[] = {
        {"btnWebsite", "  网址导航"}, {"btnProgram", "  常用软件"}, {"btnCalendar", "  日程日历"},
        {"btnWeather", "  天气预报"}, {"btnPromotion", "  好软推荐"}};
    for (const auto &b : pageButtons) {
        auto *button = child<QPushButton>(QString::fromLatin1(b.name));
        QVERIFY(button);
        QCOMPARE(button->text(), QString::fromUtf8(b.text));
        QVERIFY(button->isCheckable());
        QCOMPARE(button->iconSize(), QSize(33, 32));
        QCOMPARE(button->font().family(), u"微软雅黑"_s);
        QCOMPARE(button->font().pointSize(), 14);
    }
    for (const char *label : {"label", "label_2", "label_3", "label_4"})
        QVERIFY(child<QLabel>(QString::fromLatin1(label)));
}

void TestShell::pageButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("index");
    QTest::newRow("website") << u"btnWebsite"_s << 0;
    QTest::newRow("program") << u"btnProgram"_s << 1;
    QTest::newRow("calendar") << u"btnCalendar"_s << 2;
    QTest::newRow("weather") << u"btnWeather"_s << 3;
    QTest::newRow("promotion") << u"btnPromotion"_s << 4;
}

void TestShell::pageButtons()
{
    QFETCH(QString, button);
    QFETCH(int, index);
    m_dialog = makeDialog();
    // Start from another page so every row really switches.
    QTest::mouseClick(child<QPushButton>(index == 2 ? u"btnWeather"_s : u"btnCalendar"_s), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);

    QCOMPARE(child<QStackedWidget>(u"stackedWidget"_s)->currentIndex(), index);
    QCOMPARE(m_dialog->selectedPageButton(), child<QPushButton>(button));
    const QList<QPushButton *> all = m_dialog->findChild<QWidget *>(u"funcBtnWidget_"_s)->findChildren<QPushButton *>();
    QCOMPARE(all.size(), 5);
    for (QPushButton *b : all)
        QCOMPARE(b->isChecked(), b->objectName() == button);
}

void TestShell::pageButtonFiveClicks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("action");
    QTest::newRow("website") << u"btnWebsite"_s << u"wb"_s;
    QTest::newRow("program") << u"btnProgram"_s << u"program"_s;
    QTest::newRow("calendar") << u"btnCalendar"_s << u"calendar"_s;
    QTest::newRow("weather") << u"btnWeather"_s << u"weather"_s;
    QTest::newRow("promotion") << u"btnPromotion"_s << u"promotion"_s;
}

void TestShell::pageButtonFiveClicks()
{
    QFETCH(QString, button);
    QFETCH(QString, action);
    m_dialog = makeDialog();
    m_net->clearRequests();
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    // Reports leave two at a time.
    QTRY_COMPARE(m_net->requestCount(kStat), 5);
    const QString exact = kStat + action;
    int n = 0;
    for (const QUrl &url : m_net->requests())
        n += url.toString() == exact;
    QCOMPARE(n, 5);
    QCOMPARE(m_net->requestCount(kStat), 5);
}

void TestShell::currentPageButtonStaysChecked()
{
    m_dialog = makeDialog();
    auto *website = child<QPushButton>(u"btnWebsite"_s);
    QVERIFY(website->isChecked());
    // A click on a checked checkable button would uncheck it; the page slot checks it again.
    QTest::mouseClick(website, Qt::LeftButton);
    QVERIFY(website->isChecked());
    QCOMPARE(child<QStackedWidget>(u"stackedWidget"_s)->currentIndex(), 0);
    QVERIFY(!m_dialog->isVisible());
}

void TestShell::menuEntryShowsWindow_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("index");
    QTest::newRow("website") << u"actionShowWebsite_"_s << 0;
    QTest::newRow("program") << u"actionShowProgram_"_s << 1;
    QTest::newRow("calendar") << u"actionShowCalendar_"_s << 2;
    QTest::newRow("weather") << u"actionShowWeather_"_s << 3;
    QTest::newRow("promotion") << u"actionShowPromotion_"_s << 4;
}

void TestShell::menuEntryShowsWindow()
{
    QFETCH(QString, action);
    QFETCH(int, index);
    m_dialog = makeDialog();
    QVERIFY(!m_dialog->isVisible());
    child<QAction>(action)->trigger();
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(child<QStackedWidget>(u"stackedWidget"_s)->currentIndex(), index);

    // The page buttons themselves never show a hidden window.
    m_dialog->hide();
    QTest::mouseClick(child<QPushButton>(u"btnCalendar"_s), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
}

void TestShell::startupRequests()
{
    m_net->clearRequests();
    m_dialog = makeDialog(false);
    QList<QString> asked;
    for (const QUrl &url : m_net->requests())
        asked << url.toString();
    QCOMPARE(asked, (QList<QString>{kRelease, kSite + u"websites.xml"_s, kSite + u"cn_holidays.tsv"_s,
                                    kStat + u"login"_s}));
    // Only the shell is made at start: the tray and its menu, no widget of the window.
    QVERIFY(m_dialog->findChild<QSystemTrayIcon *>(u"trayIcon"_s)->isVisible());
    QCOMPARE(m_dialog->findChild<QMenu *>(u"trayMenu"_s)->actions().size(), 13);
    QVERIFY(!m_dialog->findChild<QStackedWidget *>());
    QVERIFY(!m_dialog->findChild<QPushButton *>());
}

void TestShell::pagesBuiltOnFirstVisit_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("page");
    QTest::newRow("website") << u"actionShowWebsite_"_s << 0 << u"WebsiteWidget"_s;
    QTest::newRow("program") << u"actionShowProgram_"_s << 1 << u"ProgramWidget"_s;
    QTest::newRow("calendar") << u"actionShowCalendar_"_s << 2 << u"CalendarWidget"_s;
    QTest::newRow("weather") << u"actionShowWeather_"_s << 3 << u"WeatherWidget"_s;
    QTest::newRow("promotion") << u"actionShowPromotion_"_s << 4 << u"SoftwareWidget"_s;
}

void TestShell::pagesBuiltOnFirstVisit()
{
    QFETCH(QString, action);
    QFETCH(int, index);
    QFETCH(QString, page);
    const QStringList pages{u"WebsiteWidget"_s, u"ProgramWidget"_s, u"CalendarWidget"_s, u"WeatherWidget"_s,
                            u"SoftwareWidget"_s};
    const auto className = [](const QObject *object) { return QString::fromLatin1(object->metaObject()->className()); };
    const auto built = [&] {
        QStringList names;
        for (const QString &name : pages) {
            const QList<QWidget *> all = m_dialog->findChildren<QWidget *>();
            if (std::any_of(all.cbegin(), all.cend(), [&](QWidget *w) { return className(w) == name; }))
                names << name;
        }
        return names;
    };
    m_dialog = makeDialog(false);
    child<QAction>(action)->trigger();
    QVERIFY(m_dialog->isVisible());
    auto *stack = child<QStackedWidget>(u"stackedWidget"_s);
    QCOMPARE(stack->count(), 5);
    QCOMPARE(stack->currentIndex(), index);
    QCOMPARE(className(stack->currentWidget()), page);
    // The first page shown is the only one built; the others come in place, at their own index.
    QCOMPARE(built(), QStringList{page});
    for (int i = 0; i < pages.size(); ++i) {
        QTest::mouseClick(child<QPushButton>(QStringList{u"btnWebsite"_s, u"btnProgram"_s, u"btnCalendar"_s,
                                                         u"btnWeather"_s, u"btnPromotion"_s}.at(i)),
                          Qt::LeftButton);
        QCOMPARE(stack->currentIndex(), i);
        QCOMPARE(className(stack->currentWidget()), pages.at(i));
        QVERIFY(stack->currentWidget()->isVisible());
    }
    QCOMPARE(built(), pages);
    QCOMPARE(stack->count(), 5);
}

void TestShell::remoteWebsitesBeforeFirstShow()
{
    const QString saved = GlobalSettings::instance()->dataFilePath(u"websites.xml"_s);
    QFile::remove(saved);
    const QByteArray list = "<sites><website><category text=\"远程分类\" color=\"c00000\">"
                            "<site text=\"新华网\" url=\"http://www.news.example.cn/\" color=\"0\"/>"
                            "</category></website></sites>";
    m_net->setReply(kSite + u"websites.xml"_s, list);
    m_dialog = makeDialog(false);
    // Kept for the next start at once, even if the window is never shown in this run.
    QTRY_VERIFY(QFile::exists(saved));
    QVERIFY(!m_dialog->findChild<ClassifiedWebsiteWidget *>());
    m_dialog->show();
    // Built on the first showing with the list that came, not the built-in one.
    QStringList titles;
    for (auto *block : m_dialog->findChildren<ClassifiedWebsiteWidget *>(u"remoteBlock"_s))
        titles << block->category().text;
    QCOMPARE(titles, QStringList{u"远程分类"_s});
    QFile::remove(saved);
}

void TestShell::schedulesSavedBeforeCalendarPage()
{
    const QString path = GlobalSettings::instance()->dataFilePath(u"schedules.dat"_s);
    QFile::remove(path);
    const auto saved = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    m_dialog = makeDialog(false);
    auto *mgr = m_dialog->findChild<ScheduleMgr *>();
    QVERIFY(mgr);
    Schedule schedule;
    schedule.type = OnlyToday;
    schedule.setDateTime(QDate::currentDate().addDays(1), QTime(9, 0));
    schedule.description = u"早会"_s;
    // A reminder that fires (or any change) before the calendar page is built is kept all the same.
    mgr->addSchedule(schedule);
    QVERIFY(saved().contains("早会"));
    mgr->removeSchedule(mgr->schedules().constFirst().id);
    QVERIFY(!saved().contains("早会"));
    // Once the page is built it saves, as before.
    m_dialog->findChild<QAction *>(u"actionShowCalendar_"_s)->trigger();
    mgr->addSchedule(schedule);
    QVERIFY(saved().contains("早会"));
    QFile::remove(path);
}

void TestShell::trayActivation_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    const int trigger = QSystemTrayIcon::Trigger;
    QTest::newRow("click hides visible") << trigger << u"visible"_s << u"hidden"_s;
    QTest::newRow("click shows hidden") << trigger << u"hidden"_s << u"visible"_s;
    QTest::newRow("click restores minimised") << trigger << u"minimised"_s << u"visible"_s;
    for (auto [name, reason] : {std::pair{"double click", QSystemTrayIcon::DoubleClick},
                                {"context", QSystemTrayIcon::Context},
                                {"middle click", QSystemTrayIcon::MiddleClick},
                                {"unknown", QSystemTrayIcon::Unknown}}) {
        QTest::addRow("%s ignored on hidden", name) << int(reason) << u"hidden"_s << u"hidden"_s;
        QTest::addRow("%s ignored on visible", name) << int(reason) << u"visible"_s << u"visible"_s;
    }
}

void TestShell::trayActivation()
{
    QFETCH(int, reason);
    QFETCH(QString, before);
    QFETCH(QString, after);
    m_dialog = makeDialog();
    if (before == u"visible")
        m_dialog->show();
    else if (before == u"minimised")
        m_dialog->showMinimized();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()) || before != u"visible");

    auto *tray = m_dialog->findChild<QSystemTrayIcon *>(u"trayIcon"_s);
    QVERIFY(tray);
    emit tray->activated(QSystemTrayIcon::ActivationReason(reason));
    settle();

    const QString state = !m_dialog->isVisible() ? u"hidden"_s
                          : m_dialog->isMinimized() ? u"minimised"_s
                                                    : u"visible"_s;
    QCOMPARE(state, after);
}

void TestShell::trayMenuEntries()
{
    m_dialog = makeDialog();
    auto *tray = m_dialog->findChild<QSystemTrayIcon *>(u"trayIcon"_s);
    QVERIFY(tray->isVisible());
    QCOMPARE(tray->toolTip(), u"Quorvik桌面助手"_s);
    QVERIFY(!tray->icon().isNull());
    QMenu *menu = tray->contextMenu();
    QCOMPARE(menu, m_dialog->findChild<QMenu *>(u"trayMenu"_s));
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? u"-"_s : a->text());
    QCOMPARE(texts, (QStringList{u"打开网址导航"_s, u"打开常用软件"_s, u"打开日程日历"_s, u"打开天气预报"_s,
                                 u"打开好软推荐"_s, u"-"_s, u"显示浮窗"_s, u"屏幕截图"_s, u"设置"_s, u"关于"_s,
                                 u"-"_s, u"检查更新"_s, u"退出"_s}));
}

void TestShell::mainMenuEntries()
{
    m_dialog = makeDialog();
    QVERIFY(!m_dialog->findChild<QMenu *>(u"mainMenu"_s));
    m_dialog->onShowMainMenu();
    auto *menu = m_dialog->findChild<QMenu *>(u"mainMenu"_s);
    QVERIFY(menu);
    QVERIFY(menu->isVisible());
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << a->text();
    QCOMPARE(texts, (QStringList{u"设置"_s, u"关于"_s, u"检查更新"_s, u"官方网站"_s}));
    menu->hide();
    // Reused, not rebuilt.
    m_dialog->onShowMainMenu();
    QCOMPARE(m_dialog->findChildren<QMenu *>(u"mainMenu"_s).size(), 1);
    menu->hide();
}

void TestShell::titleStripDrags_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("expected");
    QTest::newRow("bare title strip") << u"titleWidget_"_s << QPoint(20, 40) << int(FramelessDialog::HitCaption);
    QTest::newRow("close button") << u"close_"_s << QPoint(5, 5) << int(FramelessDialog::HitNowhere);
    QTest::newRow("search box") << u"searchLineEdit_"_s << QPoint(5, 5) << int(FramelessDialog::HitNowhere);
    QTest::newRow("page button row") << u"funcBtnWidget_"_s << QPoint(2, 2) << int(FramelessDialog::HitNowhere);
    QTest::newRow("page area") << u"stackedWidget"_s << QPoint(100, 100) << int(FramelessDialog::HitNowhere);
}

void TestShell::titleStripDrags()
{
    QFETCH(QString, widget);
    QFETCH(QPoint, offset);
    QFETCH(int, expected);
    m_dialog = makeDialog();
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    QWidget *w = widget == u"MainDialog" ? m_dialog.get() : child<QWidget>(widget);
    QCOMPARE(m_dialog->hitTest(w->mapToGlobal(offset)), expected);
    QCOMPARE(m_dialog->hitTest(m_dialog->geometry().bottomRight() + QPoint(5, 5)), int(FramelessDialog::HitNowhere));
}

void TestShell::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url");
    QTest::newRow("empty box") << QString() << u"https://www.baidu.com/"_s;
    QTest::newRow("chinese word and space") << u"天气 预报"_s
                                           << u"https://www.baidu.com/s?wd=%E5%A4%A9%E6%B0%94%20%E9%A2%84%E6%8A%A5"_s;
    QTest::newRow("query characters") << u"a&b=c#d+e"_s << u"https://www.baidu.com/s?wd=a%26b%3Dc%23d%2Be"_s;
    QTest::newRow("percent sign") << u"100%"_s << u"https://www.baidu.com/s?wd=100%25"_s;
}

void TestShell::search()
{
    QFETCH(QString, text);
    QFETCH(QString, url);
    m_dialog = makeDialog();
    m_net->clearRequests();
    child<QLineEdit>(u"searchLineEdit_"_s)->setText(text);
    QTest::mouseClick(child<QPushButton>(u"searchButton_"_s), Qt::LeftButton);
    QCOMPARE(m_urls.opened.size(), 1);
    QCOMPARE(m_urls.opened.first().toString(QUrl::FullyEncoded), url);
    QCOMPARE(m_net->requestCount(kStat + u"search"_s), 1);
    QCOMPARE(child<QLineEdit>(u"searchLineEdit_"_s)->text(), text);
}

void TestShell::returnSearchesOnlyInSearchBox_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("searches");
    QTest::newRow("search box, Return") << u"searchLineEdit_"_s << int(Qt::Key_Return) << 1;
    QTest::newRow("search box, keypad Enter") << u"searchLineEdit_"_s << int(Qt::Key_Enter) << 1;
    QTest::newRow("calendar year box, Return") << u"editYear"_s << int(Qt::Key_Return) << 0;
    QTest::newRow("calendar year box, keypad Enter") << u"editYear"_s << int(Qt::Key_Enter) << 0;
}

void TestShell::returnSearchesOnlyInSearchBox()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    QFETCH(int, searches);
    m_dialog = makeDialog();
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    QTest::mouseClick(child<QPushButton>(u"btnCalendar"_s), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>(u"btnYear"_s), Qt::LeftButton);
    QWidget *edit = child<QWidget>(field);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key(key));
    QCOMPARE(m_urls.opened.size(), searches);
    QCOMPARE(m_net->requestCount(kStat + u"search"_s), searches);
    QVERIFY(m_dialog->isVisible());
}

void TestShell::officialWebsite()
{
    m_dialog = makeDialog();
    child<QAction>(u"actionOfficalWebsite_"_s)->trigger();
    QCOMPARE(m_urls.opened, QList<QUrl>{QUrl(kSite)});
}

void TestShell::isNewerVersion_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<bool>("newer");
    QTest::newRow("same") << u"2.0.0.2"_s << u"2.0.0.2"_s << false;
    QTest::newRow("last part numeric, not text") << u"2.0.0.2"_s << u"2.0.0.10"_s << true;
    QTest::newRow("shorter is older") << u"2.0.0.2"_s << u"2.0"_s << false;
    QTest::newRow("longer is newer") << u"2.0.0.2"_s << u"2.0.0.2.0"_s << true;
    QTest::newRow("older minor") << u"2.0.0.2"_s << u"1.9.9.9"_s << false;
    QTest::newRow("newer major beats smaller rest") << u"2.0.0.2"_s << u"3.0.0.0"_s << true;
    QTest::newRow("text reads as zero") << u"2.0.0.2"_s << u"x.y"_s << false;
    QTest::newRow("empty offer") << u"2.0.0.2"_s << QString() << false;
    QTest::newRow("empty parts kept") << u"2.0.0.2"_s << u"2.0.0.2."_s << true;
    QTest::newRow("overflowing part reads as zero") << u"2.0.0.2"_s << u"99999999999"_s << false;
}

void TestShell::isNewerVersion()
{
    QFETCH(QString, current);
    QFETCH(QString, offered);
    QFETCH(bool, newer);
    QCOMPARE(MainDialog::isNewerVersion(current, offered), newer);
}

void TestShell::versionCheck_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("atStart");
    QTest::addColumn<QString>("whenAsked");

    const QByteArray url = " http://www.quorvik.cn/setup.exe";
    QTest::newRow("same version") << "2.0.0.2" + url << QString() << kLatest;
    QTest::newRow("2.0.0.10 is newer") << "2.0.0.10" + url << kOffer << kOffer;
    QTest::newRow("2.0 is older") << "2.0" + url << QString() << kLatest;
    QTest::newRow("2.0.0.2.0 is newer") << "2.0.0.2.0" + url << kOffer << kOffer;
    // Without a usable answer the start-up check stays silent; the asked one says so.
    QTest::newRow("no space") << QByteArray("2.0.0.3") << QString() << kUnreachable;
    QTest::newRow("empty body") << QByteArray() << QString() << kUnreachable;
    QTest::newRow("garbage") << QByteArray("\x01\xff\xfe<html>oops</html>") << QString() << kUnreachable;
    QTest::newRow("garbage with a space") << QByteArray("<html> oops") << QString() << kLatest;
    QTest::newRow("huge reply") << QByteArray(1 << 20, 'x') << QString() << kUnreachable;
    QTest::newRow("huge reply with spaces") << QByteArray("9.9 ") + QByteArray(1 << 20, ' ') << QString()
                                            << kUnreachable;
}

void TestShell::versionCheck()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, atStart);
    QFETCH(QString, whenAsked);
    m_net->setReply(kRelease, reply);

    m_dialog = makeDialog();
    QCOMPARE(MyMessageBox::shownMessages(), atStart.isEmpty() ? QStringList() : QStringList{atStart});

    MyMessageBox::shownMessages().clear();
    child<QAction>(u"actionCheckNewVersion_"_s)->trigger();
    settle();
    QCOMPARE(MyMessageBox::shownMessages(), whenAsked.isEmpty() ? QStringList() : QStringList{whenAsked});
    // Declined offers open nothing.
    QVERIFY(m_urls.opened.isEmpty());
}

void TestShell::versionCheckServerDown_data()
{
    QTest::addColumn<bool>("hold");
    QTest::newRow("refused") << false;
    QTest::newRow("no answer") << true;
}

// An asked check always ends with a message, and its menu entry shows it running meanwhile.
void TestShell::versionCheckServerDown()
{
    QFETCH(bool, hold);
    m_net->setError(kRelease, QNetworkReply::ConnectionRefusedError);
    m_dialog = makeDialog();
    QVERIFY(MyMessageBox::shownMessages().isEmpty());

    ReleaseCheck::setAskedTimeout(50);
    m_net->setHold(hold);
    auto *action = child<QAction>(u"actionCheckNewVersion_"_s);
    action->trigger();
    QVERIFY(!action->isEnabled());
    QCOMPARE(action->text(), u"正在检查更新…"_s);
    action->trigger(); // ignored while running
    QCOMPARE(m_net->requestCount(kRelease), 2);
    QTRY_COMPARE(MyMessageBox::shownMessages(), QStringList{kUnreachable});
    QVERIFY(action->isEnabled());
    QCOMPARE(action->text(), u"检查更新"_s);
    m_net->setHold(false);
    ReleaseCheck::setAskedTimeout(8000);
}

void TestShell::versionCheckWithoutSender()
{
    m_dialog = makeDialog();
    MyMessageBox::shownMessages().clear();
    m_dialog->onDetectNewVersion();
    QVERIFY(MyMessageBox::shownMessages().isEmpty());
}

void TestShell::downloadAddress_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http") << QByteArray("http://www.quorvik.cn/setup.exe") << true;
    QTest::newRow("https") << QByteArray("https://www.quorvik.cn/setup.exe") << true;
    QTest::newRow("upper-case scheme") << QByteArray("HTTPS://www.quorvik.cn/a") << true;
    QTest::newRow("trailing line break") << QByteArray("http://www.quorvik.cn/setup.exe\r\n") << true;
    QTest::newRow("file") << QByteArray("file:///usr/bin/xterm") << false;
    QTest::newRow("local path") << QByteArray("/usr/bin/xterm") << false;
    QTest::newRow("windows path") << QByteArray("C:\\Windows\\system32\\cmd.exe") << false;
    QTest::newRow("ftp") << QByteArray("ftp://www.quorvik.cn/setup.exe") << false;
    QTest::newRow("javascript") << QByteArray("javascript:alert(1)") << false;
    QTest::newRow("smb share") << QByteArray("smb://host/share/setup.exe") << false;
    QTest::newRow("http without host") << QByteArray("http:/setup.exe") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestShell::downloadAddress()
{
    QFETCH(QByteArray, address);
    QFETCH(bool, opened);
    MyMessageBox::setAutoAnswer(true, u"立即下载"_s);
    m_net->setReply(kRelease, "2.0.0.3 " + address);
    m_dialog = makeDialog();
    QCOMPARE(MyMessageBox::shownMessages(), QStringList{kOffer});
    QCOMPARE(m_urls.opened.size(), opened ? 1 : 0);
    if (opened)
        QCOMPARE(m_urls.opened.first().host(), u"www.quorvik.cn"_s);
}

void TestShell::closeHidesWhenAsked()
{
    GlobalSettings::instance()->setOnlyHideWhenClose(true);
    m_dialog = makeDialog();
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    m_net->clearRequests();
    QTest::mouseClick(child<QToolButton>(u"close_"_s), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(m_dialog->findChild<QSystemTrayIcon *>(u"trayIcon"_s)->isVisible());
    QCOMPARE(m_net->requestCount(kStat + u"logout"_s), 0);
}

void TestShell::startWithAndWithoutTray_data()
{
    QTest::addColumn<bool>("tray");
    QTest::newRow("tray") << true;
    QTest::newRow("no tray (offscreen)") << false;
}

void TestShell::startWithAndWithoutTray()
{
    QFETCH(bool, tray);
    if (!tray) {
        MainDialog::setTrayProbe(nullptr);
        QVERIFY(!MainDialog::trayAvailable());
    }
    GlobalSettings::instance()->setOnlyHideWhenClose(true);
    m_dialog = makeDialog();
    m_dialog->onSettingsLoadFinished();
    m_dialog->showInitialWindow();
    // Without a tray the window is the way in; the floating window and the icon stay available.
    QCOMPARE(m_dialog->isVisible(), !tray);
    QVERIFY(m_dialog->findChild<QSystemTrayIcon *>(u"trayIcon"_s)->isVisible());
    const auto floating = QApplication::topLevelWidgets();
    QVERIFY(std::any_of(floating.cbegin(), floating.cend(), [](QWidget *w) {
        return w->objectName() == u"MiniMainDialog" && w->isVisible();
    }));
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    m_net->clearRequests();

    // The close button hides to the tray, or quits where there is none.
    if (tray) {
        QTest::mouseClick(child<QToolButton>(u"close_"_s), Qt::LeftButton);
    } else {
        QTimer::singleShot(0, this, [&] { QTest::mouseClick(child<QToolButton>(u"close_"_s), Qt::LeftButton); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(42); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_net->requestCount(kStat + u"logout"_s), tray ? 0 : 1);
}

void TestShell::presentShowsOnTop_data()
{
    QTest::addColumn<QString>("before");
    QTest::newRow("hidden") << u"hidden"_s;
    QTest::newRow("minimised") << u"minimised"_s;
    QTest::newRow("visible") << u"visible"_s;
}

void TestShell::presentShowsOnTop()
{
    QFETCH(QString, before);
    m_dialog = makeDialog();
    if (before == u"visible")
        m_dialog->show();
    else if (before == u"minimised")
        m_dialog->showMinimized();
    // Unlike the hot key, a request from a later start never hides the window.
    for (int i = 0; i < 2; ++i) {
        m_dialog->present();
        settle();
        QVERIFY(m_dialog->isVisible());
        QVERIFY(!m_dialog->isMinimized());
    }
}

void TestShell::quitPath_data()
{
    QTest::addColumn<bool>("onlyHide");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("close button, setting off") << false << u"close_"_s;
    QTest::newRow("quit entry, setting on") << true << u"actionQuit_"_s;
    QTest::newRow("quit entry, setting off") << false << u"actionQuit_"_s;
}

void TestShell::quitPath()
{
    QFETCH(bool, onlyHide);
    QFETCH(QString, trigger);
    GlobalSettings::instance()->setOnlyHideWhenClose(onlyHide);
    m_dialog = makeDialog();
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    m_net->clearRequests();

    QTimer::singleShot(0, this, [&] {
        if (trigger == u"close_")
            QTest::mouseClick(child<QToolButton>(trigger), Qt::LeftButton);
        else
            child<QAction>(trigger)->trigger();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(42); });
    watchdog.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);

    QCOMPARE(m_net->requestCount(kStat + u"logout"_s), 1);
    QVERIFY(!m_dialog->findChild<QSystemTrayIcon *>(u"trayIcon"_s)->isVisible());
    QVERIFY(!m_dialog->isVisible());
}

void TestShell::firstRunSavesSettings()
{
    GlobalSettings *settings = GlobalSettings::instance();
    m_dialog = makeDialog();
    connect(settings, &GlobalSettings::loadFinished, m_dialog.get(), &MainDialog::onSettingsLoadFinished);
    settings->load(settings->settingsFilePath());
    QFile file(settings->settingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("<first_run>0</first_run>"));
    file.close();
    disconnect(settings, nullptr, m_dialog.get(), nullptr);
    // The balloon may still wait for the tray to place its icon; the window going away
    // meanwhile must not leave that wait pointing at nothing.
    m_dialog.reset();

    // The next start is no first run: it writes nothing. Its wait also lets a balloon retry that
    // outlived its window fire (and crash).
    QVERIFY(file.open(QIODevice::Append));
    file.write("<!-- left alone -->\n");
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray marked = file.readAll();
    file.close();
    settings->resetForTest();
    m_dialog = makeDialog();
    connect(settings, &GlobalSettings::loadFinished, m_dialog.get(), &MainDialog::onSettingsLoadFinished);
    settings->load(settings->settingsFilePath());
    QVERIFY(!settings->firstRun());
    QTest::qWait(400);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), marked);
    disconnect(settings, nullptr, m_dialog.get(), nullptr);
}

void TestShell::floatingWindowActionText()
{
    GlobalSettings *settings = GlobalSettings::instance();
    m_dialog = makeDialog();
    auto *action = child<QAction>(u"actionShowFloatingWindow"_s);
    QCOMPARE(action->text(), u"显示浮窗"_s);
    m_dialog->onSettingsLoadFinished();
    QCOMPARE(action->text(), settings->showFloatingWindow() ? u"隐藏浮窗"_s : u"显示浮窗"_s);
    action->trigger();
    QVERIFY(!settings->showFloatingWindow());
    QCOMPARE(action->text(), u"显示浮窗"_s);
    QFile file(settings->settingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("<showFloatingWindow>0</showFloatingWindow>"));
}

void TestShell::floatingWindowClosedByWindowManager()
{
    GlobalSettings *settings = GlobalSettings::instance();
    settings->setShowFloatingWindow(true);
    m_dialog = makeDialog();
    m_dialog->onSettingsLoadFinished();
    QWidget *mini = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"MiniMainDialog")
            mini = w;
    }
    QVERIFY(mini);
    QVERIFY(QTest::qWaitForWindowExposed(mini));
    auto *action = child<QAction>(u"actionShowFloatingWindow"_s);
    QCOMPARE(action->text(), u"隐藏浮窗"_s);

    // What Alt+F4 does: the window system asks the window to close.
    mini->windowHandle()->close();
    settle();
    QVERIFY(!mini->isVisible());
    QVERIFY(!settings->showFloatingWindow());
    QCOMPARE(action->text(), u"显示浮窗"_s);
    {
        // Closed before the next save: Windows cannot replace a file that is open.
        QFile file(settings->settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<showFloatingWindow>0</showFloatingWindow>"));
    }

    // The menu entry brings it back.
    action->trigger();
    QVERIFY(mini->isVisible());
    QVERIFY(settings->showFloatingWindow());
    QCOMPARE(action->text(), u"隐藏浮窗"_s);

    // Quitting closes every window: the floating window lets it happen and keeps its setting.
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    QVERIFY(quit.isAccepted());
    QVERIFY(!mini->isVisible());
    QVERIFY(settings->showFloatingWindow());
    QFile after(settings->settingsFilePath());
    QVERIFY(after.open(QIODevice::ReadOnly));
    QVERIFY(after.readAll().contains("<showFloatingWindow>1</showFloatingWindow>"));
}

void TestShell::firstVisitOnly_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("request");
    // The default build has no weather keys: the keyless lookup starts a refresh.
    QTest::newRow("weather page") << u"btnWeather"_s << Endpoints::ipApiLocation();
    QTest::newRow("recommendation page") << u"btnPromotion"_s << kSite + u"promotions.xml"_s;
}

void TestShell::firstVisitOnly()
{
    QFETCH(QString, button);
    QFETCH(QString, request);
    // A recommendation list that arrived is not asked for again (one that failed would be).
    m_net->setReply(kSite + u"promotions.xml"_s, "<promotions><item name=\"a\"/></promotions>");
    m_dialog = makeDialog();
    QCOMPARE(m_net->requestCount(request), 0);
    for (int visit = 0; visit < 3; ++visit) {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(u"btnProgram"_s), Qt::LeftButton);
        settle();
    }
    QCOMPARE(m_net->requestCount(request), 1);
}

void TestShell::dragRouting_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("website page") << u"btnWebsite"_s << QPoint(450, 400) << false;
    QTest::newRow("program page") << u"btnProgram"_s << QPoint(450, 400) << true;
    QTest::newRow("program page, over the title strip") << u"btnProgram"_s << QPoint(450, 20) << false;
    QTest::newRow("calendar page") << u"btnCalendar"_s << QPoint(450, 400) << false;
}

void TestShell::dragRouting()
{
    QFETCH(QString, page);
    QFETCH(QPoint, pos);
    QFETCH(bool, accepted);
    m_dialog = makeDialog();
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    QTest::mouseClick(child<QPushButton>(page), Qt::LeftButton);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QCoreApplication::applicationFilePath())});
    QDragEnterEvent enter(pos, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    // Straight to the window's handler: QApplication would track a drag that is not really running.
    QObject *window = m_dialog.get();
    window->event(&enter);
    QCOMPARE(enter.isAccepted(), accepted);
    QDragMoveEvent move(pos, Qt::CopyAction | Qt::LinkAction, &mime, Qt::LeftButton, Qt::NoModifier);
    window->event(&move);
    QCOMPARE(move.isAccepted(), accepted);
}

// Pictures for a person to look at: set QPA_SCREENSHOT_DIR and run under a real X server.
void TestShell::screenshots()
{
    const QString dir = qEnvironmentVariable("QPA_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("QPA_SCREENSHOT_DIR not set");
    m_dialog = makeDialog();
    m_dialog->move(40, 40);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    const QStringList buttons{u"btnWebsite"_s, u"btnProgram"_s, u"btnCalendar"_s, u"btnWeather"_s, u"btnPromotion"_s};
    for (const QString &name : buttons) {
        QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton);
        QTest::qWait(300);
        const QPixmap shot = m_dialog->screen()->grabWindow(0);
        QVERIFY(shot.save(dir + u"/main_"_s + name + u".png"_s));
    }
}

QPA_TEST_MAIN(TestShell)
#include "tst_shell.moc"

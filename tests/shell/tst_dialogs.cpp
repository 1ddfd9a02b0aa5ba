// Tests of the settings and about dialogs and the floating window.
#include "AboutDialog.h"
#include "FakeNetworkAccessManager.h"
#include "GlobalHotKey.h"
#include "GlobalSettings.h"
#include "HotKeySettingEdit.h"
#include "MainDialog.h"
#include "MiniMainDialog.h"
#include "SettingsDialog.h"
#include "ShowHideHotKey.h"
#include "TestMain.h"
#include "TestTools.h"
#include "UrlRecorder.h"
#include "TrayBalloon.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class AcceptingBackend : public HotKeyBackend
{
public:
    explicit AcceptingBackend(QList<WId> *windows = nullptr) : m_windows(windows) {}
    bool registerKey(WId window, int, int, int) override
    {
        if (m_windows)
            m_windows->append(window);
        return true;
    }
    void unregisterKey(WId, int) override {}

private:
    QList<WId> *m_windows;
};

// Refuses the virtual keys it is given, as when another program holds them.
class RefusingBackend : public HotKeyBackend
{
public:
    explicit RefusingBackend(QSet<int> refused) : m_refused(std::move(refused)) {}
    bool registerKey(WId, int, int, int virtualKey) override { return !m_refused.contains(virtualKey); }
    void unregisterKey(WId, int) override {}

private:
    QSet<int> m_refused;
};

QByteArray settingsFile()
{
    QFile file(GlobalSettings::instance()->settingsFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

namespace {
// The floating window of the one main window alive (a member without a Qt parent).
MiniMainDialog *floatingWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *mini = qobject_cast<MiniMainDialog *>(w))
            return mini;
    }
    qFatal("no floating window");
    return nullptr;
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void settingsForm();
    void settingsShowsStoredChoices_data();
    void settingsShowsStoredChoices();
    void settingsCloseSaves_data();
    void settingsCloseSaves();
    void settingsRejectStoresNothing();
    void settingsReopenShowsCurrent();
    void settingsReusedFromMainWindow();
    void settingsHotKeyBelongsToMainWindow();
    void settingsHotKeyConflict();
    void settingsAutoStart_data();
    void settingsAutoStart();

    void aboutForm();
    void aboutQtLink();
    void aboutLogoFromAnyWorkingDirectory();
    void aboutCloseKeepsProgram();

    void miniForm();
    void miniDragWithLeftOnly_data();
    void miniDragWithLeftOnly();
    void miniDoubleClickToggles();
    void miniRightClickMenu();
    void miniIgnoresEscape();
    void floatingWindowShownBySetting_data();
    void floatingWindowShownBySetting();
    void hideFloatingWindowWritesAtOnce();
    void miniToolTipNamesHotKey();

    void balloonKeepsOffScreenEdges_data();
    void balloonKeepsOffScreenEdges();

private:
    UrlRecorder m_urls{"https", "http"};
};

void TestDialogs::initTestCase()
{
    GlobalSettings::instance()->initKeyNames();
}

void TestDialogs::init()
{
    GlobalSettings::instance()->resetForTest();
    QFile::remove(GlobalSettings::instance()->settingsFilePath());
    GlobalHotKey::instance()->setBackend(std::make_unique<AcceptingBackend>());
    installFakeNetwork();
    m_urls.opened.clear();
}

void TestDialogs::settingsForm()
{
    SettingsDialog dialog(nullptr);
    QCOMPARE(dialog.objectName(), u"SettingsDialog"_s);
    QCOMPARE(dialog.minimumSize(), QSize(640, 480));
    QCOMPARE(dialog.size(), QSize(640, 480));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!dialog.testAttribute(Qt::WA_QuitOnClose));
    auto *close = dialog.findChild<QToolButton *>(u"close_"_s);
    QCOMPARE(close->toolTip(), u"关闭"_s);
    QCOMPARE(close->iconSize(), QSize(12, 12));
    QCOMPARE(dialog.findChild<QLabel *>(u"label"_s)->text(), u"关闭主窗口时："_s);
    QCOMPARE(dialog.findChild<QRadioButton *>(u"quitWhenClose_"_s)->text(), u"退出程序"_s);
    QCOMPARE(dialog.findChild<QRadioButton *>(u"hideWhenClose_"_s)->text(), u"隐藏到任务栏"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"label_3"_s)->text(), u"显示/隐藏主窗口的热键:"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"label_4"_s)->text(), u"(直接按键盘进行设置)"_s);
    auto *edit = dialog.findChild<HotKeySettingEdit *>(u"hotKeyEdit_"_s);
    QVERIFY(edit);
    QCOMPARE(edit->maxLength(), 100);
    QCOMPARE(edit->font().pointSize(), 12);
    // The background picture of the Resources folder is the window brush, decoded when first shown.
    QVERIFY(dialog.palette().brush(QPalette::Window).texture().isNull());
    dialog.show();
    QVERIFY(!dialog.palette().brush(QPalette::Window).texture().isNull());
}

void TestDialogs::settingsShowsStoredChoices_data()
{
    QTest::addColumn<bool>("onlyHide");
    QTest::addColumn<int>("hotKey");
    QTest::addColumn<QString>("text");
    QTest::newRow("hide, F4") << true << int(Qt::Key_F4) << u"F4"_s;
    QTest::newRow("quit, Q") << false << int(Qt::Key_Q) << u"Shift + Ctrl + Q"_s;
    QTest::newRow("key not in table") << true << int(Qt::Key_F13) << QString();
    QTest::newRow("garbage key code") << false << -5 << QString();
}

void TestDialogs::settingsShowsStoredChoices()
{
    QFETCH(bool, onlyHide);
    QFETCH(int, hotKey);
    QFETCH(QString, text);
    GlobalSettings::instance()->setOnlyHideWhenClose(onlyHide);
    GlobalSettings::instance()->setHotKey(hotKey);
    SettingsDialog dialog(nullptr);
    dialog.show();
    QCOMPARE(dialog.findChild<QRadioButton *>(u"hideWhenClose_"_s)->isChecked(), onlyHide);
    QCOMPARE(dialog.findChild<QRadioButton *>(u"quitWhenClose_"_s)->isChecked(), !onlyHide);
    auto *edit = dialog.findChild<HotKeySettingEdit *>(u"hotKeyEdit_"_s);
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->currentKey(), text.isEmpty() ? 0 : hotKey);
}

void TestDialogs::settingsCloseSaves_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("quit") << u"quitWhenClose_"_s << QByteArray("<onlyHideWhenClose>0</onlyHideWhenClose>");
    QTest::newRow("hide") << u"hideWhenClose_"_s << QByteArray("<onlyHideWhenClose>1</onlyHideWhenClose>");
}

void TestDialogs::settingsCloseSaves()
{
    QFETCH(QString, choice);
    QFETCH(QByteArray, expected);
    SettingsDialog dialog(nullptr);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QRadioButton *>(choice), Qt::LeftButton);
    QTest::keyClick(dialog.findChild<HotKeySettingEdit *>(u"hotKeyEdit_"_s), Qt::Key_F7);
    QVERIFY(!settingsFile().contains("<showHideHotKey>"));
    QTest::mouseClick(dialog.findChild<QToolButton *>(u"close_"_s), Qt::LeftButton);
    QCOMPARE(accepted.size(), 1);
    QVERIFY(!dialog.isVisible());
    const QByteArray file = settingsFile();
    QVERIFY2(file.contains(expected), file.constData());
    QVERIFY(file.contains("<showHideHotKey>16777270</showHideHotKey>"));
    QCOMPARE(GlobalSettings::instance()->onlyHideWhenClose(), choice == u"hideWhenClose_");
}

void TestDialogs::settingsRejectStoresNothing()
{
    SettingsDialog dialog(nullptr);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QRadioButton *>(u"quitWhenClose_"_s), Qt::LeftButton);
    dialog.reject();
    QVERIFY(settingsFile().isEmpty());
    QVERIFY(GlobalSettings::instance()->onlyHideWhenClose());
}

void TestDialogs::settingsReopenShowsCurrent()
{
    SettingsDialog dialog(nullptr);
    dialog.show();
    auto *quit = dialog.findChild<QRadioButton *>(u"quitWhenClose_"_s);
    QTest::mouseClick(quit, Qt::LeftButton);
    QVERIFY(quit->isChecked());
    dialog.reject();
    dialog.show();
    // The discarded choice is not shown again.
    QVERIFY(!quit->isChecked());
    QVERIFY(dialog.findChild<QRadioButton *>(u"hideWhenClose_"_s)->isChecked());
}

void TestDialogs::settingsReusedFromMainWindow()
{
    MainDialog main;
    SettingsDialog *first = nullptr;
    for (int round = 0; round < 2; ++round) {
        QTimer::singleShot(0, &main, [&] {
            auto *dialog = qobject_cast<SettingsDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(dialog->isModal());
            if (!first)
                first = dialog;
            QCOMPARE(dialog, first);
            QTest::mouseClick(dialog->findChild<QToolButton *>(u"close_"_s), Qt::LeftButton);
        });
        main.findChild<QAction *>(u"actionSetting_"_s)->trigger();
    }
    QVERIFY(first);
    QVERIFY(settingsFile().contains("<onlyHideWhenClose>1</onlyHideWhenClose>"));
}

void TestDialogs::settingsHotKeyBelongsToMainWindow()
{
    QList<WId> windows;
    GlobalHotKey::instance()->setBackend(std::make_unique<AcceptingBackend>(&windows));
    MainDialog main;
    SettingsDialog dialog(&main);
    dialog.show();
    QTest::keyClick(dialog.findChild<HotKeySettingEdit *>(u"hotKeyEdit_"_s), Qt::Key_K);
    QCOMPARE(windows, QList<WId>{main.winId()});
}

void TestDialogs::settingsHotKeyConflict()
{
    // Another program holds F4 (the default) and Ctrl+Shift+B.
    GlobalHotKey::instance()->setBackend(std::make_unique<RefusingBackend>(QSet<int>{0x73, 0x42}));
    MainDialog main;
    main.onSettingsLoadFinished();
    SettingsDialog dialog(&main);
    dialog.show();
    auto *edit = dialog.findChild<HotKeySettingEdit *>(u"hotKeyEdit_"_s);
    auto *conflict = dialog.findChild<QLabel *>(u"hotKeyConflict_"_s);
    QCOMPARE(conflict->text(), u"该热键已被其他程序占用"_s);
    const auto shown = [&] { return conflict->isVisibleTo(&dialog); };
    // Refused at start: said at once, next to the key that failed.
    QVERIFY(shown());
    QCOMPARE(edit->text(), u"F4"_s);
    QTest::keyClick(edit, Qt::Key_F4); // still taken
    QVERIFY(shown());
    QTest::keyClick(edit, Qt::Key_F9);
    QVERIFY(!shown());
    QCOMPARE(edit->text(), u"F9"_s);
    QTest::keyClick(edit, Qt::Key_B);
    QVERIFY(shown());
    QCOMPARE(edit->text(), u"F9"_s);
    // F9 was given up for the refused B; pressing it again takes it back.
    QTest::keyClick(edit, Qt::Key_F9);
    QVERIFY(!shown());
    QVERIFY(ShowHideHotKey::isRegistered(main.winId()));
    dialog.reject();
    dialog.show();
    QVERIFY(!shown());
}

void TestDialogs::settingsAutoStart_data()
{
    QTest::addColumn<bool>("blocked");
    QTest::newRow("switched on and off") << false;
    QTest::newRow("folder blocked") << true;
}

void TestDialogs::settingsAutoStart()
{
#ifdef Q_OS_WIN
    QSKIP("the switch is the user's own Run key here, which tst_autostart covers and restores");
#endif
    QFETCH(bool, blocked);
    QTemporaryDir config;
    QTemporaryDir system;
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", configHome);
        qunsetenv("XDG_CONFIG_DIRS");
    });
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", system.path().toLocal8Bit());
    const QString entry = config.path() + u"/autostart/quorvik-pc-assist.desktop"_s;
    if (blocked) {
        QFile file(config.path() + u"/autostart"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    SettingsDialog dialog(nullptr);
    dialog.show();
    auto *box = dialog.findChild<QCheckBox *>(u"autoStart_"_s);
    auto *error = dialog.findChild<QLabel *>(u"autoStartError_"_s);
    QCOMPARE(box->text(), u"开机时自动启动"_s);
    QVERIFY(!box->isChecked());
    QVERIFY(!error->isVisibleTo(&dialog));

    QTest::mouseClick(box, Qt::LeftButton);
    // The box shows what the desktop will do, and a failure is said where it happened.
    QCOMPARE(box->isChecked(), !blocked);
    QCOMPARE(QFile::exists(entry), !blocked);
    QCOMPARE(error->isVisibleTo(&dialog), blocked);
    dialog.reject();
    dialog.show();
    QCOMPARE(box->isChecked(), !blocked);
    QVERIFY(!error->isVisibleTo(&dialog));
    if (!blocked) {
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!box->isChecked());
        QVERIFY(!QFile::exists(entry));
    }
}

void TestDialogs::aboutForm()
{
    AboutDialog dialog;
    QCOMPARE(dialog.objectName(), u"AboutDialog"_s);
    QCOMPARE(dialog.minimumSize(), QSize(640, 480));
    QVERIFY(!dialog.testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(dialog.findChild<QLabel *>(u"version"_s)->text(), u"Quorvik桌面助手 2.0.0.2"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"label_3"_s)->text(), u"让你的电脑更快一些！"_s);
    for (const char *name : {"label_4", "label_5", "label_6"})
        QVERIFY(!dialog.findChild<QLabel *>(QString::fromLatin1(name))->text().isEmpty());
    const QString thanks = dialog.findChild<QLabel *>(u"label_7"_s)->text();
    QVERIFY(thanks.startsWith(u"本软件基于优秀的开源软件"_s));
    QVERIFY(thanks.endsWith(u"开发，由衷感谢!"_s));
}

void TestDialogs::aboutQtLink()
{
    AboutDialog dialog;
    auto *label = dialog.findChild<QLabel *>(u"label_7"_s);
    QVERIFY(label->openExternalLinks());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Click the middle of "Qt", which follows the prefix in the label's left-aligned line.
    const QFontMetrics metrics(label->font());
    const int x = label->contentsRect().left() + metrics.horizontalAdvance(u"本软件基于优秀的开源软件"_s)
                  + metrics.horizontalAdvance(u"Qt"_s) / 2;
    const QPoint pos(x, label->height() / 2);
    QTest::mouseMove(label, pos);
    QTest::mousePress(label, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(label, Qt::LeftButton, {}, pos);
    QCOMPARE(m_urls.opened.size(), 1);
    QCOMPARE(m_urls.opened.first().host(), u"www.qt.io"_s);
    QVERIFY(dialog.isVisible());
}

void TestDialogs::aboutLogoFromAnyWorkingDirectory()
{
    // Started from a menu or at login, the working directory is anything but the program's folder.
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    AboutDialog dialog;
    QDir::setCurrent(previous);
    QVERIFY(!dialog.findChild<QLabel *>(u"label_2"_s)->pixmap().isNull());
}

void TestDialogs::aboutCloseKeepsProgram()
{
    AboutDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *close = dialog.findChild<QToolButton *>(u"close_"_s);
    QCOMPARE(QpaTest::visibleTopLevelWindows(), 1);
    QVERIFY(!QpaTest::quitsEventLoop([close] { QTest::mouseClick(close, Qt::LeftButton); }));
    QVERIFY(!dialog.isVisible());
}

void TestDialogs::miniForm()
{
    MainDialog main;
    auto *mini = main.findChild<MiniMainDialog *>();
    QVERIFY(!mini); // not a Qt child: the floating window has no parent
    MiniMainDialog dialog;
    QCOMPARE(dialog.objectName(), u"MiniMainDialog"_s);
    QCOMPARE(dialog.toolTip(), u"Quorvik桌面助手"_s);
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(dialog.width() >= 80 && dialog.width() <= 96);
    QCOMPARE(dialog.height(), 80);
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(dialog.pos(), QPoint(desktop.width() - 150, desktop.height() / 2));
    QVERIFY(!dialog.isVisible());
}

void TestDialogs::miniDragWithLeftOnly_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("right") << int(Qt::RightButton) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << false;
}

void TestDialogs::miniDragWithLeftOnly()
{
    QFETCH(int, button);
    QFETCH(bool, moves);
    MiniMainDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    const QPoint local(10, 10);
    const Qt::MouseButton b = Qt::MouseButton(button);
    QMouseEvent press(QEvent::MouseButtonPress, local, dialog.mapToGlobal(local), b, b, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &press);
    const QPoint target = dialog.mapToGlobal(local) + QPoint(-200, 50);
    QMouseEvent move(QEvent::MouseMove, dialog.mapFromGlobal(target), target, Qt::NoButton, b, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &move);
    QCOMPARE(dialog.pos(), moves ? start + QPoint(-200, 50) : start);
}

void TestDialogs::miniDoubleClickToggles()
{
    MainDialog main;
    MiniMainDialog &dialog = *floatingWindow();
    dialog.show();
    QTest::mouseDClick(&dialog, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(main.isVisible());
    QTest::mouseDClick(&dialog, Qt::RightButton, {}, QPoint(10, 10));
    QVERIFY(main.isVisible());
    QTest::mouseDClick(&dialog, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!main.isVisible());
}

void TestDialogs::miniRightClickMenu()
{
    MainDialog main;
    main.onSettingsLoadFinished();
    MiniMainDialog *mini = floatingWindow();
    QVERIFY(mini->isVisible());
    QVERIFY(!mini->findChild<QMenu *>());
    emit mini->customContextMenuRequested(QPoint(5, 5));
    auto *menu = mini->findChild<QMenu *>(u"miniMenu"_s);
    QVERIFY(menu);
    QCOMPARE(menu->parent(), mini);
    QVERIFY(menu->isVisible());
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? u"-"_s : a->text());
    QCOMPARE(texts, (QStringList{u"打开网址导航"_s, u"打开常用软件"_s, u"打开日程日历"_s, u"打开天气预报"_s,
                                 u"打开好软推荐"_s, u"-"_s, u"隐藏浮窗"_s, u"屏幕截图"_s, u"设置"_s, u"关于"_s,
                                 u"-"_s, u"检查更新"_s, u"退出"_s}));
    menu->hide();
}

void TestDialogs::miniIgnoresEscape()
{
    MiniMainDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
}

void TestDialogs::floatingWindowShownBySetting_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestDialogs::floatingWindowShownBySetting()
{
    QFETCH(bool, shown);
    if (!shown) {
        GlobalSettings::instance()->setShowFloatingWindow(false);
        QFile::remove(GlobalSettings::instance()->settingsFilePath());
    }
    MainDialog main;
    main.onSettingsLoadFinished();
    bool visible = false;
    for (QWidget *w : QApplication::topLevelWidgets())
        visible |= qobject_cast<MiniMainDialog *>(w) && w->isVisible();
    QCOMPARE(visible, shown);
    QCOMPARE(main.findChild<QAction *>(u"actionShowFloatingWindow"_s)->text(), shown ? u"隐藏浮窗"_s : u"显示浮窗"_s);
}

void TestDialogs::hideFloatingWindowWritesAtOnce()
{
    MainDialog main;
    main.onSettingsLoadFinished();
    QFile::remove(GlobalSettings::instance()->settingsFilePath());
    auto *action = main.findChild<QAction *>(u"actionShowFloatingWindow"_s);
    QCOMPARE(action->text(), u"隐藏浮窗"_s);
    action->trigger();
    QVERIFY(settingsFile().contains("<showFloatingWindow>0</showFloatingWindow>"));
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!(qobject_cast<MiniMainDialog *>(w) && w->isVisible()));
    QCOMPARE(action->text(), u"显示浮窗"_s);
    action->trigger();
    QVERIFY(settingsFile().contains("<showFloatingWindow>1</showFloatingWindow>"));
}

void TestDialogs::miniToolTipNamesHotKey()
{
    MiniMainDialog dialog;
    QVERIFY(dialog.testAttribute(Qt::WA_AlwaysShowToolTips));
    GlobalSettings::instance()->setHotKey(Qt::Key_F4);
    QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), dialog.mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&dialog, &help);
    QCOMPARE(dialog.toolTip(), u"Quorvik桌面助手\n显示/隐藏主窗口：F4"_s);
    GlobalSettings::instance()->setHotKey(Qt::Key_Q);
    QCoreApplication::sendEvent(&dialog, &help);
    QCOMPARE(dialog.toolTip(), u"Quorvik桌面助手\n显示/隐藏主窗口：Shift + Ctrl + Q"_s);
}

void TestDialogs::balloonKeepsOffScreenEdges_data()
{
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<QRect>("area");
    // tint2 at the bottom: the working area ends above the panel, the icon sits in the panel.
    const QRect aboveBottomPanel(0, 0, 1280, 770);
    QTest::newRow("icon at the right end of a bottom panel") << QRect(1244, 774, 24, 24) << aboveBottomPanel;
    QTest::newRow("icon in the middle of a bottom panel") << QRect(628, 774, 24, 24) << aboveBottomPanel;
    QTest::newRow("icon at the left end of a bottom panel") << QRect(2, 774, 24, 24) << aboveBottomPanel;
    QTest::newRow("icon at the right end of a top panel") << QRect(1250, 3, 24, 24) << QRect(0, 30, 1280, 770);
    QTest::newRow("second screen") << QRect(3000, 1050, 24, 24) << QRect(1920, 0, 1280, 1050);
}

void TestDialogs::balloonKeepsOffScreenEdges()
{
    QFETCH(QRect, icon);
    QFETCH(QRect, area);
    const QSize size(300, 80);
    const QRect balloon(TrayBalloon::placement(icon, size, area), size);
    const QRect inner = area.adjusted(TrayBalloon::kMargin, TrayBalloon::kMargin, -TrayBalloon::kMargin,
                                      -TrayBalloon::kMargin);
    QVERIFY2(inner.contains(balloon), qPrintable(u"%1,%2"_s.arg(balloon.x()).arg(balloon.y())));
    QVERIFY(!balloon.intersects(icon));
    // Next to the icon: it points at it from above (bottom panel) or below (top panel).
    QVERIFY(qAbs(balloon.center().y() - icon.center().y()) < 80);
}

QPA_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

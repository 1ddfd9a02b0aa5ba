// Process entry: single instance, shared objects, main window, event loop, orderly shutdown.
#include "AppStyle.h"
#include "GlobalSettings.h"
#include "HotKeyAtom.h"
#include "InstanceChannel.h"
#include "MainDialog.h"
#include "Network.h"
#include "ProgramFont.h"
#include "SingleInstance.h"
#include "StartupTrace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

// The quit path issues the "logout" report right before the loop ends; deleting the manager at
// once would abort it whenever the machine is busy. Window and tray icon are gone by now, so a
// short wait for requests still on their way is invisible to the user.
void letPendingRequestsLeave(int timeoutMs)
{
    const auto running = [] {
        const QList<QNetworkReply *> replies =
            g_networkAccessManager->findChildren<QNetworkReply *>(Qt::FindDirectChildrenOnly);
        return std::any_of(replies.cbegin(), replies.cend(),
                           [](const QNetworkReply *reply) { return reply->isRunning(); });
    };
    QElapsedTimer timer;
    timer.start();
    while (g_networkAccessManager && running() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(5);
    }
}

// "--capture" (for a desktop shortcut) opens the capture overlay instead of the main window.
InstanceChannel::Request requestOf(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--capture") == 0)
            return InstanceChannel::Request::Capture;
    }
    return InstanceChannel::Request::Show;
}

} // namespace

int main(int argc, char *argv[])
{
    StartupTrace::mark("main entered");
    auto instance = std::make_unique<SingleInstance>(QStringLiteral("torvel_tool_kit_mutex"));
    const InstanceChannel::Request request = requestOf(argc, argv);
    if (!instance->tryAcquire()) {
        // Another instance runs: ask it to show itself (or to capture) and end quietly, answered
        // or not. The local socket needs an event dispatcher, not a GUI.
        QCoreApplication app(argc, argv);
        InstanceChannel::send(instance->channelName(), request, 3000);
        return 0;
    }

    g_hotKeyAtom = createHotKeyAtom(QStringLiteral("QuorvikPcAssist"));

    int result = 0;
    {
        QApplication app(argc, argv);
        // Only the main window's quit path ends the program; a tray program must survive the
        // closing of whatever window happened to be the last one shown.
        app.setQuitOnLastWindowClosed(false);
        // Listening at once leaves later starts the shortest time without an answer.
        InstanceChannel *channel = instance->listen();
        {
            QMutexLocker locker(&g_networkMutex);
            g_networkAccessManager = new QNetworkAccessManager;
        }
        ProgramFont::applyToApplication();
        app.setStyleSheet(applicationStyleSheet());
        app.setApplicationVersion(applicationVersionString());
        // Task switchers and the taskbar show this for the main window.
        app.setWindowIcon(QIcon(QStringLiteral(":/icon/logo48")));
        // The interface is Chinese whatever the system language: Qt's own dialogs and the edit
        // menus follow it when the translation is installed.
        // Nothing of Qt's own is shown before the first event-loop turn, so it is read then.
        QTranslator qtTranslator;
        QTimer::singleShot(0, &app, [&app, &qtTranslator] {
            if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                                  QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                app.installTranslator(&qtTranslator);
        });

        GlobalSettings *settings = GlobalSettings::instance();
        const QString settingsPath = settings->settingsFilePath();
        settings->initKeyNames();

        QObject::connect(settings, &GlobalSettings::loadFinished, [] { StartupTrace::mark("settings read"); });
        auto mainDialog = std::make_unique<MainDialog>();
        QObject::connect(settings, &GlobalSettings::loadFinished, mainDialog.get(),
                         &MainDialog::onSettingsLoadFinished, Qt::DirectConnection);
        settings->load(settingsPath);
        mainDialog->showInitialWindow();
        if (channel) {
            QObject::connect(channel, &InstanceChannel::requested, mainDialog.get(),
                             [dialog = mainDialog.get()](InstanceChannel::Request asked) {
                                 if (asked == InstanceChannel::Request::Capture)
                                     dialog->onScreenCut();
                                 else
                                     dialog->present();
                             });
        }
        if (request == InstanceChannel::Request::Capture)
            QTimer::singleShot(0, mainDialog.get(), &MainDialog::onScreenCut);

        QTimer::singleShot(0, [] { StartupTrace::mark("event loop entered"); });
        result = app.exec();
        // Quitting is final: a new start may begin at once (nothing answers it here any more), and
        // no reply that arrives while the "logout" report leaves may open a window, so the pages go
        // before the wait.
        instance.reset();
        mainDialog.reset();
        letPendingRequestsLeave(1500);

        {
            QMutexLocker locker(&g_networkMutex);
            delete g_networkAccessManager;
            g_networkAccessManager = nullptr;
        }
    }
    return result;
}

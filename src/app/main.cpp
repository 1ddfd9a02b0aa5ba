// Process entry: single instance, shared objects, main window, event loop, orderly shutdown.
#include "AppStyle.h"
#include "GlobalSettings.h"
#include "HotKeyAtom.h"
#include "Network.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QIcon>
#include <QMutexLocker>
#include <QNetworkAccessManager>

#include <memory>

#ifdef QPA_HAVE_SHELL
#include "MainDialog.h"
#endif

int main(int argc, char *argv[])
{
    auto instance = std::make_unique<SingleInstance>(QStringLiteral("torvel_tool_kit_mutex"));
    if (!instance->tryAcquire())
        return 0;

    g_hotKeyAtom = createHotKeyAtom(QStringLiteral("QuorvikPcAssist"));

    int result = 0;
    {
        QApplication app(argc, argv);
        // Only the main window's quit path ends the program; a tray program must survive the
        // closing of whatever window happened to be the last one shown.
        app.setQuitOnLastWindowClosed(false);
        {
            QMutexLocker locker(&g_networkMutex);
            g_networkAccessManager = new QNetworkAccessManager;
        }
        app.setStyleSheet(applicationStyleSheet());
        app.setApplicationVersion(applicationVersionString());
        // Task switchers and the taskbar show this for the main window.
        app.setWindowIcon(QIcon(QStringLiteral(":/icon/logo48")));

        GlobalSettings *settings = GlobalSettings::instance();
        const QString settingsPath = settings->settingsFilePath();
        settings->initKeyNames();

#ifdef QPA_HAVE_SHELL
        auto mainDialog = std::make_unique<MainDialog>();
        QObject::connect(settings, &GlobalSettings::loadFinished, mainDialog.get(),
                         &MainDialog::onSettingsLoadFinished, Qt::DirectConnection);
        settings->load(settingsPath);
        mainDialog->hide();
#else
        settings->load(settingsPath);
#endif

        result = app.exec();

        {
            QMutexLocker locker(&g_networkMutex);
            delete g_networkAccessManager;
            g_networkAccessManager = nullptr;
        }
#ifdef QPA_HAVE_SHELL
        mainDialog.reset();
#endif
    }
    instance.reset();
    return result;
}

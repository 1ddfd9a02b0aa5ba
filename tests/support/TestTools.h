// Small helpers shared by the widget tests.
#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QWindow>

#include <functional>
#include <memory>

namespace QpaTest {

// The descendant of parent with this object name and type; a missing one ends the test run with
// its name rather than a crash on a null pointer somewhere later.
template<typename T>
T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no child %s of type %s", qPrintable(name), T::staticMetaObject.className());
    return found;
}

// Runs action inside the application's event loop (outside it Qt neither emits lastWindowClosed
// nor quits) and tells whether it ended the program: it closed the last window that keeps the
// program running, or the loop quit.
inline bool quitsEventLoop(const std::function<void()> &action)
{
    constexpr int kStillRunning = 42;
    bool lastClosed = false;
    const QMetaObject::Connection watch = QObject::connect(
        qApp, &QGuiApplication::lastWindowClosed, qApp, [&lastClosed] { lastClosed = true; });
    // A stop still queued when the loop has ended otherwise must not end a later loop.
    const auto live = std::make_shared<bool>(true);
    const auto stop = [live] {
        if (*live)
            QCoreApplication::exit(kStillRunning);
    };
    QMetaObject::invokeMethod(qApp, [&action, stop] {
        action();
        // Two turns later: Qt posts its quit from within the first.
        QMetaObject::invokeMethod(qApp, [stop] {
            QMetaObject::invokeMethod(qApp, stop, Qt::QueuedConnection);
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    const int result = QCoreApplication::exec();
    *live = false;
    QObject::disconnect(watch);
    return lastClosed || result != kStillRunning;
}

// Windows on screen now; quitsEventLoop() proves something only when its window is the last.
inline int visibleTopLevelWindows()
{
    int count = 0;
    for (const QWindow *window : QGuiApplication::topLevelWindows())
        count += window->isVisible() ? 1 : 0;
    return count;
}

} // namespace QpaTest

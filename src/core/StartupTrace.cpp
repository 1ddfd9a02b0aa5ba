#include "StartupTrace.h"

#include "ProcessClock.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QtGlobal>

#include <cstdio>

namespace {

struct Clock {
    Clock()
        : enabled(qEnvironmentVariableIntValue("QPA_STARTUP_TRACE") == 1)
    {
        timer.start();
        // The time before main, asked only when tracing (it reads /proc on Linux).
        if (enabled)
            beforeTimerNs = qMax<qint64>(0, ProcessClock::ageNanoseconds());
    }
    QElapsedTimer timer;
    bool enabled;
    qint64 beforeTimerNs = 0;
};

// Made with the program's static objects, as early as the program itself can run anything.
const Clock g_clock;

class FirstPaint : public QObject
{
public:
    FirstPaint(QObject *widget, const char *milestone)
        : QObject(widget)
        , m_milestone(milestone)
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The rest of the frame is painted and flushed before the loop turns again.
            QTimer::singleShot(0, this, [this] {
                StartupTrace::mark(m_milestone);
                deleteLater();
            });
        }
        return false;
    }

private:
    const char *m_milestone;
};

} // namespace

namespace StartupTrace {

bool enabled()
{
    return g_clock.enabled;
}

double elapsedMs()
{
    return double(g_clock.beforeTimerNs + g_clock.timer.nsecsElapsed()) / 1e6;
}

void mark(const char *milestone)
{
    if (!g_clock.enabled)
        return;
    // CPU time beside the clock: on a busy machine the two part ways.
    const qint64 cpu = ProcessClock::cpuNanoseconds();
    std::fprintf(stderr, "qpa-startup: %.1f ms %s (cpu %.1f ms)\n", elapsedMs(), milestone,
                 cpu < 0 ? -1.0 : double(cpu) / 1e6);
    std::fflush(stderr);
}

void markAfterFirstPaint(QObject *widget, const char *milestone)
{
    if (g_clock.enabled)
        new FirstPaint(widget, milestone);
}

} // namespace StartupTrace

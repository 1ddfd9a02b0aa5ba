// Freedesktop systems: the start time in /proc/self/stat (Linux), taken against the boot clock;
// -1 where there is no such file.
#include "ProcessClock.h"

#include <QByteArray>
#include <QFile>

#include <ctime>
#include <unistd.h>

namespace ProcessClock {

qint64 ageNanoseconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name may hold spaces and parentheses: fields are counted after its last ')'.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    bool ok = false;
    const qint64 startTicks = fields.value(19).toLongLong(&ok); // field 22, starttime
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
#ifdef CLOCK_BOOTTIME
    timespec boot{};
    timespec cpu{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &boot) != 0
        || clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu) != 0)
        return -1;
    const qint64 tick = 1000000000LL / ticksPerSecond;
    const qint64 rounded = qint64(boot.tv_sec) * 1000000000LL + boot.tv_nsec - startTicks * tick;
    // The start time is cut to whole clock ticks, so the true age lies within one tick below
    // this. The CPU time used so far bounds it from below (a process that has not yet waited for
    // anything, as before main, has run all along), which makes a near-exact figure of it.
    const qint64 used = qint64(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec;
    return qBound(rounded - tick, used, rounded);
#else
    return -1;
#endif
}

qint64 cpuNanoseconds()
{
    timespec cpu{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu) != 0)
        return -1;
    return qint64(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec;
}

} // namespace ProcessClock

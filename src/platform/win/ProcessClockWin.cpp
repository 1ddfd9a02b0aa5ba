// Windows body of the process clock: the creation time the kernel keeps for the process.
#include "ProcessClock.h"

#include <windows.h>

namespace ProcessClock {

qint64 ageNanoseconds()
{
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
#if _WIN32_WINNT >= 0x0602
    GetSystemTimePreciseAsFileTime(&now);
#else
    GetSystemTimeAsFileTime(&now);
#endif
    const auto value = [](const FILETIME &t) {
        return qint64((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (value(now) - value(created)) * 100; // FILETIME counts 100 ns
}

qint64 cpuNanoseconds()
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    const auto value = [](const FILETIME &t) {
        return qint64((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (value(kernel) + value(user)) * 100;
}

} // namespace ProcessClock

// How long ago the process was started, as the operating system counts it.
#pragma once

#include <QtGlobal>

namespace ProcessClock {

// Nanoseconds since the process was created, or -1 where the system cannot tell.
qint64 ageNanoseconds();
// User + system time the process has used so far, in nanoseconds, or -1 where unknown.
qint64 cpuNanoseconds();

} // namespace ProcessClock

// How long ago the process was started, as the operating system counts it.
#pragma once

#include <QtGlobal>

namespace ProcessClock {

// Nanoseconds since the process was created, or -1 where the system cannot tell.
qint64 ageNanoseconds();

} // namespace ProcessClock

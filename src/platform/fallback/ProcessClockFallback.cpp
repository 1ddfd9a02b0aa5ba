// Systems without a process start time the program knows how to read.
#include "ProcessClock.h"

namespace ProcessClock {

qint64 ageNanoseconds()
{
    return -1;
}

qint64 cpuNanoseconds()
{
    return -1;
}

} // namespace ProcessClock

#include "DiskFull.h"

#include <cerrno>

QList<int> diskFullErrorCodes()
{
    return {ENOSPC, EFBIG};
}

#include "DiskFull.h"

#include <cerrno>

QList<int> diskFullErrorCodes()
{
    // EFBIG: a file size limit, which a full quota or a small file system can also raise.
    return {ENOSPC, EFBIG, EDQUOT};
}

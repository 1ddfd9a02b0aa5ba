#include "DiskFull.h"

#include <cerrno>
#include <windows.h>

QList<int> diskFullErrorCodes()
{
    // Qt's file engine reports GetLastError(); ENOSPC stands for the C runtime's paths.
    return {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL, ENOSPC};
}

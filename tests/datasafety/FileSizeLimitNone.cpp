#include "FileSizeLimit.h"

bool fileSizeLimitAvailable()
{
    return false;
}

SaveOutcome saveWithFileSizeLimit(const SaveFunction &, const QString &, qint64, int)
{
    return {};
}

// Systems without a start-at-login switch the program knows: nothing to show or change.
#include "AutoStart.h"

namespace AutoStart {

bool isSupported()
{
    return false;
}

bool isEnabled()
{
    return false;
}

bool setEnabled(bool, const QString &)
{
    return false;
}

} // namespace AutoStart

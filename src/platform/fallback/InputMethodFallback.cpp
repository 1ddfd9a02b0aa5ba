// Elsewhere the widget attribute that disables input methods is enough: nothing to detach.
#include "InputMethod.h"

namespace InputMethod {

quintptr detach(WId window)
{
    Q_UNUSED(window)
    return 0;
}

void attach(WId window, quintptr context)
{
    Q_UNUSED(window)
    Q_UNUSED(context)
}

} // namespace InputMethod

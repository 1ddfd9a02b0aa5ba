#include "InputMethod.h"

#ifdef Q_OS_WIN
#include <windows.h>
#include <imm.h>
#endif

namespace InputMethod {

quintptr detach(WId window)
{
#ifdef Q_OS_WIN
    return reinterpret_cast<quintptr>(ImmAssociateContext(reinterpret_cast<HWND>(window), nullptr));
#else
    // Elsewhere the widget attribute that disables input methods is enough.
    Q_UNUSED(window)
    return 0;
#endif
}

void attach(WId window, quintptr context)
{
#ifdef Q_OS_WIN
    ImmAssociateContext(reinterpret_cast<HWND>(window), reinterpret_cast<HIMC>(context));
#else
    Q_UNUSED(window)
    Q_UNUSED(context)
#endif
}

} // namespace InputMethod

// Windows body: the input-method context is taken from the window and given back.
#include "InputMethod.h"

#include <windows.h>
#include <imm.h>

namespace InputMethod {

quintptr detach(WId window)
{
    return reinterpret_cast<quintptr>(ImmAssociateContext(reinterpret_cast<HWND>(window), nullptr));
}

void attach(WId window, quintptr context)
{
    ImmAssociateContext(reinterpret_cast<HWND>(window), reinterpret_cast<HIMC>(context));
}

} // namespace InputMethod

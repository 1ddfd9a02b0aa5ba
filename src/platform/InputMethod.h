// Keeping the input method away from a window while a key-capturing field has focus.
#pragma once

#include <QWindow>

namespace InputMethod {

// Detaches the input-method context from window; returns it for attach() (0 when there is none).
quintptr detach(WId window);
// Gives window back the context detach() returned.
void attach(WId window, quintptr context);

} // namespace InputMethod

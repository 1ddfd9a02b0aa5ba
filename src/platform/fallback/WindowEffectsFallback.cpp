#include "WindowEffects.h"

namespace WindowEffects {

bool composited()
{
    // Windows and Wayland always compose.
    return true;
}

void skipTaskbar(QWindow *)
{
}

} // namespace WindowEffects

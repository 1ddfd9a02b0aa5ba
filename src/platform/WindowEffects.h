// What the window system does with see-through windows.
#pragma once

namespace WindowEffects {

// True when translucent window pixels are blended with what lies below (a compositing manager
// runs); without one they show black, and a window must shape itself instead.
bool composited();

} // namespace WindowEffects

// What the window system does with see-through windows.
#pragma once

class QWindow;

namespace WindowEffects {

// True when translucent window pixels are blended with what lies below (a compositing manager
// runs); without one they show black, and a window must shape itself instead.
bool composited();

// Keeps a window out of the taskbar and pager. Call before the window is shown (each time: the
// window manager forgets the request when the window is hidden). Tool windows need nothing more
// on Windows.
void skipTaskbar(QWindow *window);

} // namespace WindowEffects

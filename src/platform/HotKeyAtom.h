// The identifier of the one global show/hide hot key.
#pragma once

#include <QString>

extern quint16 g_hotKeyAtom;

// A 16-bit identifier for name that stays fixed for the run (a global atom on Windows).
quint16 createHotKeyAtom(const QString &name);

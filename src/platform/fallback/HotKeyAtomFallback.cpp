// Hot-key identifier where the window system has no atom table of its own.
#include "HotKeyAtom.h"

quint16 g_hotKeyAtom = 0;

quint16 createHotKeyAtom(const QString &name)
{
    // Only this process uses the id, so any fixed value in the atom range will do.
    Q_UNUSED(name)
    return 0xC001;
}

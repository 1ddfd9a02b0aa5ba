#include "HotKeyAtom.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

quint16 g_hotKeyAtom = 0;

quint16 createHotKeyAtom(const QString &name)
{
#ifdef Q_OS_WIN
    return GlobalAddAtomW(reinterpret_cast<LPCWSTR>(name.utf16()));
#else
    // Only this process uses the id, so any fixed value in the atom range will do.
    Q_UNUSED(name)
    return 0xC001;
#endif
}

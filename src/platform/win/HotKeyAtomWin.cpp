// Windows body of the hot-key identifier: a global atom, as RegisterHotKey expects for a program.
#include "HotKeyAtom.h"

#include <windows.h>

quint16 g_hotKeyAtom = 0;

quint16 createHotKeyAtom(const QString &name)
{
    return GlobalAddAtomW(reinterpret_cast<LPCWSTR>(name.utf16()));
}

#include "ShowHideHotKey.h"

#include "GlobalHotKey.h"
#include "GlobalSettings.h"
#include "HotKeyAtom.h"
#include "VirtualKeys.h"

using namespace Qt::StringLiterals;

namespace {
const KeyName *keyName(int qtKey)
{
    return GlobalSettings::instance()->findKeyName(qtKey);
}
} // namespace

bool ShowHideHotKey::isUsable(int qtKey)
{
    return keyName(qtKey) != nullptr;
}

int ShowHideHotKey::modifiersFor(int qtKey)
{
    const KeyName *name = keyName(qtKey);
    return name && VirtualKey::isFunctionKey(name->virtualKey) ? GlobalHotKey::NoModifier
                                                               : GlobalHotKey::Control | GlobalHotKey::Shift;
}

QString ShowHideHotKey::displayText(int qtKey)
{
    const KeyName *name = keyName(qtKey);
    if (!name)
        return QString();
    return modifiersFor(qtKey) == GlobalHotKey::NoModifier ? name->displayName
                                                          : u"Shift + Ctrl + "_s + name->displayName;
}

bool ShowHideHotKey::registerKey(quintptr window, int qtKey)
{
    const KeyName *name = keyName(qtKey);
    if (!name)
        return false;
    return GlobalHotKey::instance()->registerHotKey(window, g_hotKeyAtom, modifiersFor(qtKey), name->virtualKey);
}

void ShowHideHotKey::unregisterKey(quintptr window)
{
    GlobalHotKey::instance()->unregisterHotKey(window, g_hotKeyAtom);
}

bool ShowHideHotKey::isRegistered(quintptr window)
{
    return GlobalHotKey::instance()->isRegistered(window, g_hotKeyAtom);
}

bool ShowHideHotKey::matches(int qtKey, int id, int virtualKey, int modifiers)
{
    const KeyName *name = keyName(qtKey);
    if (!name || id != g_hotKeyAtom || name->virtualKey != virtualKey)
        return false;
    // A function key alone, or any key of the table with exactly Ctrl+Shift.
    return (modifiers == GlobalHotKey::NoModifier && VirtualKey::isFunctionKey(virtualKey))
        || modifiers == (GlobalHotKey::Control | GlobalHotKey::Shift);
}

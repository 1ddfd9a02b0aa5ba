// The global show/hide hot key: which stored key it is, how it is registered and which presses
// are it. Keys are Qt key codes (as stored in the settings) throughout; the virtual-key code the
// system speaks comes from the settings' key-name table.
#pragma once

#include <QString>
#include <QtGlobal>

class ShowHideHotKey
{
public:
    ShowHideHotKey() = delete;

    // True for a key of the key-name table.
    static bool isUsable(int qtKey);
    // Modifiers the key is registered with: none for F1 to F12, Ctrl+Shift for the rest.
    static int modifiersFor(int qtKey);
    // "F4" for a function key, "Shift + Ctrl + A" otherwise; empty for a key outside the table.
    static QString displayText(int qtKey);

    // window is the native window (WId) that owns the key: the main window.
    // Takes qtKey as the show/hide hot key; false when it is outside the table or refused.
    static bool registerKey(quintptr window, int qtKey);
    // Releases it; harmless when none is held.
    static void unregisterKey(quintptr window);
    // True while window holds an accepted show/hide hot key.
    static bool isRegistered(quintptr window);

    // True when a press the hot-key service delivered (id, virtual key, modifiers) is the
    // show/hide hot key qtKey: its virtual key, alone for F1 to F12 or with exactly Ctrl+Shift.
    static bool matches(int qtKey, int id, int virtualKey, int modifiers);
};

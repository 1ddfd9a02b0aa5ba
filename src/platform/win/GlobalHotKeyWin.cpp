// Windows body of the global hot key: RegisterHotKey, and WM_HOTKEY read from the message loop.
// Keys are bound to the GUI thread, not to the window passed in: Qt gives a widget a new HWND when
// its window flags change or it is re-created, and a key bound to the old one would die with it
// (the system drops a window's hot keys when the window goes, and Wine does the same).
#include "GlobalHotKey.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

class WinHotKeyBackend : public HotKeyBackend, public QAbstractNativeEventFilter
{
public:
    explicit WinHotKeyBackend(GlobalHotKey *owner)
        : m_owner(owner)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    bool registerKey(WId, int id, int modifiers, int virtualKey) override
    {
        // A thread keeps every registration of an id: the old one goes first.
        UnregisterHotKey(nullptr, id);
        return RegisterHotKey(nullptr, id, UINT(modifiers) | MOD_NOREPEAT, UINT(virtualKey)) != 0;
    }

    void unregisterKey(WId, int id) override
    {
        UnregisterHotKey(nullptr, id);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        // A thread's message has no window: only the event loop's own filter call sees it.
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message != WM_HOTKEY || msg->hwnd)
            return false;
        m_owner->deliver(int(msg->wParam), HIWORD(msg->lParam), LOWORD(msg->lParam) & ~MOD_NOREPEAT);
        return true;
    }

private:
    GlobalHotKey *m_owner;
};

} // namespace

std::unique_ptr<HotKeyBackend> createNativeHotKeyBackend(GlobalHotKey *owner)
{
    return std::make_unique<WinHotKeyBackend>(owner);
}

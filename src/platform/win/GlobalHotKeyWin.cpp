// Windows body of the global hot key: RegisterHotKey, and WM_HOTKEY read from the message loop.
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

    bool registerKey(WId window, int id, int modifiers, int virtualKey) override
    {
        return RegisterHotKey(reinterpret_cast<HWND>(window), id, UINT(modifiers), UINT(virtualKey)) != 0;
    }

    void unregisterKey(WId window, int id) override
    {
        UnregisterHotKey(reinterpret_cast<HWND>(window), id);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_HOTKEY)
            m_owner->deliver(int(msg->wParam), HIWORD(msg->lParam), LOWORD(msg->lParam));
        return false;
    }

private:
    GlobalHotKey *m_owner;
};

} // namespace

std::unique_ptr<HotKeyBackend> createNativeHotKeyBackend(GlobalHotKey *owner)
{
    return std::make_unique<WinHotKeyBackend>(owner);
}

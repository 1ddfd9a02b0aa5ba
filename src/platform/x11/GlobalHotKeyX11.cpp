// X11 body of the global hot key: passive key grabs on the root window, read by a native event filter.
#include "GlobalHotKey.h"
#include "VirtualKeys.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QList>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

// The X keysym of a Windows virtual-key code, for the keys a hot key may use.
xcb_keysym_t keysymForVirtualKey(int vk)
{
    using namespace VirtualKey;
    if (vk >= F1 && vk <= F12)
        return XK_F1 + (vk - F1);
    if (vk >= Digit0 && vk <= Digit9)
        return XK_0 + (vk - Digit0);
    if (vk >= A && vk <= Z)
        return XK_a + (vk - A);
    switch (vk) {
    case Insert: return XK_Insert;
    case Left: return XK_Left;
    case Up: return XK_Up;
    case Right: return XK_Right;
    case Down: return XK_Down;
    case PageDown: return XK_Next;
    case PageUp: return XK_Prior;
    case Home: return XK_Home;
    case End: return XK_End;
    case CapsLock: return XK_Caps_Lock;
    case Grave: return XK_grave;
    case Minus: return XK_minus;
    case Equal: return XK_equal;
    case BracketLeft: return XK_bracketleft;
    case BracketRight: return XK_bracketright;
    case Backslash: return XK_backslash;
    case Semicolon: return XK_semicolon;
    case Apostrophe: return XK_apostrophe;
    case Comma: return XK_comma;
    case Period: return XK_period;
    case Slash: return XK_slash;
    default: return XCB_NO_SYMBOL;
    }
}

uint16_t xModifiers(int modifiers)
{
    uint16_t mask = 0;
    if (modifiers & GlobalHotKey::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & GlobalHotKey::Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & GlobalHotKey::Alt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & GlobalHotKey::Meta)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

class X11HotKeyBackend : public HotKeyBackend, public QAbstractNativeEventFilter
{
public:
    explicit X11HotKeyBackend(GlobalHotKey *owner)
        : m_owner(owner)
    {
        // Offscreen, Wayland and the rest have no X connection: every registration is refused.
        if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
            m_connection = x11->connection();
        if (!m_connection)
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_numLockMask = findNumLockMask();
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    // The X server drops the grabs with the connection; nothing to send at exit.
    ~X11HotKeyBackend() override = default;

    bool registerKey(WId window, int id, int modifiers, int virtualKey) override
    {
        if (!m_connection)
            return false;
        const xcb_keysym_t keysym = keysymForVirtualKey(virtualKey);
        if (keysym == XCB_NO_SYMBOL)
            return false;

        Grab grab{window, id, virtualKey, modifiers, {}, xModifiers(modifiers)};
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection);
        if (xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym)) {
            for (xcb_keycode_t *code = codes; *code != XCB_NO_SYMBOL; ++code) {
                if (!grab.keycodes.contains(*code))
                    grab.keycodes.append(*code);
            }
            std::free(codes);
        }
        xcb_key_symbols_free(symbols);
        if (grab.keycodes.isEmpty())
            return false;

        // Checked requests: a key another client holds answers BadAccess, and then nothing is kept.
        QList<xcb_void_cookie_t> cookies;
        for (xcb_keycode_t code : grab.keycodes) {
            for (uint16_t locks : lockCombinations()) {
                cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, grab.xmods | locks, code,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            }
        }
        bool ok = true;
        for (const xcb_void_cookie_t &cookie : cookies) {
            if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
                ok = false;
                std::free(error);
            }
        }
        if (!ok) {
            ungrab(grab);
            return false;
        }
        m_grabs.append(grab);
        return true;
    }

    void unregisterKey(WId window, int id) override
    {
        for (qsizetype i = m_grabs.size() - 1; i >= 0; --i) {
            if (m_grabs.at(i).window == window && m_grabs.at(i).id == id) {
                const Grab grab = m_grabs.takeAt(i);
                // Another registration may hold the same key; keep its grab.
                if (!isHeldByOther(grab))
                    ungrab(grab);
            }
        }
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        const uint8_t type = event->response_type & ~0x80;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
        if (key->event != m_root)
            return false;
        const uint16_t state = key->state & relevantModifiers();
        for (const Grab &grab : m_grabs) {
            if (grab.keycodes.contains(key->detail) && grab.xmods == state) {
                if (type == XCB_KEY_PRESS)
                    m_owner->deliver(grab.id, grab.virtualKey, grab.modifiers);
                return true;
            }
        }
        return false;
    }

private:
    struct Grab
    {
        WId window;
        int id;
        int virtualKey;
        int modifiers;
        QList<xcb_keycode_t> keycodes;
        uint16_t xmods;
    };

    // The key must work whatever the state of NumLock and CapsLock.
    QList<uint16_t> lockCombinations() const
    {
        return {0, XCB_MOD_MASK_LOCK, m_numLockMask, uint16_t(m_numLockMask | XCB_MOD_MASK_LOCK)};
    }

    uint16_t relevantModifiers() const
    {
        const uint16_t all = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_2
                             | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;
        return all & ~m_numLockMask;
    }

    bool isHeldByOther(const Grab &grab) const
    {
        for (const Grab &other : m_grabs) {
            if (other.xmods == grab.xmods && other.keycodes == grab.keycodes)
                return true;
        }
        return false;
    }

    void ungrab(const Grab &grab)
    {
        for (xcb_keycode_t code : grab.keycodes) {
            for (uint16_t locks : lockCombinations())
                xcb_ungrab_key(m_connection, code, m_root, grab.xmods | locks);
        }
        xcb_flush(m_connection);
    }

    // The modifier bit the keyboard map gives NumLock (Mod2 on nearly every layout).
    uint16_t findNumLockMask() const
    {
        uint16_t mask = XCB_MOD_MASK_2;
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection);
        xcb_keycode_t *numLock = xcb_key_symbols_get_keycode(symbols, XK_Num_Lock);
        xcb_key_symbols_free(symbols);
        if (!numLock)
            return mask;
        xcb_get_modifier_mapping_reply_t *reply = xcb_get_modifier_mapping_reply(
            m_connection, xcb_get_modifier_mapping(m_connection), nullptr);
        if (reply) {
            const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply);
            const int perModifier = reply->keycodes_per_modifier;
            for (int modifier = 0; modifier < 8; ++modifier) {
                for (int j = 0; j < perModifier; ++j) {
                    const xcb_keycode_t code = codes[modifier * perModifier + j];
                    for (xcb_keycode_t *n = numLock; code && *n != XCB_NO_SYMBOL; ++n) {
                        if (*n == code)
                            mask = uint16_t(1 << modifier);
                    }
                }
            }
            std::free(reply);
        }
        std::free(numLock);
        return mask;
    }

    GlobalHotKey *m_owner;
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    uint16_t m_numLockMask = XCB_MOD_MASK_2;
    QList<Grab> m_grabs;
};

} // namespace

std::unique_ptr<HotKeyBackend> createNativeHotKeyBackend(GlobalHotKey *owner)
{
    return std::make_unique<X11HotKeyBackend>(owner);
}

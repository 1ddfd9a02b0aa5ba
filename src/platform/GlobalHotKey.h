// System-wide hot keys: registration with the window system and delivery of their key presses.
#pragma once

#include <QObject>
#include <QSet>
#include <QWindow>

#include <memory>

// What the window system does for GlobalHotKey; one body per platform, replaceable in tests.
class HotKeyBackend
{
public:
    virtual ~HotKeyBackend() = default;
    // Takes the key for the whole desktop; false when it is refused (taken by another program,
    // unknown key, or no facility on this window system).
    virtual bool registerKey(WId window, int id, int modifiers, int virtualKey) = 0;
    virtual void unregisterKey(WId window, int id) = 0;
};

class GlobalHotKey : public QObject
{
    Q_OBJECT

public:
    // Modifier bits, with the values of the Windows MOD_* flags.
    enum Modifier { NoModifier = 0, Alt = 0x1, Control = 0x2, Shift = 0x4, Meta = 0x8 };

    static GlobalHotKey *instance();

    // Registers the key (a Windows virtual-key code) under id for window; false when refused.
    bool registerHotKey(WId window, int id, int modifiers, int virtualKey);
    // Releases what id holds for window; harmless when it holds nothing.
    void unregisterHotKey(WId window, int id);
    // True while id holds a key for window (its last registration was accepted).
    bool isRegistered(WId window, int id) const { return m_registered.contains({window, id}); }

    // Replaces the window-system body (tests); null goes back to the native one.
    void setBackend(std::unique_ptr<HotKeyBackend> backend);

    // Called by the bodies when a registered key is pressed.
    void deliver(int id, int virtualKey, int modifiers) { emit activated(id, virtualKey, modifiers); }

signals:
    // A registered hot key was pressed: its id, virtual key and registered modifiers.
    void activated(int id, int virtualKey, int modifiers);

private:
    GlobalHotKey() = default;
    HotKeyBackend *backend();

    std::unique_ptr<HotKeyBackend> m_backend;
    QSet<std::pair<WId, int>> m_registered;
};

// The body for the window system the program runs on (defined once per platform).
std::unique_ptr<HotKeyBackend> createNativeHotKeyBackend(GlobalHotKey *owner);

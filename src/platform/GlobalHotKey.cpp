#include "GlobalHotKey.h"

GlobalHotKey *GlobalHotKey::instance()
{
    static GlobalHotKey hotKey;
    return &hotKey;
}

HotKeyBackend *GlobalHotKey::backend()
{
    if (!m_backend)
        m_backend = createNativeHotKeyBackend(this);
    return m_backend.get();
}

bool GlobalHotKey::registerHotKey(WId window, int id, int modifiers, int virtualKey)
{
    return backend()->registerKey(window, id, modifiers, virtualKey);
}

void GlobalHotKey::unregisterHotKey(WId window, int id)
{
    backend()->unregisterKey(window, id);
}

void GlobalHotKey::setBackend(std::unique_ptr<HotKeyBackend> backend)
{
    m_backend = std::move(backend);
}

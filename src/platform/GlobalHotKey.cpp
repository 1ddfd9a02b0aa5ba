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
    const bool registered = backend()->registerKey(window, id, modifiers, virtualKey);
    if (registered)
        m_registered.insert({window, id});
    else
        m_registered.remove({window, id});
    return registered;
}

void GlobalHotKey::unregisterHotKey(WId window, int id)
{
    backend()->unregisterKey(window, id);
    m_registered.remove({window, id});
}

void GlobalHotKey::setBackend(std::unique_ptr<HotKeyBackend> backend)
{
    m_backend = std::move(backend);
    m_registered.clear();
}

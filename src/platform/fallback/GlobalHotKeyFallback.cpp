// Window systems without a global hot-key facility (Wayland among them): every key is refused.
#include "GlobalHotKey.h"

namespace {

class NoHotKeyBackend : public HotKeyBackend
{
public:
    bool registerKey(WId, int, int, int) override { return false; }
    void unregisterKey(WId, int) override {}
};

} // namespace

std::unique_ptr<HotKeyBackend> createNativeHotKeyBackend(GlobalHotKey *)
{
    return std::make_unique<NoHotKeyBackend>();
}

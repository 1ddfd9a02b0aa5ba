// Hostile IP-location replies: parse() gives a position or nothing, never a crash.
#include "FuzzSupport.h"
#include "SinaLocation.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SinaLocation location;
    PositionInfo position;
    const bool ok = location.parse(fuzz::bytes(data, size), position);
    if (!ok) {
        // A failed parse leaves the fresh record empty, as the page relies on.
        FUZZ_CHECK(position.city.isEmpty() || ok);
    }
    if (size == 0)
        FUZZ_CHECK(!ok);
    return 0;
}

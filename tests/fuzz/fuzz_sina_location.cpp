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
    // A failed parse leaves the fresh record empty: the weather request then reports failure.
    if (!ok)
        FUZZ_CHECK(position.province.isEmpty() && position.city.isEmpty() && position.isp.isEmpty());
    if (size == 0)
        FUZZ_CHECK(!ok);
    return 0;
}

// Hostile luw.dat files: the personal block always has its title and only valid entries.
#include "FuzzSupport.h"
#include "WebsiteStore.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratchFile(QStringLiteral("luw.dat"), fuzz::bytes(data, size));
    bool fromFile = false;
    const WebsiteCategory personal = WebsiteStore::loadPersonal(path, &fromFile);
    FUZZ_CHECK(personal.text == WebsiteStore::personalTitle());
    for (const WebsiteEntry &entry : personal.entries)
        FUZZ_CHECK(!entry.text.isEmpty() && !entry.url.isEmpty());
    if (!fromFile)
        FUZZ_CHECK(personal.entries.size() == 1);
    // What was read survives a write and a second read unchanged.
    if (fromFile) {
        const QString again = fuzz::scratchFile(QStringLiteral("luw2.dat"),
                                                WebsiteStore::personalFileContents(personal.entries));
        bool reread = false;
        const WebsiteCategory copy = WebsiteStore::loadPersonal(again, &reread);
        FUZZ_CHECK(reread);
        FUZZ_CHECK(copy.entries.size() == personal.entries.size());
    }
    return 0;
}

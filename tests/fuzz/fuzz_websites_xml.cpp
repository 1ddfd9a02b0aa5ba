// Hostile websites.xml replies: only titled categories with valid entries, within the limits.
#include "FuzzSupport.h"
#include "WebsiteStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QVector<WebsiteCategory> categories;
    const bool ok = WebsiteStore::parseRemote(fuzz::bytes(data, size), &categories);
    if (!ok)
        FUZZ_CHECK(categories.isEmpty());
    FUZZ_CHECK(categories.size() <= 24);
    for (const WebsiteCategory &category : categories) {
        FUZZ_CHECK(!category.text.isEmpty());
        FUZZ_CHECK(category.entries.size() <= 48);
        for (const WebsiteEntry &entry : category.entries)
            FUZZ_CHECK(!entry.text.isEmpty() && !entry.url.isEmpty());
    }
    return 0;
}

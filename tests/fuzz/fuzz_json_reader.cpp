// Hostile JSON text for the JSON reader: no crash, no hang, a deterministic answer.
#include "FuzzSupport.h"
#include "JsonReader.h"

#include <QVariant>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Both decodings the callers use: UTF-8 (weather replies) and the local 8-bit code page.
    const QByteArray raw = fuzz::bytes(data, size);
    for (const QString &text : {QString::fromUtf8(raw), QString::fromLatin1(raw)}) {
        bool ok = false;
        const QVariant first = JsonReader::parse(text, ok);
        bool again = false;
        const QVariant second = JsonReader::parse(text, again);
        FUZZ_CHECK(ok == again);
        FUZZ_CHECK(first == second);
        // Whatever follows the first value is ignored, so adding text after it changes nothing.
        if (ok && !text.isNull()) {
            bool withTail = false;
            const QVariant tailed = JsonReader::parse(text + QStringLiteral(" ;tail"), withTail);
            FUZZ_CHECK(withTail && tailed == first);
        }
    }
    return 0;
}

// Hostile weather "index" replies: a result or ok=false, never a crash.
#include "FuzzSupport.h"
#include "WeatherResults.h"

#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The index reader writes a debug line per item; keep the fuzzer's output readable.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = fuzz::bytes(data, size);
    WeatherIndexRequestResult first;
    const bool ok = readWeatherIndex(body, first);
    WeatherIndexRequestResult second;
    FUZZ_CHECK(readWeatherIndex(body, second) == ok);
    return 0;
}

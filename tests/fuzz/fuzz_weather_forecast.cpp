// Hostile weather "forecast3d" replies: a result or ok=false, never a crash.
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
    WeatherForecastRequestResult first;
    const bool ok = readWeatherForecast(body, first);
    WeatherForecastRequestResult second;
    FUZZ_CHECK(readWeatherForecast(body, second) == ok);
    return 0;
}

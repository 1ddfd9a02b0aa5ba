// Hostile replies of the keyless services (IP lookup, forecast, geocoding): a result or false,
// never a crash, and a reply that is read fills values the page can show.
#include "FuzzSupport.h"
#include "IpApiLocation.h"
#include "OpenMeteo.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = fuzz::bytes(data, size);

    IpApiLocation location;
    PositionInfo position;
    if (location.parse(body, position))
        FUZZ_CHECK(position.hasCoordinates && std::fabs(position.latitude) <= 90
                   && std::fabs(position.longitude) <= 180);

    WeatherForecastRequestResult forecast;
    LiveWeatherRequestResult live;
    WeatherIndexRequestResult index;
    if (OpenMeteo::readForecast(body, forecast, live, index)) {
        FUZZ_CHECK(forecast.ok && live.ok && index.ok);
        FUZZ_CHECK(!forecast.days.isEmpty() && forecast.days.size() <= 3 && index.items.size() == 3);
        FUZZ_CHECK(live.time.size() == 5 && !live.windForce.isEmpty() && !live.windDirection.isEmpty());
    } else {
        FUZZ_CHECK(!forecast.ok && forecast.days.isEmpty() && !live.ok && index.items.isEmpty());
    }

    double latitude = 0;
    double longitude = 0;
    if (OpenMeteo::readGeocoding(body, &latitude, &longitude))
        FUZZ_CHECK(std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180);
    return 0;
}

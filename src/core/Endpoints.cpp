#include "Endpoints.h"

#include "EndpointsConfig.h"

namespace Endpoints {

QString makerSite() { return QStringLiteral(QPA_MAKER_SITE_URL); }
QUrl makerSiteUrl(const QString &path) { return QUrl(makerSite() + path); }
QUrl holidayTableUrl() { return QUrl(QStringLiteral(QPA_HOLIDAYS_ADDRESS)); }
QString searchEngine() { return QStringLiteral(QPA_SEARCH_ENGINE_URL); }
QString ipLocationService() { return QStringLiteral(QPA_IP_LOCATION_URL); }
QString weatherService() { return QStringLiteral(QPA_WEATHER_URL); }
QString weatherAppId() { return QStringLiteral(QPA_WEATHER_APPID); }
QString weatherPrivateKey() { return QStringLiteral(QPA_WEATHER_PRIVATE_KEY); }
QString ipApiLocation() { return QStringLiteral(QPA_IP_API_URL); }
QString openMeteoForecast() { return QStringLiteral(QPA_OPEN_METEO_FORECAST_URL); }
QString openMeteoGeocoding() { return QStringLiteral(QPA_OPEN_METEO_GEOCODING_URL); }

} // namespace Endpoints

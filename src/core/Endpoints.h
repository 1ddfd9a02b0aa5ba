// The one place that names the remote hosts the program talks to.
#pragma once

#include <QString>
#include <QUrl>

namespace Endpoints {

// Base address of the maker's web site, ending in "/".
QString makerSite();
// The maker's site base followed by a relative path ("websites.xml", "stat.aspx?").
QUrl makerSiteUrl(const QString &path);
// The official holiday table (beside websites.xml on the maker's site unless configured apart).
QUrl holidayTableUrl();
// Root address of the web search engine, ending in "/".
QString searchEngine();
// Root address of the IP-location service, ending in "/".
QString ipLocationService();
// Root address of the weather service, ending in "/".
QString weatherService();
// Application id and private key the weather service issued (empty when none was configured).
QString weatherAppId();
QString weatherPrivateKey();
// Keyless services: the IP-geolocation lookup (full address), the Open-Meteo forecast and
// geocoding APIs (without query).
QString ipApiLocation();
QString openMeteoForecast();
QString openMeteoGeocoding();

} // namespace Endpoints

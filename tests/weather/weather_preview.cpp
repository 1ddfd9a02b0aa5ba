// Shows the weather page filled from the sample replies, for looking at it under a real display.
// Usage: weather_preview [seconds [missing]]: closes itself after that many seconds (default: stays
// open); "missing" answers the location lookup with a city the table does not know.
#include "WeatherSamples.h"
#include "WeatherWidget.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    useSignedService();
    FakeNetworkAccessManager *network = installFakeNetwork();
    serveGuangzhou(network);
    if (argc > 2 && QByteArray(argv[2]) == "missing")
        network->setReply(locationAddress(), "var remote_ip_info = {\"city\":\"\\u706b\\u661f\"};");

    WeatherWidget page;
    page.setWindowTitle(QStringLiteral("weather_preview"));
    page.resize(900, 470);
    page.show();
    page.onRequestWeather();

    if (argc > 1)
        QTimer::singleShot(QString::fromLocal8Bit(argv[1]).toInt() * 1000, &app, &QApplication::quit);
    return app.exec();
}

// Province, city and network operator of the machine's public IP address.
#pragma once

#include <QMetaType>
#include <QString>

struct PositionInfo
{
    QString province;
    // Spelled as the location service spells it, without a trailing 市; the key of the city table.
    QString city;
    QString isp;
    // Where the keyless weather service is asked for; set by providers that know it.
    bool hasCoordinates = false;
    double latitude = 0;
    double longitude = 0;
};

Q_DECLARE_METATYPE(PositionInfo)

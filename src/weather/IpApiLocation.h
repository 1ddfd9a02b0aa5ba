// IP-location provider backed by an IP-geolocation service answering a JSON object with "status",
// "regionName", "city", "lat" and "lon"; used with the keyless weather service.
#pragma once

#include "Location.h"

class IpApiLocation : public Location
{
    Q_OBJECT

public:
    // A real reply is a hundred bytes; anything far larger is not one.
    static constexpr qint64 MaxReplyBytes = 16 * 1024;

    explicit IpApiLocation(QObject *parent = nullptr);

    void request() override;
    // True only for status "success" with finite coordinates in range; the city loses a
    // trailing 市 so that it matches the names of the city table.
    bool parse(const QByteArray &data, PositionInfo &position) override;
    QString url() override;

private slots:
    void onReplyFinished();
};

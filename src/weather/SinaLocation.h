// IP-location provider backed by Sina's IP lookup, which answers a script-wrapped JSON object.
#pragma once

#include "Location.h"

class SinaLocation : public Location
{
    Q_OBJECT

public:
    explicit SinaLocation(QObject *parent = nullptr);

    void request() override;
    bool parse(const QByteArray &data, PositionInfo &position) override;
    QString url() override;
};

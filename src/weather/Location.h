// Base of the IP-location providers: one request gives exactly one locFinished.
#pragma once

#include "PositionInfo.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class Location : public QObject
{
    Q_OBJECT

public:
    explicit Location(QObject *parent = nullptr);

    // Starts one lookup; the answer arrives through locFinished.
    virtual void request() = 0;
    // Fills position from a raw reply; false when the reply holds no usable data.
    virtual bool parse(const QByteArray &data, PositionInfo &position) = 0;
    // Address of the provider's lookup service.
    virtual QString url() = 0;

signals:
    void locFinished(PositionInfo position);

public slots:
    void onLocFinished();

protected:
    // Reports an empty position later from the event loop, for a request that could not be sent.
    void reportFailureLater();
};

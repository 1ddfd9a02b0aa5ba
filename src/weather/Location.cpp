#include "Location.h"

#include "Network.h"

#include <QNetworkReply>
#include <QTimer>

Location::Location(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<PositionInfo>();
}

void Location::onLocFinished()
{
    PositionInfo position;
    if (auto *reply = qobject_cast<QNetworkReply *>(sender())) {
        reply->deleteLater();
        parse(replyBody(reply), position);
    }
    emit locFinished(position);
}

void Location::reportFailureLater()
{
    QTimer::singleShot(0, this, [this] { emit locFinished(PositionInfo()); });
}

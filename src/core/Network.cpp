#include "Network.h"

#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>

QNetworkAccessManager *g_networkAccessManager = nullptr;
QMutex g_networkMutex;

QNetworkReply *networkGet(const QUrl &url)
{
    QMutexLocker locker(&g_networkMutex);
    if (!g_networkAccessManager)
        return nullptr;
    return g_networkAccessManager->get(QNetworkRequest(url));
}

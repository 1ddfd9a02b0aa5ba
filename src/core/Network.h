// The process's one network access manager and the lock held while a request is issued.
#pragma once

#include <QMutex>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

extern QNetworkAccessManager *g_networkAccessManager;
extern QMutex g_networkMutex;

// Issues a plain GET through g_networkAccessManager under g_networkMutex.
// Returns null when there is no manager; the caller owns the reply.
QNetworkReply *networkGet(const QUrl &url);

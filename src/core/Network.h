// The process's one network access manager, the lock held while a request is issued, and the one
// way every remote GET is made: bounded in time and size, http/https only, same-host redirects.
#pragma once

#include <QByteArray>
#include <QMutex>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

extern QNetworkAccessManager *g_networkAccessManager;
extern QMutex g_networkMutex;

// What a request fetches; each kind has its own size and time limits.
enum class RequestKind {
    List,     // websites.xml, promotions.xml: 2 MiB
    Weather,  // one weather reply: 256 KiB
    Location, // the IP location: 256 KiB
    Version,  // newrelease.html: 64 KiB
    Picture,  // a recommendation's icon or preview: 1 MiB
    Report,   // a usage report: 4 KiB, 5 s, at most two at a time (up to 16 more wait their turn)
    Holidays, // cn_holidays.tsv, the official holiday table: 256 KiB
};

struct RequestLimits
{
    qint64 maxBytes = 0;
    int timeoutMs = 0; // without any data for this long the transfer is aborted
};

RequestLimits requestLimits(RequestKind kind);

// Issues a plain GET of url through g_networkAccessManager under g_networkMutex, with the
// kind's limits: the transfer ends after timeoutMs without data; a body larger than maxBytes
// (announced or arriving) aborts the reply as soon as it shows; a redirect is followed only to
// the same host with the same scheme or from http to https (five at most). Returns null when
// there is no manager or url is not an absolute http/https address. A report is fire and forget:
// it is released when it ends, and while two are on their way it waits for one of them to end
// (sixteen wait at most, later ones are dropped) and null is returned, so reports never take the
// connections the pages need. The caller owns any other reply; it always finishes.
QNetworkReply *networkGet(const QUrl &url, RequestKind kind);

// The body of a finished reply, or empty when it failed, was aborted, or exceeds its limit.
QByteArray replyBody(QNetworkReply *reply);

// Tests: replaces the time limit of every kind (0 restores the real ones).
void setRequestTimeoutForTest(int timeoutMs);

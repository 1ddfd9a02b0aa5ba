#include "Network.h"

#include <QCoreApplication>
#include <QList>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <memory>
#include <utility>

QNetworkAccessManager *g_networkAccessManager = nullptr;
QMutex g_networkMutex;

namespace {

constexpr int kMaxRunningReports = 2;

constexpr int kMaxWaitingReports = 16;

int s_timeoutForTest = 0;
int s_runningReports = 0;
QList<QUrl> s_waitingReports;

void sendWaitingReport()
{
    if (!s_waitingReports.isEmpty() && s_runningReports < kMaxRunningReports)
        networkGet(s_waitingReports.takeFirst(), RequestKind::Report);
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// A redirect may stay on the host, or move it from http to https; nothing else (another host
// would show that host's list as the maker's).
bool isAllowedRedirect(const QUrl &from, const QUrl &to)
{
    if (!isWebAddress(to) || to.host().compare(from.host(), Qt::CaseInsensitive) != 0)
        return false;
    return to.scheme() == from.scheme() || to.scheme() == QLatin1String("https");
}

// What has arrived of a reply, kept beside it (its child) up to one byte past the limit.
class ReplyBody : public QObject
{
    Q_OBJECT

public:
    ReplyBody(qint64 maxBytes, QNetworkReply *reply)
        : QObject(reply)
        , m_maxBytes(maxBytes)
    {
    }

    // Takes what the reply has; false once more than the limit has arrived (the rest stays there).
    bool take(QNetworkReply *reply)
    {
        m_bytes += reply->read(m_maxBytes + 1 - m_bytes.size());
        return m_bytes.size() <= m_maxBytes;
    }

    QByteArray release() { return std::exchange(m_bytes, QByteArray()); }

private:
    QByteArray m_bytes;
    qint64 m_maxBytes = 0;
};

} // namespace

RequestLimits requestLimits(RequestKind kind)
{
    RequestLimits limits;
    switch (kind) {
    case RequestKind::List:
        limits = {2 * 1024 * 1024, 15000};
        break;
    case RequestKind::Weather:
    case RequestKind::Location:
    case RequestKind::Holidays:
        limits = {256 * 1024, 15000};
        break;
    case RequestKind::Version:
        limits = {64 * 1024, 15000};
        break;
    case RequestKind::Picture:
        limits = {1024 * 1024, 15000};
        break;
    case RequestKind::Report:
        limits = {4 * 1024, 5000};
        break;
    }
    if (s_timeoutForTest > 0)
        limits.timeoutMs = s_timeoutForTest;
    return limits;
}

QNetworkReply *networkGet(const QUrl &url, RequestKind kind)
{
    if (!isWebAddress(url))
        return nullptr;
    if (kind == RequestKind::Report && s_runningReports >= kMaxRunningReports) {
        // Waits for one of the two to end; a flood of reports to a dead address is cut short.
        if (s_waitingReports.size() < kMaxWaitingReports)
            s_waitingReports.append(url);
        return nullptr;
    }
    const RequestLimits limits = requestLimits(kind);
    QNetworkRequest request(url);
    request.setTransferTimeout(limits.timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    if (kind == RequestKind::Report)
        request.setPriority(QNetworkRequest::LowPriority);

    QNetworkReply *reply = nullptr;
    {
        QMutexLocker locker(&g_networkMutex);
        if (!g_networkAccessManager)
            return nullptr;
        reply = g_networkAccessManager->get(request);
    }
    // The body is taken out of the reply as it arrives. Qt's HTTP thread hands on at most the read
    // buffer's size and waits for the reader to take it; Qt 6.4 can stop short of that size and wait
    // for good (seen on Windows), so a reader that left the data unread until the limit showed
    // would never see the limit.
    auto *body = new ReplyBody(limits.maxBytes, reply);
    // Qt stops reading from the socket once this much waits unread, so a flood never sits in
    // memory.
    reply->setReadBufferSize(limits.maxBytes + 1);
    const qint64 maxBytes = limits.maxBytes;
    // The announced size ends it at once, the data itself once it is more than the limit.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, maxBytes](qint64, qint64 total) {
                         if (total > maxBytes && reply->isRunning())
                             reply->abort();
                     });
    QObject::connect(reply, &QNetworkReply::readyRead, body, [reply, body] {
        if (!body->take(reply) && reply->isRunning())
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, url](const QUrl &target) {
        if (isAllowedRedirect(url, target))
            emit reply->redirectAllowed();
        else
            reply->abort();
    });
    if (kind == RequestKind::Report) {
        ++s_runningReports;
        // Counted off once, when it ends or (a manager deleted under it) when it goes.
        auto ended = std::make_shared<bool>(false);
        const auto end = [ended] {
            if (std::exchange(*ended, true))
                return;
            --s_runningReports;
            // The next report leaves from the event loop, never from inside a dying manager.
            if (!s_waitingReports.isEmpty() && QCoreApplication::instance())
                QMetaObject::invokeMethod(QCoreApplication::instance(), sendWaitingReport, Qt::QueuedConnection);
        };
        QObject::connect(reply, &QNetworkReply::finished, reply, end);
        QObject::connect(reply, &QObject::destroyed, end);
        QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    }
    return reply;
}

QByteArray replyBody(QNetworkReply *reply)
{
    if (!reply || reply->error() != QNetworkReply::NoError)
        return QByteArray();
    auto *body = reply->findChild<ReplyBody *>(QString(), Qt::FindDirectChildrenOnly);
    if (!body) // not issued by networkGet()
        return reply->read(64 * 1024 * 1024);
    if (!body->take(reply))
        return QByteArray();
    return body->release();
}

void setRequestTimeoutForTest(int timeoutMs)
{
    s_timeoutForTest = timeoutMs;
}

#include "Network.moc"

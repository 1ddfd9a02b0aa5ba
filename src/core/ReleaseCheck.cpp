#include "ReleaseCheck.h"

#include "Endpoints.h"
#include "Network.h"
#include "WebAddress.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QStringList>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// Marks the replies of checks the user asked for.
constexpr char kAskedProperty[] = "qpaAskedCheck";
// An asked check gives up after this long, so that the answer comes within ten seconds.
int g_askedTimeoutMs = 8000;
} // namespace

ReleaseCheck::ReleaseCheck(QObject *parent)
    : QObject(parent)
{
}

QNetworkReply *ReleaseCheck::start(bool asked)
{
    if (asked && m_askedRunning)
        return nullptr;
    QNetworkReply *reply = networkGet(Endpoints::makerSiteUrl(u"newrelease.html"_s), RequestKind::Version);
    if (!reply) {
        if (asked)
            emit unreachable();
        return nullptr;
    }
    reply->setProperty(kAskedProperty, asked);
    if (asked) {
        setAskedRunning(true);
        // The answer must come while the user still waits for it; a silent check may take longer.
        QTimer::singleShot(g_askedTimeoutMs, reply, [reply] { reply->abort(); });
    }
    return reply;
}

void ReleaseCheck::read(QNetworkReply *reply)
{
    if (!reply) {
        m_silent = false;
        return;
    }
    const bool asked = reply->property(kAskedProperty).toBool();
    const bool quiet = m_silent && !asked;
    if (asked)
        setAskedRunning(false);
    // At most 64 KiB (a release file is one short line); a larger one reads as empty.
    const QByteArray body = replyBody(reply);
    reply->deleteLater();
    const QStringList fields = QString::fromUtf8(body).split(u' ');
    if (body.isEmpty() || fields.size() < 2) {
        // Only the user who asked hears that there was no answer; the start-up check stays silent.
        if (asked)
            emit unreachable();
        return;
    }
    m_silent = false;
    if (isNewerVersion(QCoreApplication::applicationVersion(), fields.at(0))) {
        // The address comes from the network and goes to the system shell: web addresses only.
        const QUrl url(fields.at(1).trimmed(), QUrl::StrictMode);
        emit newerRelease(WebAddress::isOpenable(url) ? url : QUrl());
    } else if (!quiet) {
        emit upToDate();
    }
}

bool ReleaseCheck::isNewerVersion(const QString &current, const QString &offered)
{
    const QStringList currentParts = current.split(u'.');
    const QStringList offeredParts = offered.split(u'.');
    const qsizetype common = qMin(currentParts.size(), offeredParts.size());
    for (qsizetype i = 0; i < common; ++i) {
        const qint64 difference = qint64(offeredParts.at(i).toInt()) - qint64(currentParts.at(i).toInt());
        if (difference > 0)
            return true;
        if (difference < 0)
            return false;
    }
    return offeredParts.size() > currentParts.size();
}

void ReleaseCheck::setAskedTimeout(int milliseconds)
{
    g_askedTimeoutMs = milliseconds;
}

void ReleaseCheck::setAskedRunning(bool running)
{
    if (m_askedRunning == running)
        return;
    m_askedRunning = running;
    emit askedRunningChanged(running);
}

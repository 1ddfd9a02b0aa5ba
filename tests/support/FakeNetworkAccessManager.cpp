#include "FakeNetworkAccessManager.h"

#include "Network.h"

#include <QMutexLocker>
#include <QPointer>
#include <QTimer>

namespace {

class FakeReply : public QNetworkReply
{
public:
    FakeReply(const QNetworkRequest &request, const QByteArray &body,
              QNetworkReply::NetworkError error, QObject *parent)
        : QNetworkReply(parent), m_body(body)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(QNetworkAccessManager::GetOperation);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        if (error != QNetworkReply::NoError) {
            setError(error, QStringLiteral("fake network error"));
        } else {
            setAttribute(QNetworkRequest::HttpStatusCodeAttribute, 200);
            setHeader(QNetworkRequest::ContentLengthHeader, body.size());
        }
    }

    void finish()
    {
        if (isFinished())
            return;
        setFinished(true);
        if (error() != QNetworkReply::NoError)
            emit errorOccurred(error());
        else if (!m_body.isEmpty())
            emit readyRead();
        emit finished();
    }

    void abort() override
    {
        if (isFinished())
            return;
        setError(OperationCanceledError, QStringLiteral("aborted"));
        finish();
    }
    qint64 bytesAvailable() const override
    {
        return m_body.size() - m_pos + QNetworkReply::bytesAvailable();
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = qMin(maxSize, qint64(m_body.size()) - m_pos);
        if (n <= 0)
            return isFinished() ? -1 : 0;
        memcpy(data, m_body.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }

private:
    QByteArray m_body;
    qint64 m_pos = 0;
};

} // namespace

FakeNetworkAccessManager::FakeNetworkAccessManager(QObject *parent)
    : QNetworkAccessManager(parent)
{
}

void FakeNetworkAccessManager::setReply(const QString &url, const QByteArray &body)
{
    m_answers.insert(url, Answer{body, QNetworkReply::NoError});
}

void FakeNetworkAccessManager::setError(const QString &url, QNetworkReply::NetworkError error)
{
    m_answers.insert(url, Answer{QByteArray(), error});
}

void FakeNetworkAccessManager::setHold(bool hold)
{
    m_hold = hold;
}

void FakeNetworkAccessManager::release()
{
    const QList<QNetworkReply *> held = std::exchange(m_held, {});
    for (QNetworkReply *reply : held)
        static_cast<FakeReply *>(reply)->finish();
}

void FakeNetworkAccessManager::clearReplies()
{
    m_answers.clear();
}

int FakeNetworkAccessManager::requestCount(const QString &prefix) const
{
    int n = 0;
    for (const QUrl &url : m_requests) {
        if (url.toString().startsWith(prefix))
            ++n;
    }
    return n;
}

const FakeNetworkAccessManager::Answer *FakeNetworkAccessManager::findAnswer(const QString &url) const
{
    const auto exact = m_answers.constFind(url);
    if (exact != m_answers.constEnd())
        return &exact.value();
    const Answer *best = nullptr;
    qsizetype bestLength = -1;
    for (auto it = m_answers.constBegin(); it != m_answers.constEnd(); ++it) {
        const QString &key = it.key();
        if (!key.endsWith(u'*'))
            continue;
        const QStringView prefix = QStringView(key).chopped(1);
        if (url.startsWith(prefix) && prefix.size() > bestLength) {
            best = &it.value();
            bestLength = prefix.size();
        }
    }
    return best;
}

QNetworkReply *FakeNetworkAccessManager::createRequest(Operation op, const QNetworkRequest &request,
                                                       QIODevice *outgoingData)
{
    Q_UNUSED(op)
    Q_UNUSED(outgoingData)
    m_requests.append(request.url());
    const QString url = request.url().toString(QUrl::FullyEncoded);
    const Answer *answer = findAnswer(url);
    if (!answer)
        answer = findAnswer(request.url().toString());
    const Answer fallback{QByteArray(), QNetworkReply::ConnectionRefusedError};
    auto *reply = new FakeReply(request, answer ? answer->body : fallback.body,
                                answer ? answer->error : fallback.error, this);
    if (m_hold) {
        m_held.append(reply);
    } else {
        QPointer<FakeReply> guard(reply);
        QTimer::singleShot(0, this, [guard] {
            if (guard)
                guard->finish();
        });
    }
    return reply;
}

FakeNetworkAccessManager *installFakeNetwork()
{
    QMutexLocker locker(&g_networkMutex);
    delete g_networkAccessManager;
    auto *fake = new FakeNetworkAccessManager;
    g_networkAccessManager = fake;
    return fake;
}

// A network access manager for tests: canned bodies by URL, every request recorded, no sockets.
#pragma once

#include <QHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

class FakeNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    explicit FakeNetworkAccessManager(QObject *parent = nullptr);

    // Answers a GET of url with body. An address ending in "*" matches every URL that starts with
    // the text before it (the longest such prefix wins); otherwise the whole URL must match.
    void setReply(const QString &url, const QByteArray &body);
    // Answers url with a network error and an empty body.
    void setError(const QString &url, QNetworkReply::NetworkError error);
    // While held, replies are created but finish only on release() (or never).
    void setHold(bool hold);
    void release();
    void clearReplies();

    // Every URL requested, in order.
    QList<QUrl> requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    // How many requests went to addresses starting with prefix.
    int requestCount(const QString &prefix) const;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    struct Answer
    {
        QByteArray body;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
    };
    const Answer *findAnswer(const QString &url) const;

    QHash<QString, Answer> m_answers;
    QList<QUrl> m_requests;
    QList<QNetworkReply *> m_held;
    bool m_hold = false;
};

// Creates a FakeNetworkAccessManager and makes it g_networkAccessManager (the previous one is deleted).
FakeNetworkAccessManager *installFakeNetwork();

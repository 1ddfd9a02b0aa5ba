// Requests from later starts of the program to the running instance, over a per-user local socket.
// One request per connection: a line "show" or "capture"; the answer is "ok" or "refused".
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Request { Show, Capture };
    Q_ENUM(Request)

    // Longest request accepted, newline included; a longer one is refused unread.
    static constexpr qint64 kMaxRequestSize = 64;
    // Connections open at once; more are closed at once, so a flood costs nothing.
    static constexpr int kMaxConnections = 16;
    // A client that has not sent a whole request by then is dropped.
    static constexpr int kRequestDeadlineMs = 3000;

    explicit InstanceChannel(QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Listens on name, readable and writable by this user only. Whatever lies at name (the socket
    // of a killed instance, any other file) is removed first, so only the holder of the
    // single-instance guard may call this. False when the socket cannot be set up.
    bool listen(const QString &name);
    // The socket's path (Unix) or pipe name (Windows) while listening.
    QString fullServerName() const;

    // Asks the instance listening on name; true when it answered "ok" within timeoutMs. Blocking,
    // for a later start that has nothing else to do.
    static bool send(const QString &name, Request request, int timeoutMs);

signals:
    // A well-formed request arrived (emitted after it has been answered).
    void requested(InstanceChannel::Request request);

private:
    void onNewConnection();
    void readRequest(QLocalSocket *socket);
    void answer(QLocalSocket *socket, bool accepted);

    QLocalServer *m_server;
};

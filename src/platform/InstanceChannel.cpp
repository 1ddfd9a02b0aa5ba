#include "InstanceChannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace {

constexpr char kShow[] = "show";
constexpr char kCapture[] = "capture";
constexpr char kOk[] = "ok\n";
constexpr char kRefused[] = "refused\n";

QByteArray requestLine(InstanceChannel::Request request)
{
    return QByteArray(request == InstanceChannel::Request::Capture ? kCapture : kShow) + '\n';
}

} // namespace

InstanceChannel::InstanceChannel(QObject *parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(kMaxConnections);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::onNewConnection);
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::listen(const QString &name)
{
    m_server->close();
    // The guard is ours, so anything at the name is left over from an instance that died.
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

QString InstanceChannel::fullServerName() const
{
    return m_server->fullServerName();
}

void InstanceChannel::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (findChildren<QLocalSocket *>(Qt::FindDirectChildrenOnly).size() >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);
        // Bounded buffer: an endless stream without a newline stops at the limit and is refused.
        socket->setReadBufferSize(kMaxRequestSize + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kRequestDeadlineMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            readRequest(socket);
    }
}

void InstanceChannel::readRequest(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestSize)
            answer(socket, false);
        return;
    }
    const QByteArray line = socket->readLine(kMaxRequestSize + 1);
    const QByteArray word = line.endsWith('\n') ? line.chopped(1) : QByteArray();
    if (word == kShow || word == kCapture) {
        answer(socket, true);
        emit requested(word == kShow ? Request::Show : Request::Capture);
    } else {
        answer(socket, false);
    }
}

void InstanceChannel::answer(QLocalSocket *socket, bool accepted)
{
    // One request per connection: whatever else the client sends is not read.
    QObject::disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(accepted ? kOk : kRefused);
    // Flushes the answer, then closes.
    socket->disconnectFromServer();
}

bool InstanceChannel::send(const QString &name, Request request, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The running instance takes the guard a moment before it listens: try again until then.
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(requestLine(request));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (!socket.canReadLine() && socket.bytesAvailable() <= kMaxRequestSize) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    return socket.readLine(kMaxRequestSize + 1) == kOk;
}

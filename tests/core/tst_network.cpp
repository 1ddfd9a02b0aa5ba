// The request helper against a real HTTP server on the loopback: time limit, size limit while
// the reply arrives, the redirect rule, web addresses only, and reports that never starve pages.
#include "Network.h"
#include "TestMain.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Answers by path: /ok, /stall (headers, then nothing), /flood (an endless body), /huge-length
// (announces 100 MB), /bytes?n=N (N bytes, then the end), /same (redirects on the host), /other
// (redirects to another host name of this machine), /file (redirects to a local file), /hang
// (never answers).
class HostileServer : public QTcpServer
{
public:
    HostileServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
    }

    QString url(const QString &path) const { return u"http://127.0.0.1:%1%2"_s.arg(serverPort()).arg(path); }
    qint64 floodSent = 0;

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        if (path == "/ok") {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
        } else if (path == "/stall") {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
        } else if (path == "/huge-length") {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n");
            socket->write(QByteArray(1000, 'x'));
        } else if (path == "/flood") {
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [this, socket] {
                // Keeps a few chunks queued; stops by itself after 64 MiB.
                while (socket->bytesToWrite() < 256 * 1024 && floodSent < 64 * 1024 * 1024) {
                    socket->write(QByteArray(64 * 1024, '<'));
                    floodSent += 64 * 1024;
                }
            });
            timer->start(1);
        } else if (path.startsWith("/bytes?n=")) {
            const qsizetype size = path.mid(9).toLongLong();
            // No length announced: only what arrives can tell the size.
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            socket->write(QByteArray(size, 'x'));
            socket->disconnectFromHost();
        } else if (path == "/same") {
            socket->write("HTTP/1.1 302 Found\r\nLocation: /ok\r\nContent-Length: 0\r\n\r\n");
        } else if (path == "/other") {
            socket->write("HTTP/1.1 302 Found\r\nLocation: http://localhost:" + QByteArray::number(serverPort())
                          + "/ok\r\nContent-Length: 0\r\n\r\n");
        } else if (path == "/file") {
            socket->write("HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\nContent-Length: 0\r\n\r\n");
        }
        // "/hang" and anything else: no answer at all.
    }
};

// Waits for reply to finish and returns its body through the helper.
QByteArray finish(QNetworkReply *reply)
{
    if (!reply)
        return "<no reply>";
    if (reply->isRunning()) {
        QSignalSpy done(reply, &QNetworkReply::finished);
        if (!done.wait(20000))
            return "<still running>";
    }
    const QByteArray body = replyBody(reply);
    reply->deleteLater();
    return body;
}

} // namespace

class TestNetwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        g_networkAccessManager = new QNetworkAccessManager;
        g_networkAccessManager->setProxy(QNetworkProxy::NoProxy);
    }
    void cleanupTestCase()
    {
        delete g_networkAccessManager;
        g_networkAccessManager = nullptr;
    }
    void cleanup() { setRequestTimeoutForTest(0); }

    void answers_data();
    void answers();
    void floodIsAbortedWhileArriving();
    void sizeLimit_data();
    void sizeLimit();
    void onlyWebAddresses_data();
    void onlyWebAddresses();
    void hungReportsNeverStarvePages();
};

void TestNetwork::answers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("plain") << u"/ok"_s << QByteArray("ok");
    QTest::newRow("headers then nothing") << u"/stall"_s << QByteArray();
    QTest::newRow("no answer") << u"/hang"_s << QByteArray();
    QTest::newRow("announced 100 MB") << u"/huge-length"_s << QByteArray();
    QTest::newRow("redirect on the host") << u"/same"_s << QByteArray("ok");
    QTest::newRow("redirect to another host") << u"/other"_s << QByteArray();
    QTest::newRow("redirect to a file") << u"/file"_s << QByteArray();
}

void TestNetwork::answers()
{
    QFETCH(QString, path);
    HostileServer server;
    // The real limit is 15 s; the rule is the same.
    setRequestTimeoutForTest(500);
    QTEST(finish(networkGet(QUrl(server.url(path)), RequestKind::List)), "body");
}

void TestNetwork::floodIsAbortedWhileArriving()
{
    HostileServer server;
    // Only the size limit may end it: without it the reply would still run when finish() gives up.
    setRequestTimeoutForTest(60000);
    QNetworkReply *reply = networkGet(QUrl(server.url(u"/flood"_s)), RequestKind::Weather);
    QVERIFY(reply);
    QCOMPARE(finish(reply), QByteArray());
    // Aborted near the 256 KiB limit, long before the server's 64 MiB were taken.
    QVERIFY2(server.floodSent < 16 * 1024 * 1024, qPrintable(QString::number(server.floodSent)));
}

void TestNetwork::sizeLimit_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("accepted");
    for (const RequestKind kind : {RequestKind::List, RequestKind::Weather}) {
        const qint64 limit = requestLimits(kind).maxBytes;
        const QByteArray name = QByteArray::number(limit) + " bytes: ";
        QTest::newRow(name + "small") << int(kind) << qint64(100) << true;
        QTest::newRow(name + "exactly") << int(kind) << limit << true;
        QTest::newRow(name + "one byte over") << int(kind) << limit + 1 << false;
    }
}

void TestNetwork::sizeLimit()
{
    QFETCH(int, kind);
    QFETCH(qint64, size);
    QFETCH(bool, accepted);
    HostileServer server;
    setRequestTimeoutForTest(5000);
    const QByteArray body = finish(networkGet(QUrl(server.url(u"/bytes?n=%1"_s.arg(size))), RequestKind(kind)));
    QCOMPARE(body.size(), accepted ? size : 0);
}

void TestNetwork::onlyWebAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("file") << u"file:///etc/passwd"_s;
    QTest::newRow("relative") << u"/usr/share/pixmaps/x.png"_s;
    QTest::newRow("ftp") << u"ftp://127.0.0.1/x"_s;
    QTest::newRow("no host") << u"http:///x"_s;
    QTest::newRow("data") << u"data:image/png;base64,AAAA"_s;
}

void TestNetwork::onlyWebAddresses()
{
    QFETCH(QString, url);
    QCOMPARE(networkGet(QUrl(url), RequestKind::Picture), nullptr);
}

void TestNetwork::hungReportsNeverStarvePages()
{
    // A report address that never answers: Qt keeps six connections per host, and reports must
    // never hold the ones the pages need.
    HostileServer server;
    int issued = 0;
    for (int i = 0; i < 8; ++i)
        issued += networkGet(QUrl(server.url(u"/hang?action=%1"_s.arg(i))), RequestKind::Report) ? 1 : 0;
    QCOMPARE(issued, 2); // the others wait for these to end
    QList<QNetworkReply *> pages;
    for (int i = 0; i < 4; ++i)
        pages.append(networkGet(QUrl(server.url(u"/ok"_s)), RequestKind::List));
    for (QNetworkReply *page : pages)
        QCOMPARE(finish(page), QByteArray("ok"));
}

QPA_TEST_MAIN(TestNetwork)
#include "tst_network.moc"

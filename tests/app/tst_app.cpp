// The real program as a process: one instance per user session, and a killed one does not block;
// the channel later starts talk to the running instance through.
#include "InstanceChannel.h"
#include "SingleInstance.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

using namespace Qt::StringLiterals;

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void guardInOneProcess();
    void guardLeftWithThisProcessNumber();
    void secondStartEndsAtOnce();
    void startupTrace_data();
    void startupTrace();

    void channelRequests_data();
    void channelRequests();
    void channelSend_data();
    void channelSend();
    void channelAnswersBesideStalledClients();
    void channelIsPrivate();
    void channelTakesOverLeftovers_data();
    void channelTakesOverLeftovers();
    void channelClosesBeforeGuardIsReleased();

private:
    // trace: the value of QPA_STARTUP_TRACE; any other than "0" keeps stderr for the test to read.
    static void start(QProcess &process, const QString &trace = u"0"_s, const QString &dataHome = {});
    static bool waitUntilHolding(const QString &lockPath);
};

namespace {

using Request = InstanceChannel::Request;

QString channelName(const QString &key)
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u'/' + key + u".socket"_s;
}

// InstanceChannel::send blocks, and the channel answers from this thread's event loop.
bool sendFromThread(const QString &name, Request request)
{
    bool answered = false;
    std::unique_ptr<QThread> thread(QThread::create([&] { answered = InstanceChannel::send(name, request, 5000); }));
    thread->start();
    const bool finished = QTest::qWaitFor([&] { return thread->isFinished(); }, 10000);
    thread->wait();
    return finished && answered;
}

// Writes bytes as a client and returns everything the channel answered until it hung up.
QByteArray exchange(const QString &name, const QByteArray &bytes, bool hangUp)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(2000))
        return "(no connection)";
    socket.write(bytes);
    if (hangUp) {
        socket.flush();
        socket.disconnectFromServer();
    }
    QByteArray answer;
    const bool hungUp = QTest::qWaitFor([&] {
        if (socket.isOpen())
            answer += socket.readAll();
        return socket.state() == QLocalSocket::UnconnectedState;
    }, 5000);
    return hungUp ? answer : "(still connected)";
}

} // namespace

void TestApp::start(QProcess &process, const QString &trace, const QString &dataHome)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!dataHome.isEmpty())
        env.insert(u"XDG_DATA_HOME"_s, dataHome);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"QPA_STARTUP_TRACE"_s, trace);
    // No network: the program must not wait for any answer.
    env.insert(u"http_proxy"_s, u"http://127.0.0.1:9"_s);
    process.setProcessEnvironment(env);
    if (trace == u"0")
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(QPA_PROGRAM), {});
}

bool TestApp::waitUntilHolding(const QString &lockPath)
{
    for (int i = 0; i < 100 && !QFile::exists(lockPath); ++i)
        QTest::qWait(50);
    return QFile::exists(lockPath);
}

void TestApp::guardInOneProcess()
{
    SingleInstance first(u"tst_guard"_s);
    SingleInstance second(u"tst_guard"_s);
    QVERIFY(first.tryAcquire());
    QVERIFY(first.tryAcquire()); // asking again keeps it
    QVERIFY(!second.tryAcquire());
    QVERIFY(first.lockFilePath().startsWith(
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)));
}

void TestApp::guardLeftWithThisProcessNumber()
{
    // What a killed instance leaves when a later start gets its process number: Wine numbers
    // processes the same at every start.
    SingleInstance instance(u"tst_reused_pid"_s);
    QFile leftover(instance.lockFilePath());
    QVERIFY(leftover.open(QIODevice::WriteOnly | QIODevice::Truncate));
    leftover.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n'
                   + QCoreApplication::applicationName().toUtf8() + '\n'
                   + QSysInfo::machineHostName().toUtf8() + '\n');
    leftover.close();
    QVERIFY(instance.tryAcquire());
    instance.release();
    QVERIFY(!QFile::exists(instance.lockFilePath()));
}

void TestApp::secondStartEndsAtOnce()
{
    const QString lockPath =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u"/torvel_tool_kit_mutex.lock"_s;
    QProcess first;
    start(first);
    QVERIFY(first.waitForStarted());
    QVERIFY(waitUntilHolding(lockPath));

    QProcess second;
    start(second);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // A killed holder leaves its lock file and its socket behind; the next start must take both over.
    const QString socketPath = channelName(u"torvel_tool_kit_mutex"_s);
    QTRY_VERIFY(QFile::exists(socketPath));
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFile::exists(lockPath));
    QVERIFY(QFile::exists(socketPath));
    QVERIFY(!InstanceChannel::send(socketPath, Request::Show, 300));

    QProcess third;
    start(third);
    QVERIFY(third.waitForStarted());
    QVERIFY(!third.waitForFinished(2000));
    QCOMPARE(third.state(), QProcess::Running);
    QVERIFY(sendFromThread(socketPath, Request::Show));
    QVERIFY(sendFromThread(socketPath, Request::Capture));
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(5000);
}

void TestApp::startupTrace_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<bool>("traced");
    QTest::newRow("QPA_STARTUP_TRACE=1") << u"1"_s << true;
    QTest::newRow("QPA_STARTUP_TRACE=yes") << u"yes"_s << false;
}

void TestApp::startupTrace()
{
    QFETCH(QString, variable);
    QFETCH(bool, traced);
    const QString lockPath =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u"/torvel_tool_kit_mutex.lock"_s;
    // A first start of its own: default settings, so the floating window shows.
    QTemporaryDir dataHome;
    QVERIFY(dataHome.isValid());
    QProcess program;
    start(program, variable, dataHome.path());
    QVERIFY(program.waitForStarted());
    QVERIFY(waitUntilHolding(lockPath));
    // The channel is made before the event loop runs; the main window (no tray offscreen) after.
    QTRY_VERIFY(QFile::exists(channelName(u"torvel_tool_kit_mutex"_s)));
    QByteArray err;
    const auto received = [&] {
        err += program.readAllStandardError();
        return err.contains("event loop entered") && err.contains("main window painted");
    };
    const bool complete = QTest::qWaitFor(received, traced ? 10000 : 1000);
    QCOMPARE(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished(5000);
    err += program.readAllStandardError();
    if (!traced) {
        QVERIFY(!complete);
        QVERIFY2(!err.contains("qpa-startup"), err.constData());
        return;
    }
    QVERIFY2(complete, err.constData());
    QStringList milestones;
    double previous = 0;
    double previousCpu = 0;
    const QRegularExpression line(u"^qpa-startup: (\\d+\\.\\d) ms (.+) \\(cpu (\\d+\\.\\d) ms\\)$"_s);
    for (const QString &text : QString::fromUtf8(err).split(u'\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            continue;
        const double ms = m.captured(1).toDouble();
        QVERIFY2(ms >= previous, qPrintable(text));
        QVERIFY2(ms < 60000, qPrintable(text));
        previous = ms;
        // The CPU time used grows too, and never beyond the time passed on a single thread's start.
        const double cpu = m.captured(3).toDouble();
        QVERIFY2(cpu >= previousCpu, qPrintable(text));
        previousCpu = cpu;
        milestones << m.captured(2);
    }
    QCOMPARE(milestones.value(0), u"main entered"_s);
    for (const QString &expected : {u"settings read"_s, u"tray shown"_s, u"floating window shown"_s,
                                    u"event loop entered"_s, u"main window built"_s, u"website page built"_s})
        QVERIFY2(milestones.contains(expected), qPrintable(milestones.join(u", "_s)));
    // The floating window comes with the settings, first; the tray icon at the first loop turn.
    QVERIFY(milestones.indexOf(u"settings read"_s) < milestones.indexOf(u"floating window shown"_s));
    QVERIFY(milestones.indexOf(u"floating window shown"_s) < milestones.indexOf(u"tray shown"_s));
    QVERIFY(milestones.indexOf(u"tray shown"_s) < milestones.indexOf(u"start-up requests sent"_s));
}

void TestApp::channelRequests_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("hangUp");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("requests");
    QTest::newRow("show") << QByteArray("show\n") << false << QByteArray("ok\n") << 1;
    QTest::newRow("capture") << QByteArray("capture\n") << false << QByteArray("ok\n") << 1;
    QTest::newRow("one request per connection") << QByteArray("show\nshow\ncapture\n") << false
                                                << QByteArray("ok\n") << 1;
    QTest::newRow("unknown word") << QByteArray("hello\n") << false << QByteArray("refused\n") << 0;
    QTest::newRow("other case") << QByteArray("SHOW\n") << false << QByteArray("refused\n") << 0;
    QTest::newRow("carriage return") << QByteArray("show\r\n") << false << QByteArray("refused\n") << 0;
    QTest::newRow("empty line") << QByteArray("\n") << false << QByteArray("refused\n") << 0;
    QTest::newRow("binary") << QByteArray("\0\xff\xfe\x01show\n", 9) << false << QByteArray("refused\n") << 0;
    QTest::newRow("no newline, hung up") << QByteArray("show") << true << QByteArray() << 0;
    QTest::newRow("just over the limit") << QByteArray(InstanceChannel::kMaxRequestSize, 'x') + '\n' << false
                                         << QByteArray("refused\n") << 0;
    QTest::newRow("a megabyte without newline") << QByteArray(1 << 20, 's') << false << QByteArray("refused\n") << 0;
}

void TestApp::channelRequests()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, hangUp);
    QFETCH(QByteArray, answer);
    QFETCH(int, requests);
    InstanceChannel channel;
    const QString name = channelName(u"tst_channel"_s);
    QVERIFY(channel.listen(name));
    QSignalSpy spy(&channel, &InstanceChannel::requested);
    const QByteArray got = exchange(name, bytes, hangUp);
    // A refused megabyte may be cut off by the hang-up before the answer is read; never accepted.
    if (bytes.size() < 4096 || !got.isEmpty())
        QCOMPARE(got, answer);
    QCOMPARE(spy.size(), requests);
    if (requests == 1)
        QCOMPARE(spy.first().first().value<Request>(), bytes.startsWith("show") ? Request::Show : Request::Capture);
    // The channel still serves the next start.
    QVERIFY(sendFromThread(name, Request::Capture));
    QCOMPARE(spy.size(), requests + 1);
    QCOMPARE(spy.last().first().value<Request>(), Request::Capture);
}

void TestApp::channelSend_data()
{
    QTest::addColumn<Request>("request");
    QTest::newRow("show") << Request::Show;
    QTest::newRow("capture") << Request::Capture;
}

void TestApp::channelSend()
{
    QFETCH(Request, request);
    InstanceChannel channel;
    const QString name = channelName(u"tst_send"_s);
    QVERIFY(channel.listen(name));
    QSignalSpy spy(&channel, &InstanceChannel::requested);
    QVERIFY(sendFromThread(name, request));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<Request>(), request);
    // Nobody listening: no answer, within the time given.
    QVERIFY(!InstanceChannel::send(channelName(u"tst_nobody"_s), request, 300));
}

void TestApp::channelAnswersBesideStalledClients()
{
    InstanceChannel channel;
    const QString name = channelName(u"tst_stalled"_s);
    QVERIFY(channel.listen(name));
    QSignalSpy spy(&channel, &InstanceChannel::requested);
    std::vector<std::unique_ptr<QLocalSocket>> stalled;
    for (int i = 0; i < 3; ++i) {
        stalled.push_back(std::make_unique<QLocalSocket>());
        stalled.back()->connectToServer(name);
        QVERIFY(stalled.back()->waitForConnected(2000));
        stalled.back()->write("sho"); // and never more
    }
    QVERIFY(sendFromThread(name, Request::Show));
    QCOMPARE(spy.size(), 1);
}

void TestApp::channelIsPrivate()
{
    InstanceChannel channel;
    const QString name = channelName(u"tst_private"_s);
    QVERIFY(channel.listen(name));
    QCOMPARE(channel.fullServerName(), name);
    const QFileInfo socket(name);
    QVERIFY(socket.exists());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                      | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(socket.permissions() & others, QFile::Permissions());
    QVERIFY(socket.permissions() & QFile::WriteOwner);
}

void TestApp::channelTakesOverLeftovers_data()
{
    QTest::addColumn<QString>("leftover");
    QTest::addColumn<bool>("listens");
    QTest::newRow("nothing") << QString() << true;
    QTest::newRow("a plain file") << u"file"_s << true;
    QTest::newRow("a folder") << u"folder"_s << false;
}

void TestApp::channelTakesOverLeftovers()
{
    QFETCH(QString, leftover);
    QFETCH(bool, listens);
    SingleInstance instance(u"tst_leftover"_s);
    const QString name = instance.channelName();
    QCOMPARE(name, channelName(u"tst_leftover"_s));
    QFile::remove(name);
    QDir(name).removeRecursively();
    if (leftover == u"file") {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a socket");
    } else if (leftover == u"folder") {
        QVERIFY(QDir().mkpath(name + u"/inside"_s));
    }
    QVERIFY(!instance.listen()); // not before the guard is held
    QVERIFY(instance.tryAcquire());
    InstanceChannel *channel = instance.listen();
    QCOMPARE(channel != nullptr, listens);
    if (!listens)
        return;
    QSignalSpy spy(channel, &InstanceChannel::requested);
    QVERIFY(sendFromThread(name, Request::Show));
    QCOMPARE(spy.size(), 1);
}

void TestApp::channelClosesBeforeGuardIsReleased()
{
    SingleInstance first(u"tst_handover"_s);
    QVERIFY(first.tryAcquire());
    QVERIFY(first.listen());
    first.release();
    QVERIFY(!QFile::exists(first.channelName()));
    // The successor's socket survives the end of its predecessor.
    SingleInstance second(u"tst_handover"_s);
    QVERIFY(second.tryAcquire());
    QVERIFY(second.listen());
    first.release();
    QVERIFY(QFile::exists(second.channelName()));
    QVERIFY(sendFromThread(second.channelName(), Request::Show));
}

QPA_TEST_MAIN(TestApp)
#include "tst_app.moc"

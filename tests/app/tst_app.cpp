// The real program as a process: one instance per user session, and a killed one does not block.
#include "SingleInstance.h"
#include "TestMain.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void guardInOneProcess();
    void secondStartEndsAtOnce();

private:
    static void start(QProcess &process);
    static bool waitUntilHolding(const QString &lockPath);
};

void TestApp::start(QProcess &process)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    // No network: the program must not wait for any answer.
    env.insert(u"http_proxy"_s, u"http://127.0.0.1:9"_s);
    process.setProcessEnvironment(env);
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

    // A killed holder leaves its lock file behind; the next start must take it over.
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFile::exists(lockPath));

    QProcess third;
    start(third);
    QVERIFY(third.waitForStarted());
    QVERIFY(!third.waitForFinished(2000));
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(5000);
}

QPA_TEST_MAIN(TestApp)
#include "tst_app.moc"

// The release check: what each answer of the release file means, the silence of the start-up
// check, and an asked check that always answers once.
#include "Endpoints.h"
#include "FakeNetworkAccessManager.h"
#include "ReleaseCheck.h"
#include "TestMain.h"

#include <QNetworkReply>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

const QString kRelease = Endpoints::makerSiteUrl(u"newrelease.html"_s).toString();

// What the check said, one word per signal, in order.
class Recorder : public QObject
{
public:
    explicit Recorder(ReleaseCheck *check)
    {
        connect(check, &ReleaseCheck::newerRelease, this, [this](const QUrl &url) {
            said << (url.isEmpty() ? u"newer, no address"_s : u"newer "_s + url.toString());
        });
        connect(check, &ReleaseCheck::upToDate, this, [this] { said << u"latest"_s; });
        connect(check, &ReleaseCheck::unreachable, this, [this] { said << u"unreachable"_s; });
    }
    QStringList said;
};

// Starts one check and reads its reply when it finishes.
void runCheck(ReleaseCheck &check, bool asked)
{
    QNetworkReply *reply = check.start(asked);
    if (!reply)
        return;
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QObject::connect(reply, &QNetworkReply::finished, &check, [&check, reply] { check.read(reply); });
    QVERIFY(finished.wait(5000));
}

} // namespace

class TestReleaseCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void answers_data();
    void answers();
    void unusableAnswerKeepsStartupSilence();
    void askedCheckRunsOnce();
    void askedCheckGivesUp();
    void noSenderEndsSilence();

private:
    FakeNetworkAccessManager *m_net = nullptr;
};

void TestReleaseCheck::init()
{
    m_net = installFakeNetwork();
    ReleaseCheck::setAskedTimeout(8000);
}

void TestReleaseCheck::answers_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("atStart");
    QTest::addColumn<QStringList>("whenAsked");
    const QString url = u"http://www.quorvik.cn/setup.exe"_s;
    const QStringList newer{u"newer "_s + url};
    QTest::newRow("same version") << ("2.0.0.2 " + url.toUtf8()) << QStringList() << QStringList{u"latest"_s};
    QTest::newRow("newer") << ("2.0.0.10 " + url.toUtf8()) << newer << newer;
    QTest::newRow("older") << ("2.0 " + url.toUtf8()) << QStringList() << QStringList{u"latest"_s};
    QTest::newRow("newer, a local file") << QByteArray("3.0 file:///usr/bin/xterm")
                                         << QStringList{u"newer, no address"_s}
                                         << QStringList{u"newer, no address"_s};
    QTest::newRow("one field") << QByteArray("2.0.0.3") << QStringList() << QStringList{u"unreachable"_s};
    QTest::newRow("empty") << QByteArray() << QStringList() << QStringList{u"unreachable"_s};
}

void TestReleaseCheck::answers()
{
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, atStart);
    QFETCH(QStringList, whenAsked);
    m_net->setReply(kRelease, reply);
    ReleaseCheck check;
    Recorder recorder(&check);
    runCheck(check, false);
    QCOMPARE(recorder.said, atStart);
    recorder.said.clear();
    runCheck(check, true);
    QCOMPARE(recorder.said, whenAsked);
}

// Only an answer with two fields ends the silence of the start-up check.
void TestReleaseCheck::unusableAnswerKeepsStartupSilence()
{
    ReleaseCheck check;
    Recorder recorder(&check);
    m_net->setReply(kRelease, "garbage");
    runCheck(check, false);
    m_net->setReply(kRelease, "2.0.0.2 http://www.quorvik.cn/setup.exe");
    runCheck(check, false);
    QVERIFY(recorder.said.isEmpty());
    runCheck(check, false);
    QCOMPARE(recorder.said, QStringList{u"latest"_s});
}

void TestReleaseCheck::askedCheckRunsOnce()
{
    m_net->setReply(kRelease, "2.0.0.2 http://www.quorvik.cn/setup.exe");
    m_net->setHold(true);
    ReleaseCheck check;
    QSignalSpy running(&check, &ReleaseCheck::askedRunningChanged);
    QNetworkReply *reply = check.start(true);
    QVERIFY(reply);
    QVERIFY(check.askedRunning());
    QVERIFY(!check.start(true));
    QCOMPARE(m_net->requestCount(kRelease), 1);
    // A silent check may run beside it.
    QVERIFY(check.start(false));
    m_net->setHold(false);
    m_net->release();
    QVERIFY(reply->isFinished());
    QVERIFY(check.askedRunning());
    check.read(reply);
    QVERIFY(!check.askedRunning());
    QCOMPARE(running.size(), 2);
}

void TestReleaseCheck::askedCheckGivesUp()
{
    m_net->setReply(kRelease, "2.0.0.3 http://www.quorvik.cn/setup.exe");
    m_net->setHold(true);
    ReleaseCheck::setAskedTimeout(20);
    ReleaseCheck check;
    Recorder recorder(&check);
    runCheck(check, true);
    QCOMPARE(recorder.said, QStringList{u"unreachable"_s});
    QVERIFY(!check.askedRunning());
    m_net->setHold(false);
}

void TestReleaseCheck::noSenderEndsSilence()
{
    m_net->setReply(kRelease, "2.0.0.2 http://www.quorvik.cn/setup.exe");
    ReleaseCheck check;
    Recorder recorder(&check);
    check.read(nullptr);
    QVERIFY(recorder.said.isEmpty());
    runCheck(check, false);
    QCOMPARE(recorder.said, QStringList{u"latest"_s});
}

QPA_TEST_MAIN(TestReleaseCheck)
#include "tst_releasecheck.moc"

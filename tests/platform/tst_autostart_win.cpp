// Start at login on Windows: the value under the user's Run key, written, read back and removed.
// The user's own state is put back afterwards, so the test can run on a developer's machine.
#include "AutoStart.h"
#include "TestMain.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

const QString kRunKey = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"_s;
const QString kApprovedKey =
    u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run"_s;
const QString kValueName = u"QuorvikPcAssist"_s;

} // namespace

class TestAutoStartWin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void switchOnAndOff_data();
    void switchOnAndOff();

private:
    QVariant m_savedRun;
    QVariant m_savedApproved;
};

void TestAutoStartWin::initTestCase()
{
    QVERIFY(AutoStart::isSupported());
    m_savedRun = QSettings(kRunKey, QSettings::NativeFormat).value(kValueName);
    m_savedApproved = QSettings(kApprovedKey, QSettings::NativeFormat).value(kValueName);
}

void TestAutoStartWin::cleanupTestCase()
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    QSettings approved(kApprovedKey, QSettings::NativeFormat);
    if (m_savedRun.isValid())
        run.setValue(kValueName, m_savedRun);
    else
        run.remove(kValueName);
    if (m_savedApproved.isValid())
        approved.setValue(kValueName, m_savedApproved);
}

void TestAutoStartWin::switchOnAndOff_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << u"C:/Programs/QuorvikPcAssist.exe"_s << u"\"C:\\Programs\\QuorvikPcAssist.exe\""_s;
    QTest::newRow("blanks and Chinese")
        << u"C:/Users/张三/App Data/QuorvikPcAssist.exe"_s << u"\"C:\\Users\\张三\\App Data\\QuorvikPcAssist.exe\""_s;
}

void TestAutoStartWin::switchOnAndOff()
{
    QFETCH(QString, program);
    QFETCH(QString, stored);
    // Task Manager's "off" for the same name is dropped on switching on, or it would win at login.
    QSettings(kApprovedKey, QSettings::NativeFormat).setValue(kValueName, QByteArray("\x03\0\0\0", 4));
    for (bool wanted : {true, true, false, false, true}) {
        QVERIFY(AutoStart::setEnabled(wanted, program));
        QCOMPARE(AutoStart::isEnabled(), wanted);
        const QSettings run(kRunKey, QSettings::NativeFormat);
        QCOMPARE(run.value(kValueName).toString(), wanted ? stored : QString());
        if (wanted)
            QVERIFY(!QSettings(kApprovedKey, QSettings::NativeFormat).contains(kValueName));
    }
    QVERIFY(AutoStart::setEnabled(false, program));
}

QPA_TEST_MAIN(TestAutoStartWin)
#include "tst_autostart_win.moc"

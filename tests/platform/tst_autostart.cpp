// Start at login through the XDG autostart folders: the user's entry written and removed, the
// package's system-wide entry shadowed, and what a desktop would read afterwards.
#include "AutoStart.h"
#include "DesktopEntry.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const QString kName = u"quorvik-pc-assist.desktop"_s;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray entryText(const QString &state)
{
    QByteArray text = "[Desktop Entry]\nType=Application\nName=Quorvik\nExec=QuorvikPcAssist\n";
    if (state == u"hidden")
        text += "Hidden=true\n";
    else if (state == u"switched off")
        text += "X-GNOME-Autostart-enabled=false\n";
    else if (state == u"broken")
        text = "this is no desktop entry\n";
    return text;
}

} // namespace

class TestAutoStart : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void switchOnAndOff_data();
    void switchOnAndOff();
    void execReadsBack_data();
    void execReadsBack();
    void blockedFolderReportsFailure_data();
    void blockedFolderReportsFailure();

private:
    QString userEntry() const { return m_config->path() + u"/autostart/"_s + kName; }
    QString systemEntry() const { return m_system->path() + u"/autostart/"_s + kName; }

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_system;
};

void TestAutoStart::init()
{
    // The machine's own /etc/xdg may hold the installed package's entry: never look there.
    m_config = std::make_unique<QTemporaryDir>();
    m_system = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", m_system->path().toLocal8Bit());
    QVERIFY(AutoStart::isSupported());
}

void TestAutoStart::switchOnAndOff_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("startsBefore");
    QTest::newRow("nothing installed") << u"none"_s << u"none"_s << false;
    QTest::newRow("package entry") << u"starts"_s << u"none"_s << true;
    QTest::newRow("package entry, user hid it") << u"starts"_s << u"hidden"_s << false;
    QTest::newRow("package entry, switched off by the desktop") << u"starts"_s << u"switched off"_s << false;
    QTest::newRow("package entry, broken user entry") << u"starts"_s << u"broken"_s << false;
    QTest::newRow("hidden package entry") << u"hidden"_s << u"none"_s << false;
    QTest::newRow("own entry only") << u"none"_s << u"starts"_s << true;
}

void TestAutoStart::switchOnAndOff()
{
    QFETCH(QString, system);
    QFETCH(QString, user);
    QFETCH(bool, startsBefore);
    if (system != u"none")
        QVERIFY(writeFile(systemEntry(), entryText(system)));
    if (user != u"none")
        QVERIFY(writeFile(userEntry(), entryText(user)));
    QCOMPARE(AutoStart::isEnabled(), startsBefore);

    const bool systemStarts = system == u"starts";
    const QString program = u"/opt/quorvik/QuorvikPcAssist"_s;
    for (bool wanted : {!startsBefore, startsBefore, true, true, false, false}) {
        QVERIFY(AutoStart::setEnabled(wanted, program));
        QCOMPARE(AutoStart::isEnabled(), wanted);
        // The user's entry exists only where it must say something the system's does not.
        const bool own = wanted != systemStarts;
        QCOMPARE(QFile::exists(userEntry()), own);
        if (own) {
            const DesktopEntry entry = DesktopEntries::read(userEntry());
            QVERIFY(entry.valid);
            QCOMPARE(entry.hidden, !wanted);
            QCOMPARE(DesktopEntries::commandLine(entry, userEntry()), QStringList{program});
        }
        // The package's entry is never touched.
        QCOMPARE(QFile::exists(systemEntry()), system != u"none");
    }
}

void TestAutoStart::execReadsBack_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << u"/usr/lib/quorvik-pc-assist/QuorvikPcAssist"_s;
    QTest::newRow("blanks") << u"/home/张三/My Programs/QuorvikPcAssist"_s;
    QTest::newRow("quotes and shell characters") << u"/opt/a\"b$c`d'e;f&g/QuorvikPcAssist"_s;
    QTest::newRow("backslash") << u"/opt/back\\slash dir/QuorvikPcAssist"_s;
    QTest::newRow("percent") << u"/opt/100%/QuorvikPcAssist"_s;
}

void TestAutoStart::execReadsBack()
{
    QFETCH(QString, program);
    QVERIFY(AutoStart::setEnabled(true, program));
    const DesktopEntry entry = DesktopEntries::read(userEntry());
    QCOMPARE(DesktopEntries::commandLine(entry, userEntry()), QStringList{program});
}

void TestAutoStart::blockedFolderReportsFailure_data()
{
    QTest::addColumn<bool>("package");
    QTest::newRow("switching on") << false;
    QTest::newRow("switching the package entry off") << true;
}

void TestAutoStart::blockedFolderReportsFailure()
{
    QFETCH(bool, package);
    if (package)
        QVERIFY(writeFile(systemEntry(), entryText(u"starts"_s)));
    // A file where the folder should be: no write can succeed, whoever runs the test.
    QVERIFY(writeFile(m_config->path() + u"/autostart"_s, "in the way"));
    QVERIFY(!AutoStart::setEnabled(!package, u"/opt/quorvik/QuorvikPcAssist"_s));
    QCOMPARE(AutoStart::isEnabled(), package);
}

QPA_TEST_MAIN(TestAutoStart)
#include "tst_autostart.moc"

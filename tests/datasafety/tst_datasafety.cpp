// Every data file through its real reader and writer: a save that cannot be written changes
// nothing, and what is saved reads back.
#include "DataFile.h"
#include "GlobalSettings.h"
#include "ProgramTableWidget.h"
#include "ScheduleMgr.h"
#include "TempDataDir.h"
#include "TestMain.h"
#include "WebsiteStore.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>

#include <functional>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// One data file of the program: its name and a save of a list longer than a few bytes.
using SaveFunction = std::function<bool(const QString &path)>;

struct SaveOutcome
{
    bool saved = false;
    QStringList messages; // what the user was told, in order
};

// Runs save in a child process whose files may not grow beyond limitBytes (setrlimit with
// SIGXFSZ ignored): writes then fail with EFBIG exactly as on a full disk, without mounting
// anything, also as root.
SaveOutcome saveWithFileSizeLimit(const SaveFunction &save, const QString &path, rlim_t limitBytes,
                                  int attempts = 1)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        ::close(fds[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        QByteArray told;
        DataFile::setReporter([&told](const QString &message) { told += message.toUtf8() + '\n'; });
        bool saved = false;
        for (int i = 0; i < attempts; ++i)
            saved = save(path) || saved;
        if (::write(fds[1], told.constData(), size_t(told.size())) != told.size())
            _exit(3);
        _exit(saved ? 1 : 0);
    }
    ::close(fds[1]);
    QByteArray told;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        told.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    SaveOutcome outcome;
    outcome.saved = WIFEXITED(status) && WEXITSTATUS(status) == 1;
    outcome.messages = QString::fromUtf8(told).split(u'\n', Qt::SkipEmptyParts);
    return outcome;
}

// Saves of each data file with enough content to exceed a small size limit.
SaveFunction saveSettings()
{
    return [](const QString &path) {
        GlobalSettings::instance()->setHotKey(65);
        return GlobalSettings::instance()->save(path);
    };
}

SaveFunction saveWebsites()
{
    return [](const QString &path) {
        QVector<WebsiteEntry> entries;
        for (int i = 0; i < 40; ++i)
            entries.append({u"网站%1"_s.arg(i), u"https://example.com/%1"_s.arg(i), 0xFF112233});
        return WebsiteStore::savePersonal(path, entries);
    };
}

SaveFunction savePrograms()
{
    return [](const QString &path) {
        ProgramTableWidget table;
        for (int i = 0; i < 20; ++i)
            table.addProgram(u"程序%1"_s.arg(i), QCoreApplication::applicationFilePath());
        return table.savePrograms(path);
    };
}

SaveFunction saveSchedules()
{
    return [](const QString &path) {
        ScheduleMgr mgr;
        for (int i = 0; i < 20; ++i) {
            Schedule schedule;
            schedule.type = EveryDay;
            schedule.datetime = QDateTime(QDate(2030, 1, 1), QTime(8, i));
            schedule.description = u"提醒%1"_s.arg(i);
            mgr.addSchedule(schedule);
        }
        return mgr.saveSchedules(path);
    };
}

void addDataFileRows()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<SaveFunction>("save");
    QTest::newRow("settings.dat") << u"settings.dat"_s << saveSettings();
    QTest::newRow("luw.dat") << u"luw.dat"_s << saveWebsites();
    QTest::newRow("lup.dat") << u"lup.dat"_s << savePrograms();
    QTest::newRow("schedules.dat") << u"schedules.dat"_s << saveSchedules();
}

} // namespace

Q_DECLARE_METATYPE(SaveFunction)

class TestDataSafety : public QObject
{
    Q_OBJECT

private slots:
    void init() { GlobalSettings::instance()->resetForTest(); }

    void fullDiskKeepsOldFile_data() { addDataFileRows(); }
    void fullDiskKeepsOldFile();
    void fullDiskWhileKeepingBrokenFileAside_data() { addDataFileRows(); }
    void fullDiskWhileKeepingBrokenFileAside();
    void failureMessageNamesFullDisk();
};

void TestDataSafety::fullDiskKeepsOldFile()
{
    QFETCH(QString, fileName);
    QFETCH(SaveFunction, save);
    TempDataDir dir;
    // Far below what the save writes, so the write fails part way through.
    const QByteArray old = "<root><!-- the user's old list, kept byte for byte --></root>\n";
    const QString path = dir.write(fileName, old);

    // Two saves in a row on a full disk: both fail, the user is told once.
    const SaveOutcome full = saveWithFileSizeLimit(save, path, 16, 2);
    QVERIFY(!full.saved);
    QCOMPARE(full.messages, QStringList{u"保存失败：磁盘空间不足"_s});
    QCOMPARE(dir.read(fileName), old);
    // No temporary file is left behind.
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList{fileName});

    // The same save with room to spare replaces the file and says nothing.
    const SaveOutcome room = saveWithFileSizeLimit(save, path, 1 << 20);
    QVERIFY(room.saved);
    QCOMPARE(room.messages, QStringList());
    QVERIFY(dir.read(fileName) != old);
}

void TestDataSafety::fullDiskWhileKeepingBrokenFileAside()
{
    QFETCH(QString, fileName);
    QFETCH(SaveFunction, save);
    TempDataDir dir;
    const QByteArray broken = "<root><ws text=\"a\" url=\"b\" color=\"0\"/>" + QByteArray(400, 'x');
    const QString path = dir.write(fileName, broken);
    // A failed load marks the file to be copied aside before it is replaced.
    QDomDocument doc;
    QCOMPARE(DataFile::load(path, &doc), DataFile::Broken);

    const SaveOutcome full = saveWithFileSizeLimit(save, path, 64);
    QVERIFY(!full.saved);
    QCOMPARE(full.messages, QStringList{u"保存失败：磁盘空间不足"_s});
    QCOMPARE(dir.read(fileName), broken);
    QVERIFY(!QFile::exists(path + u".broken"_s));
}

void TestDataSafety::failureMessageNamesFullDisk()
{
    QCOMPARE(DataFile::saveFailureMessage(qt_error_string(ENOSPC)), u"保存失败：磁盘空间不足"_s);
    QCOMPARE(DataFile::saveFailureMessage(qt_error_string(EIO)),
             u"保存失败："_s + qt_error_string(EIO));
}

QPA_TEST_MAIN(TestDataSafety)
#include "tst_datasafety.moc"

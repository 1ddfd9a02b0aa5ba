// Every data file through its real reader and writer: a save that cannot be written changes
// nothing, and what is saved reads back.
#include "DataFile.h"
#include "DiskFull.h"
#include "FileSizeLimit.h"
#include "GlobalSettings.h"
#include "ProgramTableWidget.h"
#include "ScheduleMgr.h"
#include "TempDataDir.h"
#include "TestMain.h"
#include "WebsiteStore.h"
#include "XmlText.h"
#include "XmlWriter.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

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

    void forbiddenCharactersRoundTrip_data();
    void forbiddenCharactersRoundTrip();
    void rawForbiddenCharactersLoadAgain_data();
    void rawForbiddenCharactersLoadAgain();
    void cleanLineForEditors_data();
    void cleanLineForEditors();
    void sameDataSameBytes();
    void deepFileCountsAsBroken_data() { addDataFileRows(); }
    void deepFileCountsAsBroken();
    void hugeListRefusedWholeAndKeptAside_data();
    void hugeListRefusedWholeAndKeptAside();
};

void TestDataSafety::fullDiskKeepsOldFile()
{
    if (!fileSizeLimitAvailable())
        QSKIP("no per-process file size limit to play a full disk on this system");
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
    if (!fileSizeLimitAvailable())
        QSKIP("no per-process file size limit to play a full disk on this system");
    QFETCH(QString, fileName);
    QFETCH(SaveFunction, save);
    TempDataDir dir;
    const QByteArray broken = "<root><ws text=\"a\" url=\"b\" color=\"0\"/>" + QByteArray(400, 'x');
    const QString path = dir.write(fileName, broken);
    // A failed load marks the file to be copied aside before it is replaced.
    XmlNode root;
    QCOMPARE(DataFile::load(path, DataFile::limits(16), &root), DataFile::Broken);

    const SaveOutcome full = saveWithFileSizeLimit(save, path, 64);
    QVERIFY(!full.saved);
    QCOMPARE(full.messages, QStringList{u"保存失败：磁盘空间不足"_s});
    QCOMPARE(dir.read(fileName), broken);
    QVERIFY(!QFile::exists(path + u".broken"_s));
}

void TestDataSafety::failureMessageNamesFullDisk()
{
    QCOMPARE(DataFile::saveFailureMessage(qt_error_string(ENOSPC)), u"保存失败：磁盘空间不足"_s);
    // Each system's own codes for it (Windows reports its GetLastError codes, not errno).
    for (int code : diskFullErrorCodes())
        QCOMPARE(DataFile::saveFailureMessage(qt_error_string(code)), u"保存失败：磁盘空间不足"_s);
    QCOMPARE(DataFile::saveFailureMessage(qt_error_string(EIO)),
             u"保存失败："_s + qt_error_string(EIO));
}

namespace {

// Where each list keeps free text, read back after a save of text.
using TextRoundTrip = std::function<QString(const QString &path, const QString &text)>;

QString websiteRoundTrip(const QString &path, const QString &text)
{
    if (!WebsiteStore::savePersonal(path, {{text, u"https://a.example/"_s + text, 0xFF000000}}))
        return u"<not saved>"_s;
    const WebsiteCategory loaded = WebsiteStore::loadPersonal(path);
    if (loaded.entries.size() != 1 || loaded.entries.at(0).url != u"https://a.example/"_s + loaded.entries.at(0).text)
        return u"<lost>"_s;
    return loaded.entries.at(0).text;
}

QString scheduleRoundTrip(const QString &path, const QString &text)
{
    ScheduleMgr mgr;
    Schedule schedule;
    schedule.type = OnlyToday;
    schedule.datetime = QDateTime(QDate(2030, 5, 1), QTime(9, 30));
    schedule.description = text;
    mgr.addSchedule(schedule);
    if (!mgr.saveSchedules(path))
        return u"<not saved>"_s;
    ScheduleMgr again;
    again.loadSchedules(path);
    return again.schedules().size() == 1 ? again.schedules().at(0).description : u"<lost>"_s;
}

// True when bytes parse with a strict XML parser and nothing cleaned them first.
bool strictlyWellFormed(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

} // namespace

Q_DECLARE_METATYPE(TextRoundTrip)

void TestDataSafety::forbiddenCharactersRoundTrip_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<TextRoundTrip>("roundTrip");
    QTest::addColumn<QString>("forbidden");
    const struct {
        const char *name;
        QString text;
    } classes[] = {
        {"U+0001", QString(QChar(0x01))},
        {"U+000B manual line break", QString(QChar(0x0B))},
        {"U+001F", QString(QChar(0x1F))},
        {"U+FFFE", QString(QChar(0xFFFE))},
        {"U+FFFF", QString(QChar(0xFFFF))},
        {"lone high surrogate", QString(QChar(0xD83D))},
        {"lone low surrogate", QString(QChar(0xDE00))},
    };
    for (const auto &c : classes) {
        QTest::addRow("luw.dat %s", c.name) << u"luw.dat"_s << TextRoundTrip(websiteRoundTrip) << c.text;
        QTest::addRow("schedules.dat %s", c.name)
            << u"schedules.dat"_s << TextRoundTrip(scheduleRoundTrip) << c.text;
    }
}

void TestDataSafety::forbiddenCharactersRoundTrip()
{
    QFETCH(QString, fileName);
    QFETCH(TextRoundTrip, roundTrip);
    QFETCH(QString, forbidden);
    TempDataDir dir;
    const QString path = dir.filePath(fileName);
    const QString text = u"会议"_s + forbidden + u"a😀\tb"_s;
    // The writer's rule: each character XML cannot carry becomes U+FFFD; tab and emoji stay.
    QCOMPARE(roundTrip(path, text), u"会议\uFFFDa😀\tb"_s);
    QVERIFY(strictlyWellFormed(dir.read(fileName)));
    QVERIFY(!QFile::exists(path + u".broken"_s));
}

void TestDataSafety::rawForbiddenCharactersLoadAgain_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::newRow("U+0001") << QByteArray("\x01");
    QTest::newRow("U+000B") << QByteArray("\x0B");
    QTest::newRow("U+FFFE") << QByteArray("\xEF\xBF\xBE");
    QTest::newRow("U+FFFF") << QByteArray("\xEF\xBF\xBF");
    QTest::newRow("encoded surrogate half") << QByteArray("\xED\xA0\xBD");
}

void TestDataSafety::rawForbiddenCharactersLoadAgain()
{
    // Files the program wrote before its writer cleaned texts hold such characters raw; they
    // must load with the character replaced, not fall back to the defaults.
    QFETCH(QByteArray, raw);
    TempDataDir dir;
    const QString luw = dir.write(u"luw.dat"_s,
                                  "<root>\n    <website>\n        <ws text=\"a" + raw
                                      + "b\" url=\"https://x.example/\" color=\"0\"/>\n"
                                        "    </website>\n</root>\n");
    bool fromFile = false;
    const WebsiteCategory personal = WebsiteStore::loadPersonal(luw, &fromFile);
    QVERIFY(fromFile);
    QCOMPARE(personal.entries.size(), 1);
    QCOMPARE(personal.entries.at(0).text, u"a\uFFFDb"_s);

    const QString schedules = dir.write(
        u"schedules.dat"_s,
        "<torvel>\n    <schedule type=\"2\" datetime=\"2030-01-01 08:00:00\" description=\"x" + raw
            + "\"/>\n</torvel>\n");
    ScheduleMgr mgr;
    mgr.loadSchedules(schedules);
    QCOMPARE(mgr.schedules().size(), 1);
    QCOMPARE(mgr.schedules().at(0).description, u"x\uFFFD"_s);

    const QString lup = dir.write(u"lup.dat"_s, "<root><program><p name=\"n" + raw + "\" path=\""
                                                    + QCoreApplication::applicationFilePath().toUtf8()
                                                    + "\"/></program></root>");
    ProgramTableWidget table;
    QVERIFY(table.loadPrograms(lup));
    QCOMPARE(table.userPrograms().size(), 1);
    QCOMPARE(table.userPrograms().at(0).name, u"n\uFFFD"_s);
}

void TestDataSafety::cleanLineForEditors_data()
{
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("kept");
    QTest::newRow("plain") << u"会议 abc"_s << u"会议 abc"_s;
    QTest::newRow("pasted line break") << u"a\nb"_s << u"a b"_s;
    QTest::newRow("CR LF is one break") << u"a\r\nb"_s << u"a b"_s;
    QTest::newRow("manual line break U+000B") << u"a\u000Bb"_s << u"a b"_s;
    QTest::newRow("tab") << u"a\tb"_s << u"a b"_s;
    QTest::newRow("paragraph separator") << u"a\u2029b"_s << u"a b"_s;
    QTest::newRow("control dropped") << u"a\u0001b\u001F"_s << u"ab"_s;
    QTest::newRow("non-characters dropped") << u"a\uFFFE\uFFFFb"_s << u"ab"_s;
    QTest::newRow("half emoji dropped") << u"a"_s + QChar(0xD83D) << u"a"_s;
    QTest::newRow("whole emoji kept") << u"a😀"_s << u"a😀"_s;
}

void TestDataSafety::cleanLineForEditors()
{
    QFETCH(QString, entered);
    QTEST(XmlText::cleanLine(entered), "kept");
}

void TestDataSafety::sameDataSameBytes()
{
    const QVector<WebsiteEntry> entries{{u"新闻"_s, u"https://news.example/?a=1&b=\"2\""_s, 0xFFFF0000},
                                        {u"b"_s, u"u"_s, 0xFF000000}};
    const QByteArray first = WebsiteStore::personalFileContents(entries);
    QCOMPARE(WebsiteStore::personalFileContents(entries), first);
    // Attributes in the documented order, indented by 4, no declaration.
    QCOMPARE(first, QByteArray("<root>\n"
                               "    <website>\n"
                               "        <ws text=\"新闻\" url=\"https://news.example/?a=1&amp;b=&quot;2&quot;\" color=\"ff0000\"/>\n"
                               "        <ws text=\"b\" url=\"u\" color=\"0\"/>\n"
                               "    </website>\n"
                               "</root>\n"));

    TempDataDir dir;
    const QString path = dir.filePath(u"schedules.dat"_s);
    QVERIFY(saveSchedules()(path));
    const QByteArray once = dir.read(u"schedules.dat"_s);
    QVERIFY(saveSchedules()(path));
    QCOMPARE(dir.read(u"schedules.dat"_s), once);
    QVERIFY(once.contains("<schedule type=\"2\" datetime=\"2030-01-01 08:00:00\" description=\"提醒0\"/>"));
}

void TestDataSafety::deepFileCountsAsBroken()
{
    QFETCH(QString, fileName);
    QFETCH(SaveFunction, save);
    TempDataDir dir;
    const int depth = 100000;
    const QByteArray deep = QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
    const QString path = dir.write(fileName, deep);
    XmlNode root;
    QCOMPARE(DataFile::load(path, DataFile::limits(10), &root), DataFile::Broken);
    // The page's own loader takes the defaults; the next save keeps the file aside first.
    QVERIFY(save(path));
    QCOMPARE(dir.read(fileName + u".broken"_s), deep);
    QVERIFY(dir.read(fileName) != deep);
}

void TestDataSafety::hugeListRefusedWholeAndKeptAside_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("sparseSize");
    const int n = 100000;
    QTest::newRow("1e5 websites") << u"luw.dat"_s
                                  << "<root><website>"
            + QByteArray("<ws text=\"t\" url=\"u\" color=\"0\"/>").repeated(n) + "</website></root>"
                                  << qint64(0);
    QTest::newRow("1e5 schedules") << u"schedules.dat"_s
                                   << "<torvel>"
            + QByteArray("<schedule type=\"2\" datetime=\"2030-01-01 08:00:00\" description=\"d\"/>").repeated(n)
            + "</torvel>"
                                   << qint64(0);
    QTest::newRow("1e5 programs") << u"lup.dat"_s
                                  << "<root><program>" + QByteArray("<p name=\"n\" path=\"/bin/sh\"/>").repeated(n)
            + "</program></root>"
                                  << qint64(0);
    QTest::newRow("50 MB settings") << u"settings.dat"_s << QByteArray("<torvel_settings>") << qint64(50) * 1024 * 1024;
}

void TestDataSafety::hugeListRefusedWholeAndKeptAside()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(qint64, sparseSize);
    TempDataDir dir;
    const QString path = dir.write(fileName, content);
    if (sparseSize > 0)
        QVERIFY(QFile::resize(path, sparseSize)); // sparse: no 50 MB written
    const QByteArray before = dir.read(fileName);
    QStringList told;
    DataFile::setReporter([&told](const QString &message) { told.append(message); });

    // Each page's own loader: the defaults, never a part of the list.
    if (fileName == u"luw.dat"_s) {
        bool fromFile = true;
        const WebsiteCategory personal = WebsiteStore::loadPersonal(path, &fromFile);
        QVERIFY(!fromFile);
        QCOMPARE(personal.entries, WebsiteStore::defaultPersonalCategory().entries);
    } else if (fileName == u"schedules.dat"_s) {
        ScheduleMgr mgr;
        mgr.loadSchedules(path);
        QCOMPARE(mgr.schedules().size(), 0);
    } else if (fileName == u"lup.dat"_s) {
        ProgramTableWidget table;
        QVERIFY(table.loadPrograms(path));
        QCOMPARE(table.userPrograms().size(), 0);
    } else {
        GlobalSettings::instance()->setHotKey(70);
        GlobalSettings::instance()->load(path);
        QCOMPARE(GlobalSettings::instance()->hotKey(), 70);
    }
    DataFile::setReporter({});
    QCOMPARE(told, QStringList{u"数据文件 %1 过大，未载入，已另存为 %1.broken"_s.arg(fileName)});
    // Moved aside at once, whole; the next start finds no file and says nothing more.
    QVERIFY(dir.read(fileName + u".broken"_s) == before);
    QVERIFY(!QFile::exists(path));
}

QPA_TEST_MAIN(TestDataSafety)
#include "tst_datasafety.moc"

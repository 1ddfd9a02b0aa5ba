// Settings file, data-file safety, usage reports and which addresses may be opened.
#include "DataFile.h"
#include "Endpoints.h"
#include "FakeNetworkAccessManager.h"
#include "GlobalSettings.h"
#include "TempDataDir.h"
#include "TestMain.h"
#include "UsageReport.h"
#include "WebAddress.h"
#include "XmlWriter.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>

#include <limits>

using namespace Qt::StringLiterals;

class TestCore : public QObject
{
    Q_OBJECT

private slots:
    void init() { GlobalSettings::instance()->resetForTest(); }

    void paths();
    void load_data();
    void load();
    void saveWritesFirstRunZero();
    void setShowFloatingWindowSavesOnlyOnChange();
    void saveIntoReadOnlyFolderKeepsOldFile();
    void failedCommitKeepsOldContent();
    void brokenFileIsKeptBesideNewOne();
    void missingOrEmptyFileIsNotKept_data();
    void missingOrEmptyFileIsNotKept();
    void weatherCity_data();
    void weatherCity();
    void weatherCityRoundTrip();
    void reportsOneRequestPerCall();
    void reportEncodesWord_data();
    void reportEncodesWord();
    void webAddressIsOpenable_data();
    void webAddressIsOpenable();
};

void TestCore::paths()
{
    GlobalSettings *s = GlobalSettings::instance();
#ifdef Q_OS_WIN
    // The roaming folder (%APPDATA%), never the local one (%LOCALAPPDATA%).
    const QString roaming = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    QVERIFY(!roaming.isEmpty());
    QVERIFY(QDir::cleanPath(roaming) != QDir::cleanPath(QDir::fromNativeSeparators(
                                           qEnvironmentVariable("LOCALAPPDATA"))));
    const QString expected = roaming + u"/QuorvikPcAssist"_s;
#else
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/QuorvikPcAssist"_s;
#endif
    QDir(expected).removeRecursively();
    QCOMPARE(s->dataDirectory(), QDir::cleanPath(expected));
    QVERIFY(QDir(expected).exists());
    QVERIFY(!s->dataDirectory().endsWith(u'/'));
    QCOMPARE(s->settingsFilePath(), s->dataDirectory() + u"/settings.dat"_s);
    QVERIFY(s->resourcesDirectory().endsWith(u"/Resources/"_s));
}

void TestCore::load_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<bool>("onlyHide");
    QTest::addColumn<int>("hotKey");
    QTest::addColumn<bool>("floating");

    const int f4 = 16777267;
    QTest::newRow("no file") << QByteArray() << true << true << f4 << true;
    QTest::newRow("empty file") << QByteArray("") << true << true << f4 << true;
    QTest::newRow("garbage") << QByteArray("<torvel_settings><common>") << true << true << f4 << true;
    QTest::newRow("no common") << QByteArray("<torvel_settings><first_run>0</first_run></torvel_settings>")
                               << true << true << f4 << true;
    QTest::newRow("full")
        << QByteArray("<torvel_settings><common><first_run>0</first_run><onlyHideWhenClose>0</onlyHideWhenClose>"
                      "<showHideHotKey>65</showHideHotKey><showFloatingWindow>0</showFloatingWindow></common></torvel_settings>")
        << false << false << 65 << false;
    QTest::newRow("other root name")
        << QByteArray("<whatever><common><first_run>0</first_run><showHideHotKey>66</showHideHotKey></common></whatever>")
        << false << true << 66 << true;
    QTest::newRow("onlyHide absent reads true")
        << QByteArray("<torvel_settings><common><first_run>0</first_run></common></torvel_settings>")
        << false << true << f4 << true;
    QTest::newRow("not a number reads 0")
        << QByteArray("<torvel_settings><common><first_run>yes</first_run><showHideHotKey>F5</showHideHotKey>"
                      "<showFloatingWindow>x</showFloatingWindow></common></torvel_settings>")
        << false << true << 0 << false;
    QTest::newRow("hot key not in table kept as is")
        << QByteArray("<torvel_settings><common><showHideHotKey>123456</showHideHotKey></common></torvel_settings>")
        << true << true << 123456 << true;
}

void TestCore::load()
{
    QFETCH(QByteArray, content);
    TempDataDir dir;
    const QString path = content.isNull() ? dir.filePath(u"settings.dat"_s)
                                          : dir.write(u"settings.dat"_s, content);
    GlobalSettings *s = GlobalSettings::instance();
    QSignalSpy finished(s, &GlobalSettings::loadFinished);
    s->load(path);
    QCOMPARE(finished.count(), 1);
    QTEST(s->firstRun(), "firstRun");
    QTEST(s->onlyHideWhenClose(), "onlyHide");
    QTEST(s->hotKey(), "hotKey");
    QTEST(s->showFloatingWindow(), "floating");
}

void TestCore::saveWritesFirstRunZero()
{
    TempDataDir dir;
    const QString path = dir.write(u"settings.dat"_s,
                                   "<torvel_settings><common><first_run>1</first_run></common></torvel_settings>");
    GlobalSettings *s = GlobalSettings::instance();
    s->load(path);
    QVERIFY(s->firstRun());
    QVERIFY(s->save(path));
    QVERIFY(s->firstRun()); // only the file records the change
    const QByteArray expected = "<torvel_settings>\n"
                                "    <common>\n"
                                "        <first_run>0</first_run>\n"
                                "        <onlyHideWhenClose>1</onlyHideWhenClose>\n"
                                "        <showHideHotKey>16777267</showHideHotKey>\n"
                                "        <showFloatingWindow>1</showFloatingWindow>\n"
                                "    </common>\n"
                                "</torvel_settings>\n";
    QCOMPARE(dir.read(u"settings.dat"_s), expected);
}

void TestCore::weatherCity_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("city");
    QTest::addColumn<bool>("coordinates");
    const QByteArray head = "<torvel_settings><common><first_run>0</first_run><showHideHotKey>65</showHideHotKey>";
    const QByteArray tail = "</common></torvel_settings>";
    QTest::newRow("older file without it") << head + tail << QString() << false;
    QTest::newRow("empty") << head + "<weatherCity/>" + tail << QString() << false;
    QTest::newRow("area id") << head + "<weatherCity>101280101</weatherCity>" + tail << u"101280101"_s << false;
    QTest::newRow("with coordinates")
        << head + "<weatherCity latitude=\"23.11667\" longitude=\"113.25\">101280101</weatherCity>" + tail
        << u"101280101"_s << true;
    QTest::newRow("coordinates out of range")
        << head + "<weatherCity latitude=\"123\" longitude=\"113.25\">101280101</weatherCity>" + tail
        << u"101280101"_s << false;
    QTest::newRow("coordinates not numbers")
        << head + "<weatherCity latitude=\"nan\" longitude=\"x\">101280101</weatherCity>" + tail
        << u"101280101"_s << false;
    QTest::newRow("a name, not an id") << head + "<weatherCity>广州</weatherCity>" + tail << QString() << false;
    QTest::newRow("too short") << head + "<weatherCity>1012801</weatherCity>" + tail << QString() << false;
    QTest::newRow("wide digits") << head + "<weatherCity>１０１２８０１０１</weatherCity>" + tail << QString() << false;
}

// The city is a new element: any file loads, the other settings as before.
void TestCore::weatherCity()
{
    QFETCH(QByteArray, content);
    TempDataDir dir;
    GlobalSettings *s = GlobalSettings::instance();
    s->setWeatherCity(u"101010100"_s);
    s->load(dir.write(u"settings.dat"_s, content));
    QTEST(s->weatherCity(), "city");
    QTEST(s->hasWeatherCityCoordinates(), "coordinates");
    QCOMPARE(s->hotKey(), 65);
    QVERIFY(!s->firstRun());
}

void TestCore::weatherCityRoundTrip()
{
    TempDataDir dir;
    const QString path = dir.filePath(u"settings.dat"_s);
    GlobalSettings *s = GlobalSettings::instance();
    s->setWeatherCity(u"101010300"_s);
    QVERIFY(s->setWeatherCityCoordinates(39.92149, 116.48641));
    QVERIFY(!s->setWeatherCityCoordinates(std::numeric_limits<double>::quiet_NaN(), 1));
    QVERIFY(s->save(path));
    s->resetForTest();
    s->load(path);
    QCOMPARE(s->weatherCity(), u"101010300"_s);
    QVERIFY(s->hasWeatherCityCoordinates());
    QCOMPARE(s->weatherCityLatitude(), 39.92149);
    QCOMPARE(s->weatherCityLongitude(), 116.48641);

    // Another city forgets the coordinates; automatic location leaves no element.
    s->setWeatherCity(u"101280101"_s);
    QVERIFY(!s->hasWeatherCityCoordinates());
    s->setWeatherCity(QString());
    QVERIFY(s->save(path));
    QVERIFY(!dir.read(u"settings.dat"_s).contains("weatherCity"));
}

void TestCore::setShowFloatingWindowSavesOnlyOnChange()
{
    GlobalSettings *s = GlobalSettings::instance();
    const QString path = s->settingsFilePath();
    QFile::remove(path);
    s->setShowFloatingWindow(true);
    QVERIFY(!QFile::exists(path));
    s->setShowFloatingWindow(false);
    QVERIFY(QFile::exists(path));
    s->load(path);
    QVERIFY(!s->showFloatingWindow());
}

void TestCore::saveIntoReadOnlyFolderKeepsOldFile()
{
    // No new file can be made beside the old one, for root too: the old file's name leaves no
    // room for the temporary file's suffix (names end at 255 bytes).
    TempDataDir dir;
    const QByteArray old = "<torvel_settings><common><first_run>0</first_run></common></torvel_settings>";
    const QString name = QString(251, u's') + u".dat"_s;
    const QString path = dir.write(name, old);
    GlobalSettings *s = GlobalSettings::instance();
    s->setHotKey(65);
    QVERIFY(!s->save(path));
    QCOMPARE(dir.read(name), old);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList{name});
    QCOMPARE(s->hotKey(), 65);
}

void TestCore::failedCommitKeepsOldContent()
{
    // Runs for root too: a folder in the file's place makes the final rename fail.
    TempDataDir dir;
    const QString path = dir.write(u"lup.dat/keep.txt"_s, "old");
    QVERIFY(!DataFile::writeAtomically(dir.filePath(u"lup.dat"_s), "new"));
    QCOMPARE(dir.read(u"lup.dat/keep.txt"_s), QByteArray("old"));
    QCOMPARE(QDir(dir.filePath(u"."_s)).entryList(QDir::Files), QStringList());
    Q_UNUSED(path)
}

void TestCore::brokenFileIsKeptBesideNewOne()
{
    TempDataDir dir;
    const QByteArray broken = "<torvel_settings><common><first_run>0</first_r";
    const QString path = dir.write(u"settings.dat"_s, broken);
    GlobalSettings *s = GlobalSettings::instance();
    s->load(path);
    QVERIFY(s->save(path));
    QCOMPARE(dir.read(u"settings.dat.broken"_s), broken);
    XmlNode root;
    QCOMPARE(DataFile::load(path, DataFile::limits(16), &root), DataFile::Loaded);

    // Once kept, later saves leave the copy alone.
    QFile::remove(path + u".broken"_s);
    QVERIFY(s->save(path));
    QVERIFY(!QFile::exists(path + u".broken"_s));
}

void TestCore::missingOrEmptyFileIsNotKept_data()
{
    QTest::addColumn<bool>("create");
    QTest::newRow("missing") << false;
    QTest::newRow("empty") << true;
}

void TestCore::missingOrEmptyFileIsNotKept()
{
    QFETCH(bool, create);
    TempDataDir dir;
    const QString path = create ? dir.write(u"luw.dat"_s, "  \n") : dir.filePath(u"luw.dat"_s);
    XmlNode root;
    QCOMPARE(DataFile::load(path, DataFile::limits(16), &root), DataFile::Missing);
    XmlWriter out;
    out.startElement(u"root"_s);
    QVERIFY(DataFile::save(path, out.finish()));
    QVERIFY(!QFile::exists(path + u".broken"_s));
    QCOMPARE(dir.read(u"luw.dat"_s), QByteArray("<root/>\n"));
}

void TestCore::reportsOneRequestPerCall()
{
    FakeNetworkAccessManager *net = installFakeNetwork();
    for (int i = 0; i < 5; ++i)
        reportAction(u"wb"_s);
    const QString expected = Endpoints::makerSite() + u"stat.aspx?action=wb"_s;
    // Two leave at once, the others as those end.
    QTRY_COMPARE(net->requests().size(), 5);
    for (const QUrl &url : net->requests())
        QCOMPARE(url.toString(), expected);
}

void TestCore::reportEncodesWord_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("query");
    QTest::newRow("chinese") << u"wb_百度"_s << u"action=wb_%E7%99%BE%E5%BA%A6"_s;
    QTest::newRow("ampersand") << u"wb_A&B"_s << u"action=wb_A%26B"_s;
    QTest::newRow("hash and space") << u"wb_C# 教程"_s << u"action=wb_C%23%20%E6%95%99%E7%A8%8B"_s;
}

void TestCore::reportEncodesWord()
{
    QFETCH(QString, word);
    QFETCH(QString, query);
    FakeNetworkAccessManager *net = installFakeNetwork();
    reportAction(word);
    QCOMPARE(net->requests().size(), 1);
    const QUrl url = net->requests().first();
    QCOMPARE(url.query(QUrl::FullyEncoded), query);
    QCOMPARE(url.fragment(), QString());
}

void TestCore::webAddressIsOpenable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("web");
    QTest::addColumn<bool>("webAndFtp");
    QTest::newRow("http") << u"http://www.quorvik.cn/download.html"_s << true << true;
    QTest::newRow("https with port and query") << u"https://example.com:8443/a?b=1#c"_s << true << true;
    QTest::newRow("upper-case scheme") << u"HTTPS://Example.com/"_s << true << true;
    QTest::newRow("chinese host") << u"http://例子.测试/"_s << true << true;
    QTest::newRow("ftp") << u"ftp://ftp.example.com/pub/"_s << false << true;
    QTest::newRow("file url") << u"file:///etc/passwd"_s << false << false;
    QTest::newRow("file url with host") << u"file://server/share/x.exe"_s << false << false;
    QTest::newRow("bare local path") << u"/usr/bin/xterm"_s << false << false;
    QTest::newRow("windows path") << u"C:\\Windows\\notepad.exe"_s << false << false;
    QTest::newRow("javascript") << u"javascript:alert(1)"_s << false << false;
    QTest::newRow("mailto") << u"mailto:a@example.com"_s << false << false;
    QTest::newRow("http without host") << u"http:///path"_s << false << false;
    QTest::newRow("relative") << u"www.example.com/page"_s << false << false;
    QTest::newRow("empty") << QString() << false << false;
    QTest::newRow("smb") << u"smb://server/share"_s << false << false;
}

void TestCore::webAddressIsOpenable()
{
    QFETCH(QString, text);
    QFETCH(bool, web);
    QFETCH(bool, webAndFtp);
    const QUrl url(text, QUrl::TolerantMode);
    QCOMPARE(WebAddress::isOpenable(url), web);
    QCOMPARE(WebAddress::isOpenable(url, WebAddress::Schemes::Web), web);
    QCOMPARE(WebAddress::isOpenable(url, WebAddress::Schemes::WebAndFtp), webAndFtp);
}

QPA_TEST_MAIN(TestCore)
#include "tst_core.moc"

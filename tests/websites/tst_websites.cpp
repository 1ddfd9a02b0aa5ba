// Tests of the website lists, the page's blocks and menu, the editor and the favourite export.
#include "ClassifiedWebsiteWidget.h"
#include "DataFile.h"
#include "Endpoints.h"
#include "FakeNetworkAccessManager.h"
#include "FavoritesFolder.h"
#include "InternetShortcut.h"
#include "TempDataDir.h"
#include "TestMain.h"
#include "UrlRecorder.h"
#include "WebsiteEditorDialog.h"
#include "WebsiteStore.h"
#include "WebsiteUrl.h"
#include "WebsiteWidget.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QByteArray fixture()
{
    QFile file(QStringLiteral(QPA_SOURCE_DIR "/tests/websites/websites.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray luw(const QByteArray &entries)
{
    return "<root>\n    <website>\n" + entries + "    </website>\n</root>\n";
}

QStringList texts(const QVector<WebsiteEntry> &entries)
{
    QStringList result;
    for (const WebsiteEntry &entry : entries)
        result << entry.text;
    return result;
}

// Types text as key presses carrying it (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

QToolButton *buttonAt(ClassifiedWebsiteWidget *block, int index)
{
    return qobject_cast<QToolButton *>(block->grid()->cellWidget(index / 8, index % 8));
}

// Runs fill on the editor dialog once it is up, then lets it finish (confirm or close).
void answerEditor(const std::function<void(WebsiteEditorDialog *)> &fill)
{
    QTimer::singleShot(0, [fill] {
        auto *dialog = qobject_cast<WebsiteEditorDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            for (QWidget *w : QApplication::topLevelWidgets())
                if ((dialog = qobject_cast<WebsiteEditorDialog *>(w)) && w->isVisible())
                    break;
        }
        QVERIFY(dialog);
        fill(dialog);
    });
}

} // namespace

// Records what QDesktopServices would have opened.
class TestWebsites : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void loadPersonal_data();
    void loadPersonal();
    void personalColor_data();
    void personalColor();
    void colorRoundTrip_data();
    void colorRoundTrip();
    void chineseNamesSurviveSaveAndReload();
    void remoteList_data();
    void remoteList();
    void remoteColorZeroStaysZero();
    void hostileRemoteLists_data();
    void hostileRemoteLists();
    void fixtureIsRealistic();
    void builtinList();
    void savedListShownUntilRemoteArrives();
    void badRemoteKeepsShownAndSavedList_data();
    void badRemoteKeepsShownAndSavedList();
    void brokenSavedListFallsBackToBuiltin_data();
    void brokenSavedListFallsBackToBuiltin();

    void gridShape_data();
    void gridShape();
    void ninthWebsiteStartsSecondRow();
    void deleteRenumbersButtons();
    void modifyOutOfRangeIgnored();
    void blockColorsCountEveryBlock();
    void pageOrdersBlocks();
    void remoteTextsShownAsPlainText();
    void columnsLineUpAcrossBlocks();
    void longNamesShortenedWithToolTip_data();
    void longNamesShortenedWithToolTip();

    void contextMenuMatrix_data();
    void contextMenuMatrix();
    void copyUrlPutsThatAddress();
    void addWebsiteThroughEditorSaves();
    void modifyDefaultEntryMakesItBlack();
    void deleteSurvivesRestartAndClicksOpenRightSite();
    void defaultListNotWrittenUntilChanged();
    void brokenFileKeptAside();
    void unwritableFileKeepsChangeInMemory();

    void editorConfirm_data();
    void editorConfirm();
    void editorNameTakesTenCharacters();

    void urlToOpen_data();
    void urlToOpen();
    void doubleClickOpensOnce();
    void clickOpensOnlySafeAddresses();

    void shortcutBytes_data();
    void shortcutBytes();
    void shortcutFileName_data();
    void shortcutFileName();
    void addFavoriteWritesIntoFavorites();

private:
    FakeNetworkAccessManager *m_network = nullptr;
    UrlRecorder m_recorder{"http", "https", "ftp", "file", "mailto"};
};

void TestWebsites::initTestCase()
{
    m_network = installFakeNetwork();
}

// ---- luw.dat reading ----

void TestWebsites::loadPersonal_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<QStringList>("texts");

    const QStringList defaults{u"右键添加"_s};
    QTest::newRow("no file") << false << QByteArray() << false << defaults;
    QTest::newRow("empty file") << true << QByteArray() << false << defaults;
    QTest::newRow("blank file") << true << QByteArray("  \n") << false << defaults;
    QTest::newRow("malformed") << true << QByteArray("<root><website><ws text=\"a\"") << false << defaults;
    QTest::newRow("not xml at all") << true << QByteArray("\xff\xfe garbage") << false << defaults;
    QTest::newRow("any tag under website")
        << true << luw("<ws text=\"a\" url=\"u\"/><site text=\"b\" url=\"u\"/><x text=\"c\" url=\"u\"/>")
        << true << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("empty url dropped")
        << true << luw("<ws text=\"a\" url=\"\"/><ws text=\"b\" url=\"u\"/>") << true << QStringList{u"b"_s};
    QTest::newRow("missing text dropped")
        << true << luw("<ws url=\"u\"/><ws text=\"b\" url=\"u\"/>") << true << QStringList{u"b"_s};
    QTest::newRow("no website element") << true << QByteArray("<root><other/></root>") << true << QStringList();
    QTest::newRow("root name not examined")
        << true << QByteArray("<anything><website><ws text=\"a\" url=\"u\"/></website></anything>") << true
        << QStringList{u"a"_s};
    QTest::newRow("only first website")
        << true << QByteArray("<root><website><ws text=\"a\" url=\"u\"/></website>"
                              "<website><ws text=\"b\" url=\"u\"/></website></root>")
        << true << QStringList{u"a"_s};
}

void TestWebsites::loadPersonal()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, fromFile);
    QFETCH(QStringList, texts);

    TempDataDir dir;
    const QString path = exists ? dir.write(u"luw.dat"_s, bytes) : dir.filePath(u"luw.dat"_s);
    bool readFromFile = !fromFile;
    const WebsiteCategory category = WebsiteStore::loadPersonal(path, &readFromFile);
    QCOMPARE(readFromFile, fromFile);
    QCOMPARE(category.text, u"个人"_s);
    QCOMPARE(category.color, 0xFF000000u);
    QCOMPARE(::texts(category.entries), texts);
    if (!fromFile) {
        QCOMPARE(category.entries.first().url, Endpoints::makerSite());
        QVERIFY(category.entries.first().url.endsWith(u'/'));
        QCOMPARE(category.entries.first().color, 0xFFFF0000u);
    }
    // Reading never writes: the default comes into being only with a save.
    QCOMPARE(QFile::exists(path), exists);
}

void TestWebsites::personalColor_data()
{
    QTest::addColumn<QByteArray>("attribute");
    QTest::addColumn<QColor>("painted");

    QTest::newRow("red") << QByteArray(" color=\"ff0000\"") << QColor(255, 0, 0);
    QTest::newRow("upper case") << QByteArray(" color=\"00FF00\"") << QColor(0, 255, 0);
    QTest::newRow("zero") << QByteArray(" color=\"0\"") << QColor(0, 0, 0);
    QTest::newRow("missing") << QByteArray() << QColor(0, 0, 0);
    QTest::newRow("not hex") << QByteArray(" color=\"blue\"") << QColor(0, 0, 0);
    QTest::newRow("overflows signed 32") << QByteArray(" color=\"ff0000ff\"") << QColor(0, 0, 0);
    QTest::newRow("largest readable") << QByteArray(" color=\"7fffffff\"") << QColor(255, 255, 255);
}

void TestWebsites::personalColor()
{
    QFETCH(QByteArray, attribute);
    QFETCH(QColor, painted);

    TempDataDir dir;
    const QString path = dir.write(u"luw.dat"_s, luw("<ws text=\"a\" url=\"u\"" + attribute + "/>"));
    const WebsiteCategory category = WebsiteStore::loadPersonal(path);
    QCOMPARE(category.entries.size(), 1);
    QCOMPARE(paintColor(category.entries.first().color), painted);
    QVERIFY(category.entries.first().color != 0); // 0 reads as opaque black in the personal list

    // And the button shows it.
    ClassifiedWebsiteWidget block;
    block.setCategory(category);
    QVERIFY(block.build());
    QCOMPARE(buttonAt(&block, 0)->palette().color(QPalette::Inactive, QPalette::ButtonText), painted);
}

void TestWebsites::colorRoundTrip_data()
{
    QTest::addColumn<quint32>("color");
    QTest::newRow("opaque red") << 0xFFFF0000u;
    QTest::newRow("opaque black") << 0xFF000000u;
    QTest::newRow("mixed") << 0xFF12A4C6u;
    QTest::newRow("white") << 0xFFFFFFFFu;
    QTest::newRow("no alpha") << 0x00ABCDEFu;
}

void TestWebsites::colorRoundTrip()
{
    QFETCH(quint32, color);
    TempDataDir dir;
    const QString path = dir.filePath(u"luw.dat"_s);
    QVERIFY(WebsiteStore::savePersonal(path, {{u"a"_s, u"http://a/"_s, color}}));
    const WebsiteCategory read = WebsiteStore::loadPersonal(path);
    QCOMPARE(read.entries.size(), 1);
    QCOMPARE(paintColor(read.entries.first().color), paintColor(color));
    QCOMPARE(read.entries.first().color & 0xFFFFFFu, color & 0xFFFFFFu);
}

void TestWebsites::chineseNamesSurviveSaveAndReload()
{
    TempDataDir dir;
    const QString path = dir.filePath(u"luw.dat"_s);
    const QVector<WebsiteEntry> entries{
        {u"新浪新闻"_s, u"https://news.sina.com.cn/"_s, 0xFF000000},
        {u"百度一下，你就知道"_s, u"https://www.baidu.com/s?wd=天气 & \"预报\""_s, 0xFFFF0000},
        {u"<&>'\""_s, u"http://x/?a=1&b=2"_s, 0xFF123456},
    };
    QVERIFY(WebsiteStore::savePersonal(path, entries));
    const QByteArray bytes = dir.read(u"luw.dat"_s);
    QVERIFY(bytes.contains(u"新浪新闻"_s.toUtf8()));
    QVERIFY(!bytes.startsWith("<?xml"));
    QVERIFY(bytes.startsWith("<root>\n    <website>\n        <ws "));
    const QVector<WebsiteEntry> read = WebsiteStore::loadPersonal(path).entries;
    QCOMPARE(texts(read), texts(entries));
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(read.at(i).url, entries.at(i).url);
        QCOMPARE(paintColor(read.at(i).color), paintColor(entries.at(i).color));
    }
}

// ---- websites.xml ----

void TestWebsites::remoteList_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("empty body") << QByteArray() << false << QStringList() << QList<int>();
    QTest::newRow("malformed") << QByteArray("<sites><website><c text=\"a\">") << false << QStringList()
                               << QList<int>();
    QTest::newRow("html error page") << QByteArray("<html><body>404</body>") << false << QStringList()
                                     << QList<int>();
    QTest::newRow("no website element") << QByteArray("<sites/>") << true << QStringList() << QList<int>();
    QTest::newRow("untitled category dropped")
        << QByteArray("<s><website><c><w text=\"a\" url=\"u\"/></c><c text=\"新闻\"><w text=\"b\" url=\"u\"/></c>"
                      "</website></s>")
        << true << QStringList{u"新闻"_s} << QList<int>{1};
    QTest::newRow("only invalid entries gives empty category")
        << QByteArray("<s><website><c text=\"空\"><w text=\"a\"/><w url=\"u\"/></c></website></s>") << true
        << QStringList{u"空"_s} << QList<int>{0};
    QTest::newRow("only first website element")
        << QByteArray("<s><website><c text=\"一\"/></website><website><c text=\"二\"/></website></s>") << true
        << QStringList{u"一"_s} << QList<int>{0};
    QTest::newRow("document order")
        << QByteArray("<s><website><b text=\"乙\"/><a text=\"甲\"/></website></s>") << true
        << QStringList{u"乙"_s, u"甲"_s} << QList<int>{0, 0};
}

void TestWebsites::remoteList()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, counts);

    WebsiteWidget page;
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    QCOMPARE(page.loadRemoteWebsites(body), ok);
    const QList<ClassifiedWebsiteWidget *> blocks = page.blocks();
    QCOMPARE(blocks.size(), titles.size() + 1);
    QCOMPARE(blocks.first(), page.personalBlock());
    for (int i = 0; i < titles.size(); ++i) {
        QCOMPARE(blocks.at(i + 1)->category().text, titles.at(i));
        QCOMPARE(blocks.at(i + 1)->category().entries.size(), counts.at(i));
        QCOMPARE(blocks.at(i + 1)->findChild<QLabel *>(u"title"_s)->text(), titles.at(i));
        if (counts.at(i) == 0)
            QCOMPARE(blocks.at(i + 1)->grid()->maximumHeight(), 30);
    }
}

void TestWebsites::remoteColorZeroStaysZero()
{
    QVector<WebsiteCategory> categories;
    QVERIFY(WebsiteStore::parseRemote(
        "<s><website><c text=\"t\" color=\"nonsense\"><w text=\"a\" url=\"u\" color=\"0\"/>"
        "<w text=\"b\" url=\"u\" color=\"ff\"/></c></website></s>",
        &categories));
    QCOMPARE(categories.size(), 1);
    QCOMPARE(categories.first().color, 0u);
    QCOMPARE(categories.first().entries.at(0).color, 0u);
    QCOMPARE(paintColor(categories.first().entries.at(0).color), QColor(Qt::black));
    QCOMPARE(paintColor(categories.first().entries.at(1).color), QColor(0, 0, 255));
}

void TestWebsites::hostileRemoteLists_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("categories");
    QTest::addColumn<int>("largest");

    QByteArray manyCategories = "<s><website>";
    for (int i = 0; i < 500; ++i)
        manyCategories += "<c text=\"" + QByteArray::number(i) + "\"/>";
    manyCategories += "</website></s>";
    QByteArray manyEntries = "<s><website><c text=\"多\">";
    for (int i = 0; i < 5000; ++i)
        manyEntries += "<w text=\"x\" url=\"http://x/\"/>";
    manyEntries += "</c></website></s>";
    const QByteArray oversized = "<s><website><c text=\"大\"/>" + QByteArray(3 * 1024 * 1024, ' ')
        + "</website></s>";
    const QByteArray entityBomb =
        "<!DOCTYPE s [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
        "<s><website><c text=\"&f;\"/></website></s>";

    // Shown at most: 24 categories of 48 entries, so the page never builds more than 1152 buttons.
    QTest::newRow("500 categories") << manyCategories << true << 24 << 0;
    QTest::newRow("5000 entries") << manyEntries << true << 1 << 48;
    QTest::newRow("100000 levels deep") << "<s><website><c text=\"深\">" + QByteArray("<w>").repeated(100000)
            + QByteArray("</w>").repeated(100000) + "</c></website></s>" << false << 0 << 0;
    QTest::newRow("over 2 MiB") << oversized << false << 0 << 0;
    QTest::newRow("binary") << QByteArray(4096, '\0') << false << 0 << 0;
    QTest::newRow("truncated") << manyEntries.left(manyEntries.size() / 2) << false << 0 << 0;
    QTest::newRow("entity expansion") << entityBomb << false << 0 << 0;
}

void TestWebsites::hostileRemoteLists()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(int, categories);
    QFETCH(int, largest);

    WebsiteWidget page;
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    QCOMPARE(page.loadRemoteWebsites(body), ok);
    const QList<ClassifiedWebsiteWidget *> blocks = page.blocks();
    QCOMPARE(blocks.size(), categories + 1);
    int most = 0;
    for (int i = 1; i < blocks.size(); ++i)
        most = std::max(most, int(blocks.at(i)->category().entries.size()));
    QCOMPARE(most, largest);
}

void TestWebsites::fixtureIsRealistic()
{
    QVector<WebsiteCategory> categories;
    QVERIFY(WebsiteStore::parseRemote(fixture(), &categories));
    QVERIFY(categories.size() >= 6);
    QVERIFY(std::any_of(categories.cbegin(), categories.cend(),
                        [](const WebsiteCategory &c) { return c.entries.size() > 8; }));
    for (const WebsiteCategory &category : std::as_const(categories))
        for (const WebsiteEntry &entry : category.entries)
            QVERIFY2(websiteUrlToOpen(entry.url, false).isValid(), qPrintable(entry.url));
}

// ---- blocks ----

void TestWebsites::gridShape_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("rows");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("full row") << 8 << 1;
    QTest::newRow("ninth") << 9 << 2;
    QTest::newRow("two full rows") << 16 << 2;
    QTest::newRow("seventeenth") << 17 << 3;
}

void TestWebsites::gridShape()
{
    QFETCH(int, count);
    QFETCH(int, rows);
    WebsiteCategory category;
    category.text = u"测试"_s;
    for (int i = 0; i < count; ++i)
        category.entries.append({u"站点%1"_s.arg(i), u"http://s%1/"_s.arg(i), 0xFF000000});
    ClassifiedWebsiteWidget block;
    block.setCategory(category);
    QVERIFY(block.build());
    QTableWidget *grid = block.grid();
    QCOMPARE(grid->rowCount(), rows);
    QCOMPARE(grid->columnCount(), 8);
    const int height = rows == 0 ? 30 : grid->rowHeight(0) * rows;
    QCOMPARE(grid->minimumHeight(), height);
    QCOMPARE(grid->maximumHeight(), height);
    for (int i = 0; i < count; ++i) {
        QToolButton *button = buttonAt(&block, i);
        QVERIFY(button);
        QCOMPARE(button->objectName(), QString::number(i));
        QCOMPARE(button->text(), u"站点%1"_s.arg(i));
    }
}

void TestWebsites::ninthWebsiteStartsSecondRow()
{
    ClassifiedWebsiteWidget block;
    WebsiteCategory category;
    category.text = u"个人"_s;
    block.setCategory(category);
    block.build();
    for (int i = 0; i < 8; ++i)
        block.addEntry({QString::number(i), u"http://x/"_s, 0xFF000000});
    QCOMPARE(block.grid()->rowCount(), 1);
    const int oneRow = block.grid()->maximumHeight();
    block.addEntry({u"第九"_s, u"http://nine/"_s, 0xFF000000});
    QCOMPARE(block.grid()->rowCount(), 2);
    QCOMPARE(block.grid()->cellWidget(1, 0)->objectName(), u"8"_s);
    QCOMPARE(block.grid()->maximumHeight(), 2 * oneRow);
    QCOMPARE(block.grid()->minimumHeight(), 2 * oneRow);

    QSignalSpy clicked(&block, &ClassifiedWebsiteWidget::websiteClicked);
    buttonAt(&block, 8)->click();
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.first().first().value<WebsiteEntry>().url, u"http://nine/"_s);
}

void TestWebsites::deleteRenumbersButtons()
{
    WebsiteCategory category;
    category.text = u"个人"_s;
    for (int i = 0; i < 10; ++i)
        category.entries.append({QString(QChar(u'a' + i)), u"http://%1/"_s.arg(QChar(u'a' + i)), 0xFF000000});
    ClassifiedWebsiteWidget block;
    block.setCategory(category);
    block.build();
    block.deleteEntry(2);
    block.deleteEntry(-1); // ignored
    block.deleteEntry(9);  // past the end now: ignored
    QCOMPARE(block.category().entries.size(), 9);
    QCOMPARE(block.grid()->rowCount(), 2);
    QSignalSpy clicked(&block, &ClassifiedWebsiteWidget::websiteClicked);
    for (int i = 0; i < 9; ++i) {
        QToolButton *button = buttonAt(&block, i);
        QCOMPARE(button->objectName(), QString::number(i));
        button->click();
        const QString expected = QString(QChar(u'a' + (i < 2 ? i : i + 1)));
        QCOMPARE(button->text(), expected);
        QCOMPARE(clicked.last().first().value<WebsiteEntry>().text, expected);
    }
    block.deleteEntry(8);
    QCOMPARE(block.grid()->rowCount(), 1);
    QCOMPARE(block.grid()->maximumHeight(), block.grid()->rowHeight(0));
}

void TestWebsites::modifyOutOfRangeIgnored()
{
    ClassifiedWebsiteWidget block;
    WebsiteCategory category;
    category.text = u"个人"_s;
    category.entries = {{u"a"_s, u"http://a/"_s, 0xFF000000}};
    block.setCategory(category);
    block.build();
    block.modifyEntry(1, {u"b"_s, u"http://b/"_s, 0xFF000000});
    block.modifyEntry(-1, {u"b"_s, u"http://b/"_s, 0xFF000000});
    QCOMPARE(block.category().entries, category.entries);
    block.modifyEntry(0, {u"改"_s, u"http://c/"_s, 0xFFFF0000});
    QCOMPARE(buttonAt(&block, 0)->text(), u"改"_s);
    QCOMPARE(buttonAt(&block, 0)->objectName(), u"0"_s);
    QSignalSpy clicked(&block, &ClassifiedWebsiteWidget::websiteClicked);
    buttonAt(&block, 0)->click();
    QCOMPARE(clicked.first().first().value<WebsiteEntry>().url, u"http://c/"_s);
}

void TestWebsites::blockColorsCountEveryBlock()
{
    const QColor white(255, 255, 255);
    const QColor grey(232, 237, 240);
    const int start = ClassifiedWebsiteWidget::blockColorCounter();
    WebsiteWidget page;
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    page.loadRemoteWebsites(fixture());
    page.loadRemoteWebsites("<s><website><c/><c text=\"后来\"/></website></s>"); // the untitled one builds nothing
    const QList<ClassifiedWebsiteWidget *> blocks = page.blocks();
    QCOMPARE(ClassifiedWebsiteWidget::blockColorCounter(), start + blocks.size());
    for (int i = 0; i < blocks.size(); ++i) {
        const QColor expected = (start + i) % 2 == 0 ? white : grey;
        QCOMPARE(blocks.at(i)->palette().color(QPalette::Window), expected);
        QCOMPARE(blocks.at(i)->grid()->palette().color(QPalette::Base), expected);
        QVERIFY(blocks.at(i)->autoFillBackground());
    }
    // A page built later goes on counting.
    WebsiteWidget second;
    second.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    QCOMPARE(second.personalBlock()->palette().color(QPalette::Window),
             (start + blocks.size()) % 2 == 0 ? white : grey);
}

void TestWebsites::pageOrdersBlocks()
{
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    QVERIFY(page.loadRemoteWebsites(fixture()));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QList<ClassifiedWebsiteWidget *> blocks = page.blocks();
    QCOMPARE(blocks.first()->category().text, u"个人"_s);
    QCOMPARE(blocks.at(1)->category().text, u"新闻"_s);
    for (int i = 1; i < blocks.size(); ++i)
        QVERIFY(blocks.at(i)->y() >= blocks.at(i - 1)->geometry().bottom());
    // Every button of the personal block is fully visible in its grid.
    QToolButton *first = buttonAt(blocks.first(), 0);
    QVERIFY(first->isVisible());
    QVERIFY(blocks.first()->grid()->viewport()->rect().contains(first->geometry()));
}

void TestWebsites::columnsLineUpAcrossBlocks()
{
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    page.personalBlock()->addEntry(WebsiteEntry{u"甲"_s, u"http://a/"_s, 0xFF000000});
    QVERIFY(page.loadRemoteWebsites("<s><website><c text=\"新闻资讯\"><w text=\"乙\" url=\"http://b/\"/></c>"
                                    "<c text=\"游戏\"><w text=\"丙\" url=\"http://c/\"/></c></website></s>"));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QList<ClassifiedWebsiteWidget *> blocks = page.blocks();
    QCOMPARE(blocks.size(), 3);
    const int left = buttonAt(blocks.first(), 0)->mapTo(&page, QPoint(0, 0)).x();
    for (ClassifiedWebsiteWidget *block : blocks) {
        QCOMPARE(buttonAt(block, 0)->mapTo(&page, QPoint(0, 0)).x(), left);
        // The title keeps clear of the window's edge, whatever its length.
        auto *title = block->findChild<QLabel *>(u"title"_s);
        const int textWidth = title->fontMetrics().horizontalAdvance(title->text());
        QVERIFY2((title->width() - textWidth) / 2 >= 8, qPrintable(title->text()));
    }
}

void TestWebsites::longNamesShortenedWithToolTip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("short chinese") << u"新浪新闻"_s << false;
    // The editor takes ten characters: they fold onto two lines, whole.
    QTest::newRow("ten chinese") << u"中国国家地理杂志官网"_s << false;
    QTest::newRow("ten chinese with emoji") << u"测试😀网站名字很长很"_s << false;
    QTest::newRow("ten latin") << u"Quorvik软件官方网站"_s << false;
    QTest::newRow("longer than two lines") << u"测试😀网站名字很长很长很长很长很长很长"_s << true;
    QTest::newRow("long latin with ampersand") << u"Tom & Jerry Cartoon Archive and Friends"_s << true;
    QTest::newRow("empty") << QString() << false;
}

void TestWebsites::longNamesShortenedWithToolTip()
{
    QFETCH(QString, name);
    QFETCH(bool, shortened);
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    page.personalBlock()->addEntry(WebsiteEntry{name, u"http://a/"_s, 0xFF000000});
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QToolButton *button = buttonAt(page.personalBlock(), page.personalBlock()->category().entries.size() - 1);
    const QString shown = QString(button->text()).replace(u"&&"_s, u"&"_s);
    const QStringList lines = shown.split(u'\n');
    QVERIFY(lines.size() <= 2);
    QCOMPARE(shown.endsWith(u'…'), shortened);
    QCOMPARE(button->toolTip(), shortened ? name : QString());
    if (!shortened)
        QCOMPARE(lines.join(QString()).remove(u' '), QString(name).remove(u' '));
    // Every line fits the button, so nothing is cut at its edges or below it.
    for (const QString &line : lines)
        QVERIFY2(button->fontMetrics().horizontalAdvance(line) <= button->width(), qPrintable(line));
    QVERIFY(button->fontMetrics().lineSpacing() * lines.size() <= button->height());
    // The entry itself keeps the whole name.
    QCOMPARE(page.personalBlock()->category().entries.last().text, name);
}

void TestWebsites::remoteTextsShownAsPlainText()
{
    WebsiteWidget page;
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    QVERIFY(page.loadRemoteWebsites(
        "<s><website><c text=\"&lt;img src='file:///etc/x.png'&gt;&lt;b&gt;粗&lt;/b&gt;\">"
        "<w text=\"AT&amp;T\" url=\"http://att/\"/></c></website></s>"));
    ClassifiedWebsiteWidget *block = page.blocks().at(1);
    auto *title = block->findChild<QLabel *>(u"title"_s);
    QCOMPARE(title->textFormat(), Qt::PlainText);
    QCOMPARE(title->text(), u"<img src='file:///etc/x.png'><b>粗</b>"_s);
    // "&" shows as itself and registers no Alt shortcut.
    QToolButton *button = buttonAt(block, 0);
    QCOMPARE(button->text(), u"AT&&T"_s);
    QCOMPARE(button->shortcut(), QKeySequence());
    QCOMPARE(block->category().entries.first().text, u"AT&T"_s);
}

// ---- context menu ----

void TestWebsites::contextMenuMatrix_data()
{
    QTest::addColumn<bool>("personal");
    QTest::addColumn<bool>("onWebsite");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QList<bool>>("enabled"); // 添加 删除 修改 复制链接地址 加入IE收藏夹

    QTest::newRow("personal website") << true << true << true << QList<bool>{true, true, true, true, true};
    QTest::newRow("personal empty part") << true << false << true << QList<bool>{true, false, false, false, false};
    QTest::newRow("remote website") << false << true << true << QList<bool>{false, false, false, true, true};
    QTest::newRow("remote empty part") << false << false << false << QList<bool>();
}

void TestWebsites::contextMenuMatrix()
{
    QFETCH(bool, personal);
    QFETCH(bool, onWebsite);
    QFETCH(bool, shown);
    QFETCH(QList<bool>, enabled);

    TempDataDir dir;
    const QString path = dir.write(u"luw.dat"_s, luw("<ws text=\"甲\" url=\"http://a/\"/><ws text=\"乙\" url=\"http://b/\"/>"));
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(path);
    page.loadRemoteWebsites(fixture());
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    ClassifiedWebsiteWidget *block = personal ? page.personalBlock() : page.blocks().at(1);
    // The real route: a context-menu event on the widget under the mouse, passed up to the block.
    QWidget *target = onWebsite ? static_cast<QWidget *>(buttonAt(block, 1))
                                : block->grid()->viewport();
    QTableWidget *grid = block->grid();
    QVERIFY(block->category().entries.size() % 8 != 0); // the last cell is empty
    const QPoint local = onWebsite ? QPoint(5, 5)
                                   : QPoint(grid->columnViewportPosition(7) + 5,
                                            grid->rowViewportPosition(grid->rowCount() - 1) + 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, local, target->mapToGlobal(local));
    QApplication::sendEvent(target, &event);

    QMenu *menu = page.contextMenu();
    QCOMPARE(menu && menu->isVisible(), shown);
    if (!shown)
        return;
    const QStringList names{u"添加"_s, u"删除"_s, u"修改"_s, u"复制链接地址"_s, u"加入IE收藏夹"_s};
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(actions.at(i)->text(), names.at(i));
        QVERIFY2(actions.at(i)->isEnabled() == enabled.at(i), qPrintable(names.at(i)));
    }
    if (onWebsite)
        QCOMPARE(page.currentEntry(), block->category().entries.at(1));
    menu->hide();
}

void TestWebsites::copyUrlPutsThatAddress()
{
    TempDataDir dir;
    const QString path = dir.write(u"luw.dat"_s, luw("<ws text=\"a\" url=\"http://a/\"/><ws text=\"b\" url=\"http://b/?q=1\"/>"));
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(path);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    ClassifiedWebsiteWidget *block = page.personalBlock();
    const QPoint pos = buttonAt(block, 1)->mapTo(block, QPoint(3, 3));
    emit block->customContextMenuRequested(pos);
    QVERIFY(page.contextMenu()->isVisible());
    page.contextMenu()->findChild<QAction *>(u"actionCopyUrl"_s)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"http://b/?q=1"_s);
    page.contextMenu()->hide();
}

void TestWebsites::addWebsiteThroughEditorSaves()
{
    TempDataDir dir;
    QVector<WebsiteEntry> eight;
    for (int i = 0; i < 8; ++i)
        eight.append({u"网站%1"_s.arg(i), u"http://s%1/"_s.arg(i), 0xFF000000});
    const QString path = dir.filePath(u"luw.dat"_s);
    QVERIFY(WebsiteStore::savePersonal(path, eight));
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(path);
    page.show();
    const int oneRow = page.personalBlock()->grid()->maximumHeight();

    // Cancelled: nothing changes.
    answerEditor([](WebsiteEditorDialog *d) { d->findChild<QToolButton *>(u"close_"_s)->click(); });
    page.onAddWebsite();
    QCOMPARE(page.personalBlock()->category().entries.size(), 8);

    answerEditor([](WebsiteEditorDialog *d) {
        typeText(d->findChild<QLineEdit *>(u"name_"_s), u"知乎"_s);
        typeText(d->findChild<QLineEdit *>(u"url_"_s), u"https://www.zhihu.com/"_s);
        d->findChild<QPushButton *>(u"confirm_"_s)->click();
    });
    page.onAddWebsite();
    QCOMPARE(page.personalBlock()->category().entries.size(), 9);
    QCOMPARE(page.personalBlock()->grid()->rowCount(), 2);
    QCOMPARE(page.personalBlock()->grid()->maximumHeight(), 2 * oneRow);
    QCOMPARE(buttonAt(page.personalBlock(), 8)->text(), u"知乎"_s);
    const WebsiteCategory saved = WebsiteStore::loadPersonal(path);
    QCOMPARE(saved.entries.size(), 9);
    QCOMPARE(saved.entries.last(), (WebsiteEntry{u"知乎"_s, u"https://www.zhihu.com/"_s, 0xFF000000}));
}

void TestWebsites::modifyDefaultEntryMakesItBlack()
{
    TempDataDir dir;
    const QString path = dir.filePath(u"luw.dat"_s);
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(path);
    page.show();
    ClassifiedWebsiteWidget *block = page.personalBlock();
    QCOMPARE(block->category().entries.first().color, 0xFFFF0000u);
    emit block->customContextMenuRequested(buttonAt(block, 0)->mapTo(block, QPoint(2, 2)));
    page.contextMenu()->hide();

    answerEditor([](WebsiteEditorDialog *d) {
        QCOMPARE(d->name(), u"右键添加"_s);
        QCOMPARE(d->url(), Endpoints::makerSite());
        QVERIFY(d->findChild<QPushButton *>(u"confirm_"_s)->isEnabled());
        d->setName(u"我的主页"_s);
        d->findChild<QPushButton *>(u"confirm_"_s)->click();
    });
    page.contextMenu()->findChild<QAction *>(u"actionModify"_s)->trigger();
    QCOMPARE(block->category().entries.first().text, u"我的主页"_s);
    QCOMPARE(block->category().entries.first().color, 0xFF000000u);
    QCOMPARE(buttonAt(block, 0)->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::black));
    QCOMPARE(WebsiteStore::loadPersonal(path).entries.first().text, u"我的主页"_s);
}

void TestWebsites::deleteSurvivesRestartAndClicksOpenRightSite()
{
    TempDataDir dir;
    const QString path = dir.write(
        u"luw.dat"_s, luw("<ws text=\"a\" url=\"http://a.example/\"/><ws text=\"b\" url=\"http://b.example/\"/>"
                          "<ws text=\"c\" url=\"http://c.example/\"/>"));
    {
        WebsiteWidget page;
        page.resize(900, 470);
        page.loadLocalWebsites(path);
        page.show();
        ClassifiedWebsiteWidget *block = page.personalBlock();
        emit block->customContextMenuRequested(buttonAt(block, 0)->mapTo(block, QPoint(2, 2)));
        page.contextMenu()->hide();
        page.contextMenu()->findChild<QAction *>(u"actionDelete"_s)->trigger();
        QCOMPARE(texts(block->category().entries), (QStringList{u"b"_s, u"c"_s}));

        m_recorder.opened.clear();
        buttonAt(block, 1)->click();
        QCOMPARE(m_recorder.opened, QList<QUrl>{QUrl(u"http://c.example/"_s)});
    }
    WebsiteWidget restarted;
    restarted.loadLocalWebsites(path);
    QCOMPARE(texts(restarted.personalBlock()->category().entries), (QStringList{u"b"_s, u"c"_s}));
}

void TestWebsites::defaultListNotWrittenUntilChanged()
{
    TempDataDir dir;
    const QString path = dir.filePath(u"sub/luw.dat"_s);
    QDir().mkpath(dir.filePath(u"sub"_s));
    WebsiteWidget page;
    page.loadLocalWebsites(path);
    page.loadRemoteWebsites(fixture());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(dir.filePath(u"sub"_s)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void TestWebsites::brokenFileKeptAside()
{
    TempDataDir dir;
    const QByteArray broken("<root><website><ws text=\"lost\" url=\"http://x/\"");
    const QString path = dir.write(u"luw.dat"_s, broken);
    WebsiteWidget page;
    page.loadLocalWebsites(path);
    QCOMPARE(texts(page.personalBlock()->category().entries), QStringList{u"右键添加"_s});
    QCOMPARE(dir.read(u"luw.dat"_s), broken); // loading leaves it alone

    answerEditor([](WebsiteEditorDialog *d) {
        d->setName(u"新"_s);
        d->setUrl(u"http://new/"_s);
        d->onConfirm();
    });
    page.onAddWebsite();
    QCOMPARE(dir.read(u"luw.dat.broken"_s), broken);
    QCOMPARE(texts(WebsiteStore::loadPersonal(path).entries), (QStringList{u"右键添加"_s, u"新"_s}));
}

void TestWebsites::unwritableFileKeepsChangeInMemory()
{
    TempDataDir dir;
    const QByteArray broken("not xml");
    const QString path = dir.write(u"luw.dat"_s, broken);
    // The aside copy cannot be made (a folder is in its way), so the save must not go ahead.
    dir.write(u"luw.dat.broken/keep"_s, "x");
    WebsiteWidget page;
    page.loadLocalWebsites(path);
    answerEditor([](WebsiteEditorDialog *d) {
        d->setName(u"新"_s);
        d->setUrl(u"http://new/"_s);
        d->onConfirm();
    });
    page.onAddWebsite();
    QCOMPARE(page.personalBlock()->category().entries.size(), 2);
    QCOMPARE(dir.read(u"luw.dat"_s), broken);
    QVERIFY(!page.saveLocalWebsites(path));

    // A folder that does not exist: no file appears, the entries stay.
    QVERIFY(!page.saveLocalWebsites(dir.filePath(u"missing/luw.dat"_s)));
    QCOMPARE(page.personalBlock()->category().entries.size(), 2);
}

// ---- editor ----

void TestWebsites::editorConfirm_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("both empty") << QString() << QString() << false;
    QTest::newRow("only name") << u"新浪"_s << QString() << false;
    QTest::newRow("only url") << QString() << u"http://x/"_s << false;
    QTest::newRow("both") << u"新浪"_s << u"sina.com.cn"_s << true;
    QTest::newRow("name of blanks") << u"   "_s << u"sina.com.cn"_s << false;
    QTest::newRow("url of blanks") << u"新浪"_s << u" "_s << false;
}

void TestWebsites::editorConfirm()
{
    QFETCH(QString, name);
    QFETCH(QString, url);
    QFETCH(bool, enabled);

    WebsiteEditorDialog dialog;
    auto *confirm = dialog.findChild<QPushButton *>(u"confirm_"_s);
    QVERIFY(!confirm->isEnabled());
    QCOMPARE(confirm->text(), u"确定"_s);
    // A disabled button must not look like the enabled one.
    QVERIFY(confirm->palette().color(QPalette::Disabled, QPalette::ButtonText)
            != confirm->palette().color(QPalette::Active, QPalette::ButtonText));
    // Through the setters...
    dialog.setName(name);
    dialog.setUrl(url);
    QCOMPARE(confirm->isEnabled(), enabled);

    // ...and through typing.
    WebsiteEditorDialog typed;
    typed.show();
    typeText(typed.findChild<QLineEdit *>(u"name_"_s), name);
    typeText(typed.findChild<QLineEdit *>(u"url_"_s), url);
    auto *typedConfirm = typed.findChild<QPushButton *>(u"confirm_"_s);
    QCOMPARE(typedConfirm->isEnabled(), enabled);
    if (enabled) {
        QTest::keyClick(typed.findChild<QLineEdit *>(u"url_"_s), Qt::Key_Backspace);
        QTest::keyClicks(typed.findChild<QLineEdit *>(u"url_"_s), u"/"_s);
        typed.findChild<QLineEdit *>(u"url_"_s)->selectAll();
        QTest::keyClick(typed.findChild<QLineEdit *>(u"url_"_s), Qt::Key_Delete);
        QVERIFY(!typedConfirm->isEnabled());
    }
}

void TestWebsites::editorNameTakesTenCharacters()
{
    WebsiteEditorDialog dialog;
    dialog.show();
    auto *name = dialog.findChild<QLineEdit *>(u"name_"_s);
    typeText(name, u"一二三四五六七八九十十一"_s);
    QCOMPARE(name->text(), u"一二三四五六七八九十"_s);
    // An emoji that does not fit as a whole is refused, never kept as half a character.
    name->clear();
    typeText(name, u"一二三四五六七八九"_s);
    QKeyEvent emoji(QEvent::KeyPress, 0, Qt::NoModifier, u"😀"_s);
    QApplication::sendEvent(name, &emoji);
    QVERIFY2(!name->text().endsWith(QChar(0xD83D)), qPrintable(name->text()));
    name->clear();
    name->insert(u"一二三四五六七八九😀"_s);
    QVERIFY2(!name->text().endsWith(QChar(0xD83D)), qPrintable(name->text()));
    QCOMPARE(dialog.size(), QSize(640, 150));
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(name->placeholderText(), u"如：Quorvik软件"_s);
    QCOMPARE(dialog.findChild<QLineEdit *>(u"url_"_s)->placeholderText(), u"如："_s + Endpoints::makerSite());
    QCOMPARE(dialog.findChild<QToolButton *>(u"close_"_s)->toolTip(), u"关闭"_s);
}

// ---- opening ----

void TestWebsites::urlToOpen_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("typedByUser");
    QTest::addColumn<QString>("opened"); // empty: not opened

    QTest::newRow("remote http") << u"http://news.sina.com.cn/"_s << false << u"http://news.sina.com.cn/"_s;
    QTest::newRow("remote https") << u"https://www.jd.com/"_s << false << u"https://www.jd.com/"_s;
    QTest::newRow("remote ftp") << u"ftp://ftp.example.com/pub"_s << false << u"ftp://ftp.example.com/pub"_s;
    QTest::newRow("remote upper-case scheme") << u"HTTP://www.qq.com/"_s << false << u"http://www.qq.com/"_s;
    QTest::newRow("remote no scheme") << u"www.sina.com.cn"_s << false << u"http://www.sina.com.cn"_s;
    QTest::newRow("remote file url") << u"file:///etc/passwd"_s << false << QString();
    QTest::newRow("remote local path") << u"/usr/bin/xterm"_s << false << QString();
    QTest::newRow("remote windows path") << u"C:\\Windows\\system32\\calc.exe"_s << false << QString();
    QTest::newRow("remote unc path") << u"\\\\server\\share\\x.exe"_s << false << QString();
    QTest::newRow("remote javascript") << u"javascript:alert(1)"_s << false << QString();
    QTest::newRow("remote mailto") << u"mailto:a@b.cn"_s << false << QString();
    QTest::newRow("remote other scheme") << u"ms-settings:privacy"_s << false << QString();
    QTest::newRow("empty") << QString() << false << QString();
    QTest::newRow("personal without scheme") << u"www.example.com"_s << true << u"http://www.example.com"_s;
    QTest::newRow("personal host and port") << u"www.example.com:8080/a"_s << true
                                            << u"http://www.example.com:8080/a"_s;
    QTest::newRow("personal padded") << u"  www.qq.com  "_s << true << u"http://www.qq.com"_s;
    QTest::newRow("personal local path") << u"/etc/passwd"_s << true << QString();
    QTest::newRow("personal with scheme") << u"https://mail.qq.com/"_s << true << u"https://mail.qq.com/"_s;
    QTest::newRow("personal mailto as typed") << u"mailto:a@b.cn"_s << true << u"mailto:a@b.cn"_s;
    QTest::newRow("personal file as typed") << u"file:///tmp/list.txt"_s << true << u"file:///tmp/list.txt"_s;
}

void TestWebsites::urlToOpen()
{
    QFETCH(QString, address);
    QFETCH(bool, typedByUser);
    QFETCH(QString, opened);
    const QUrl url = websiteUrlToOpen(address, typedByUser);
    if (opened.isEmpty())
        QVERIFY2(!url.isValid(), qPrintable(url.toString()));
    else
        QCOMPARE(url, QUrl(opened));
}

void TestWebsites::doubleClickOpensOnce()
{
    TempDataDir dir;
    const QString path = dir.write(
        u"luw.dat"_s, luw("<ws text=\"a\" url=\"http://a.example/\"/><ws text=\"b\" url=\"http://b.example/\"/>"));
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(path);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    ClassifiedWebsiteWidget *block = page.personalBlock();
    m_recorder.opened.clear();
    // A double click reaches the button as two clicks in quick succession.
    buttonAt(block, 0)->click();
    buttonAt(block, 0)->click();
    QCOMPARE(m_recorder.opened, QList<QUrl>{QUrl(u"http://a.example/"_s)});
    // Another website right away, and the same one a moment later, open as usual.
    buttonAt(block, 1)->click();
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    buttonAt(block, 1)->click();
    QCOMPARE(m_recorder.opened, (QList<QUrl>{QUrl(u"http://a.example/"_s), QUrl(u"http://b.example/"_s),
                                             QUrl(u"http://b.example/"_s)}));
}

void TestWebsites::clickOpensOnlySafeAddresses()
{
    TempDataDir dir;
    const QString path = dir.write(u"luw.dat"_s, luw("<ws text=\"例子\" url=\"www.example.com\"/>"));
    WebsiteWidget page;
    page.loadLocalWebsites(path);
    page.loadRemoteWebsites("<s><website><c text=\"坏\"><w text=\"本地\" url=\"file:///etc/passwd\"/>"
                            "<w text=\"好\" url=\"https://www.baidu.com/\"/></c></website></s>");
    ClassifiedWebsiteWidget *remote = page.blocks().at(1);

    m_recorder.opened.clear();
    m_network->clearRequests();
    buttonAt(remote, 0)->click();
    QCOMPARE(m_recorder.opened, QList<QUrl>());
    buttonAt(remote, 1)->click();
    buttonAt(page.personalBlock(), 0)->click();
    QCOMPARE(m_recorder.opened, (QList<QUrl>{QUrl(u"https://www.baidu.com/"_s), QUrl(u"http://www.example.com"_s)}));

    // Every click is reported, with the site's name; an empty address is not even reported.
    QTRY_COMPARE(m_network->requestCount(Endpoints::makerSite() + u"stat.aspx?action=wb_"_s), 3);
    page.onOpenUrl(WebsiteEntry{u"空"_s, QString(), 0});
    QCOMPARE(m_network->requestCount(Endpoints::makerSite() + u"stat.aspx?action=wb_"_s), 3);
}

// ---- favourites ----

void TestWebsites::shortcutBytes_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << u"http://www.sina.com.cn/"_s << QByteArray("[InternetShortcut]\r\nURL=http://www.sina.com.cn/");
    QTest::newRow("line break injection") << u"http://a/\r\nIconFile=C:\\evil.ico\n"_s
                                          << QByteArray("[InternetShortcut]\r\nURL=http://a/IconFile=C:\\evil.ico");
    QTest::newRow("lone cr") << u"http://a/\rb"_s << QByteArray("[InternetShortcut]\r\nURL=http://a/b");
}

void TestWebsites::shortcutBytes()
{
    QFETCH(QString, url);
    QFETCH(QByteArray, bytes);
    QCOMPARE(InternetShortcut::contents(url), bytes);
}

void TestWebsites::shortcutFileName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("chinese") << u"新浪新闻"_s << u"新浪新闻"_s;
    QTest::newRow("backslash climb") << u"..\\..\\x"_s << u"_.._x"_s;
    QTest::newRow("slash climb") << u"../x"_s << u"_x"_s;
    QTest::newRow("dot dot") << u".."_s << u"_"_s;
    QTest::newRow("absolute") << u"/etc/passwd"_s << u"_etc_passwd"_s;
    QTest::newRow("drive") << u"C:x"_s << u"C_x"_s;
    QTest::newRow("forbidden characters") << u"a*b?c\"d<e>f|g"_s << u"a_b_c_d_e_f_g"_s;
    QTest::newRow("control character") << u"a\nb\tc"_s << u"a_b_c"_s;
    QTest::newRow("trailing dots and spaces") << u"name. . "_s << u"name"_s;
    QTest::newRow("device name") << u"CON"_s << u"_CON"_s;
    QTest::newRow("device name with dot") << u"com1.txt"_s << u"_com1.txt"_s;
    QTest::newRow("long name cut") << QString(100, u'字') << QString(80, u'字');
    QTest::newRow("emoji at the cut") << QString(79, u'字') + u"😀尾"_s << QString(79, u'字');
}

void TestWebsites::shortcutFileName()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QCOMPARE(InternetShortcut::fileNameFor(text), name);

    TempDataDir dir;
    const QString folder = dir.filePath(u"Favorites"_s);
    QDir().mkpath(folder);
    const QString written = InternetShortcut::write(folder, {text, u"http://x/"_s, 0});
    QCOMPARE(written, folder + u'/' + name + u".url"_s);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{name + u".url"_s});
    QCOMPARE(QDir(dir.filePath(QString())).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{u"Favorites"_s});
}

void TestWebsites::addFavoriteWritesIntoFavorites()
{
    WebsiteWidget page;
    page.resize(900, 470);
    page.loadLocalWebsites(TempDataDir().filePath(u"luw.dat"_s));
    page.loadRemoteWebsites(fixture());
    page.show();
    ClassifiedWebsiteWidget *news = page.blocks().at(1);
    emit news->customContextMenuRequested(buttonAt(news, 2)->mapTo(news, QPoint(4, 4)));
    page.contextMenu()->hide();
    page.contextMenu()->findChild<QAction *>(u"actionAddFavorite"_s)->trigger();

    const QString folder = KnownFolders::favorites();
    QVERIFY(folder.startsWith(QDir::homePath()));
    QFile file(folder + u"/腾讯新闻.url"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[InternetShortcut]\r\nURL=https://news.qq.com/"));
    file.close();

    // Again, over the old file.
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("stale and longer than the new contents ....................................");
    file.close();
    page.onAddFavorite();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[InternetShortcut]\r\nURL=https://news.qq.com/"));
}

namespace {
QStringList titlesBelowPersonal(const WebsiteWidget &page)
{
    QStringList titles;
    for (ClassifiedWebsiteWidget *block : page.blocks().mid(1))
        titles.append(block->category().text);
    return titles;
}
} // namespace

// About ten categories of well-known sites, 8 to 16 each, every address a web address.
void TestWebsites::builtinList()
{
    const QVector<WebsiteCategory> categories = WebsiteStore::builtinCategories();
    QVERIFY(categories.size() >= 8 && categories.size() <= 12);
    QSet<QString> addresses;
    for (const WebsiteCategory &category : categories) {
        QVERIFY2(category.entries.size() >= 8 && category.entries.size() <= 16, qPrintable(category.text));
        for (const WebsiteEntry &entry : category.entries) {
            const QUrl url(entry.url, QUrl::StrictMode);
            QVERIFY2(url.isValid() && url.scheme() == u"https"_s && !url.host().isEmpty(), qPrintable(entry.url));
            QVERIFY2(!addresses.contains(entry.url), qPrintable(entry.url));
            addresses.insert(entry.url);
        }
    }
}

void TestWebsites::savedListShownUntilRemoteArrives()
{
    TempDataDir dir;
    const QString saved = dir.filePath(u"websites.xml"_s);
    QStringList builtin;
    for (const WebsiteCategory &category : WebsiteStore::builtinCategories())
        builtin.append(category.text);
    QVector<WebsiteCategory> remoteCategories;
    QVERIFY(WebsiteStore::parseRemote(fixture(), &remoteCategories));
    QStringList remote;
    for (const WebsiteCategory &category : std::as_const(remoteCategories))
        remote.append(category.text);
    QVERIFY(!remote.isEmpty() && remote != builtin);
    {
        WebsiteWidget page;
        page.loadLocalWebsites(dir.filePath(u"luw.dat"_s));
        page.loadSavedWebsites(saved);
        QCOMPARE(titlesBelowPersonal(page), builtin);
        const int colours = ClassifiedWebsiteWidget::blockColorCounter();
        QVERIFY(page.loadRemoteWebsites(fixture()));
        // The built-in blocks are replaced, and the blocks alternate as if they had never been.
        QCOMPARE(titlesBelowPersonal(page), remote);
        QCOMPARE(ClassifiedWebsiteWidget::blockColorCounter(), colours - int(builtin.size() - remote.size()));
    }
    QCOMPARE(dir.read(u"websites.xml"_s), fixture());

    // The next start, before the network answers.
    WebsiteWidget page;
    page.loadLocalWebsites(dir.filePath(u"luw.dat"_s));
    page.loadSavedWebsites(saved);
    QCOMPARE(titlesBelowPersonal(page), remote);
}

void TestWebsites::badRemoteKeepsShownAndSavedList_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << fixture().left(fixture().size() / 2);
    QTest::newRow("html") << QByteArray("<html><body>502 Bad Gateway</body></html>");
    QTest::newRow("no categories") << QByteArray("<sites><website/></sites>");
    QTest::newRow("oversized") << QByteArray("<sites><website>") + QByteArray(3 * 1024 * 1024, ' ')
                                      + QByteArray("</website></sites>");
}

void TestWebsites::badRemoteKeepsShownAndSavedList()
{
    QFETCH(QByteArray, body);
    TempDataDir dir;
    const QByteArray good = "<s><website><c text=\"保存的\"><w text=\"甲\" url=\"https://a.example.cn/\"/></c>"
                            "</website></s>";
    const QString saved = dir.write(u"websites.xml"_s, good);
    WebsiteWidget page;
    page.loadLocalWebsites(dir.filePath(u"luw.dat"_s));
    page.loadSavedWebsites(saved);
    page.loadRemoteWebsites(body);
    QCOMPARE(titlesBelowPersonal(page), QStringList{u"保存的"_s});
    QCOMPARE(dir.read(u"websites.xml"_s), good);
}

void TestWebsites::brokenSavedListFallsBackToBuiltin_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("broken") << QByteArray("<s><website><c text=\"半");
    QTest::newRow("no categories") << QByteArray("<s><website/></s>");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
}

void TestWebsites::brokenSavedListFallsBackToBuiltin()
{
    QFETCH(QByteArray, content);
    TempDataDir dir;
    WebsiteWidget page;
    page.loadLocalWebsites(dir.filePath(u"luw.dat"_s));
    page.loadSavedWebsites(dir.write(u"websites.xml"_s, content));
    QCOMPARE(page.blocks().size(), 1 + WebsiteStore::builtinCategories().size());
    // A good list replaces the broken file.
    QVERIFY(page.loadRemoteWebsites(fixture()));
    QCOMPARE(dir.read(u"websites.xml"_s), fixture());
}

QPA_TEST_MAIN(TestWebsites)
#include "tst_websites.moc"

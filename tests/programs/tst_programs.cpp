// The launcher grid: built-in cells, lup.dat, context menu, re-layout, drag and drop, editor.
#include "FileDialogs.h"
#include "MyMessageBox.h"
#include "ProgramEditorDialog.h"
#include "ProgramEntry.h"
#include "ProgramTableWidget.h"
#include "ProgramTestTools.h"
#include "ProgramWidget.h"
#include "TempDataDir.h"
#include "TestMain.h"
#include "UrlRecorder.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QDomDocument>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;
using namespace ProgramTestTools;

namespace {

// One installable stand-in per built-in row, in row order.
const QStringList kToolPrograms = {
    u"xcalc"_s, u"mousepad"_s, u"mtpaint"_s, u"lxqt-config"_s, u"kuser"_s,
    u"hardinfo"_s, u"htop"_s, u"xpad"_s, u"bleachbit"_s, u"arandr"_s,
    u"xmag"_s, u"rdesktop"_s, u"xvkbd"_s, u"lxtask"_s, u"dconf-editor"_s,
};

QToolButton *cellButton(const ProgramTableWidget *grid, int index)
{
    QWidget *cell = grid->cellWidget(index / 8, index % 8);
    return cell ? cell->findChild<QToolButton *>() : nullptr;
}

QString cellText(const ProgramTableWidget *grid, int index)
{
    const QToolButton *button = cellButton(grid, index);
    return button ? button->text() : QString();
}

QStringList userNames(const ProgramTableWidget *grid)
{
    QStringList names;
    for (const ProgramEntry &entry : grid->userPrograms())
        names << entry.name;
    return names;
}

// The texts of every occupied cell from first on, read from the widgets themselves.
QStringList cellTexts(const ProgramTableWidget *grid, int first)
{
    QStringList texts;
    for (int i = first; i < grid->rowCount() * 8; ++i) {
        if (grid->cellWidget(i / 8, i % 8))
            texts << cellText(grid, i);
    }
    return texts;
}

// Types text as a user would: keys for ASCII, an input-method commit for Chinese.
void typeInto(QLineEdit *edit, const QString &text)
{
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii) {
        QTest::keyClicks(edit, text);
        return;
    }
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

// Stands in for the main window: takes drops itself and hands them to the page's grid.
class DropHost : public QWidget
{
public:
    explicit DropHost(ProgramWidget *page)
        : m_page(page)
    {
        setAcceptDrops(true);
        auto *layout = new QHBoxLayout(this);
        layout->addWidget(page);
    }
    int enters = 0;
    int drops = 0;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        ++enters;
        m_page->tableWidget()->acceptsDrag(event);
    }
    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (!m_page->tableWidget()->acceptsDrag(event))
            event->ignore();
    }
    void dropEvent(QDropEvent *event) override
    {
        ++drops;
        m_page->tableWidget()->dropFiles(event);
    }

private:
    ProgramWidget *m_page;
};

} // namespace

class TestPrograms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void makeEntry_data();
    void makeEntry();

    void systemPrograms_data();
    void systemPrograms();

    void loadPrograms_data();
    void loadPrograms();
    void savePrograms_data();
    void savePrograms();
    void saveKeepsBrokenFile();
    void saveFailureKeepsGrid();

    void contextMenu_data();
    void contextMenu();
    void deleteProgram_data();
    void deleteProgram();
    void deleteRefused_data();
    void deleteRefused();
    void addRows_data();
    void addRows();
    void modifyProgram();
    void programAt_data();
    void programAt();

    void acceptsDrag_data();
    void acceptsDrag();
    void dropFiles_data();
    void dropFiles();
    void dropShortcut();
    void dropsSurviveRestart();
    void dropReachesWindowThroughGrid();

    void editorConfirmEnabled_data();
    void editorConfirmEnabled();
    void editorBrowse_data();
    void editorBrowse();
    void editorConfirm_data();
    void editorConfirm();
    void addThroughMenu();
    void modifyThroughMenu();
    void clickOpensProgram();
    void pageTree();

private:
    // A page whose built-in cells are the given stand-ins and whose list is lup.dat in scratch.
    std::unique_ptr<ProgramWidget> loadPage(const QStringList &tools, bool *loadResult = nullptr);
    QString scratchPath(const QString &name) const { return m_scratch->filePath(name); }
    QString lupPath() const { return scratchPath(u"data/lup.dat"_s); }
    // Creates files ("name") and folders ("name/") in the scratch folder.
    void makeFiles(const QStringList &names);
    QString expand(QString text) const;

    std::unique_ptr<TempDataDir> m_scratch;
};

void TestPrograms::init()
{
    m_scratch = std::make_unique<TempDataDir>();
    QDir().mkpath(scratchPath(u"data"_s));
    MyMessageBox::setAutoAnswer(true);
    MyMessageBox::shownMessages().clear();
}

void TestPrograms::cleanup()
{
    FileDialogs::setAnswererForTest({});
    MyMessageBox::setAutoAnswer(false);
    m_scratch.reset();
}

std::unique_ptr<ProgramWidget> TestPrograms::loadPage(const QStringList &tools, bool *loadResult)
{
    const QString bin = scratchPath(u"bin"_s);
    QDir().mkpath(bin);
    for (const QString &tool : tools)
        writeScript(bin + u'/' + tool, "exit 0");
    auto page = std::make_unique<ProgramWidget>();
    {
        ToolEnvironment env(bin, scratchPath(u"share"_s));
        page->tableWidget()->loadSystemPrograms(0);
    }
    const bool ok = page->tableWidget()->loadPrograms(lupPath());
    if (loadResult)
        *loadResult = ok;
    return page;
}

void TestPrograms::makeFiles(const QStringList &names)
{
    for (const QString &name : names) {
        if (name.endsWith(u'/'))
            QDir().mkpath(scratchPath(name));
        else
            m_scratch->write(name, "content");
    }
}

QString TestPrograms::expand(QString text) const
{
    return text.replace(u"%DIR%"_s, QFileInfo(scratchPath(u"x"_s)).absolutePath());
}

void TestPrograms::makeEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expectedName"); // empty: no entry

    QTest::newRow("missing path gives no entry") << u"Tool"_s << u"gone.exe"_s << QString();
    QTest::newRow("empty path gives no entry") << u"Tool"_s << QString() << QString();
    QTest::newRow("given name kept") << u"我的工具"_s << u"tool.exe"_s << u"我的工具"_s;
    QTest::newRow("no name: file name with extension") << QString() << u"tool.exe"_s << u"tool.exe"_s;
    QTest::newRow("folder exists too") << QString() << u"Folder"_s << u"Folder"_s;
    QTest::newRow("launcher entry named by its Chinese name") << QString() << u"calc.desktop"_s
                                                               << u"计算器"_s;
    QTest::newRow("broken launcher entry named by file") << QString() << u"junk.desktop"_s
                                                          << u"junk.desktop"_s;
}

void TestPrograms::makeEntry()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, expectedName);
    makeFiles({u"tool.exe"_s, u"Folder/"_s, u"junk.desktop"_s});
    writeDesktopEntry(scratchPath(u"calc.desktop"_s),
                      "Type=Application\nName=Calculator\nName[zh_CN]=计算器\nExec=xcalc");
    const QString fullPath = path.isEmpty() ? QString() : scratchPath(path);
    const ProgramEntry entry = makeProgramEntry(name, fullPath, u":/icon/logo32"_s);
    QCOMPARE(entry.name, expectedName);
    if (expectedName.isEmpty()) {
        QVERIFY(entry.path.isEmpty());
        QVERIFY(entry.icon.isNull());
        return;
    }
    QCOMPARE(entry.path, fullPath);
    QVERIFY(!entry.icon.isNull()); // its own icon or the fallback picture
}

void TestPrograms::systemPrograms_data()
{
    QTest::addColumn<QStringList>("tools");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("firstTexts");

    QStringList withoutDisplay = kToolPrograms;
    withoutDisplay.removeAll(u"arandr"_s);
    QTest::newRow("display settings missing: magnifier moves up")
        << withoutDisplay << 14
        << QStringList{u"计算器"_s, u"记事本"_s, u"画图"_s, u"控制面板"_s, u"UAC控制"_s, u"系统信息"_s,
                       u"资源监视器"_s, u"桌面便签"_s, u"磁盘清理"_s, u"放大镜"_s, u"远程桌面连接"_s,
                       u"屏幕键盘"_s, u"任务管理器"_s, u"注册表"_s};
    QTest::newRow("all fifteen") << kToolPrograms << 15 << QStringList();
    QTest::newRow("none") << QStringList() << 0 << QStringList();
    QTest::newRow("only the last") << QStringList{u"dconf-editor"_s} << 1 << QStringList{u"注册表"_s};
}

void TestPrograms::systemPrograms()
{
    QFETCH(QStringList, tools);
    QFETCH(int, count);
    QFETCH(QStringList, firstTexts);
    auto page = loadPage(tools);
    ProgramTableWidget *grid = page->tableWidget();
    QCOMPARE(grid->systemProgramCount(), count);
    QCOMPARE(grid->cellCount(), count);
    QCOMPARE(grid->rowCount(), (count + 7) / 8);
    if (!firstTexts.isEmpty())
        QCOMPARE(cellTexts(grid, 0), firstTexts);
    // Built-in cells are never user programs.
    for (int i = 0; i < count; ++i)
        QVERIFY(grid->programAt(i).name.isEmpty());
    QVERIFY(grid->userPrograms().isEmpty());
}

void TestPrograms::loadPrograms_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("missing file") << QByteArray() << true << QStringList();
    QTest::newRow("empty file") << QByteArray("  \n") << true << QStringList();
    QTest::newRow("malformed") << QByteArray("<root><program><p name=\"A\"") << false << QStringList();
    QTest::newRow("not XML at all") << QByteArray("\x00\xff garbage", 10) << false << QStringList();
    QTest::newRow("two programs in order")
        << QByteArray("<root><program><p name=\"B\" path=\"%DIR%/b.exe\"/><p name=\"A\" path=\"%DIR%/a.exe\"/></program></root>")
        << true << QStringList{u"B"_s, u"A"_s};
    QTest::newRow("p without name takes the file name")
        << QByteArray("<root><program><p path=\"%DIR%/a.exe\"/></program></root>") << true
        << QStringList{u"a.exe"_s};
    QTest::newRow("folder that exists")
        << QByteArray("<root><program><p name=\"文件夹\" path=\"%DIR%/Folder\"/></program></root>") << true
        << QStringList{u"文件夹"_s};
    QTest::newRow("other tags read all the same")
        << QByteArray("<root><program><q name=\"Q\" path=\"%DIR%/a.exe\"/><p name=\"P\" path=\"%DIR%/b.exe\"/></program></root>")
        << true << QStringList{u"Q"_s, u"P"_s};
    QTest::newRow("vanished file dropped")
        << QByteArray("<root><program><p name=\"Gone\" path=\"%DIR%/gone.exe\"/><p name=\"A\" path=\"%DIR%/a.exe\"/></program></root>")
        << true << QStringList{u"A"_s};
    QTest::newRow("entry without path dropped")
        << QByteArray("<root><program><p name=\"NoPath\"/></program></root>") << true << QStringList();
    QTest::newRow("no program element") << QByteArray("<root><p name=\"A\" path=\"%DIR%/a.exe\"/></root>")
                                        << true << QStringList();
    QTest::newRow("document element name not examined")
        << QByteArray("<list><program><p name=\"A\" path=\"%DIR%/a.exe\"/></program></list>") << true
        << QStringList{u"A"_s};
    QTest::newRow("only the first program element")
        << QByteArray("<root><program><p name=\"A\" path=\"%DIR%/a.exe\"/></program><program><p name=\"B\" path=\"%DIR%/b.exe\"/></program></root>")
        << true << QStringList{u"A"_s};
    QTest::newRow("with declaration and Chinese")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n    <program>\n        <p name=\"记事本\" path=\"%DIR%/a.exe\"/>\n    </program>\n</root>\n")
        << true << QStringList{u"记事本"_s};
}

void TestPrograms::loadPrograms()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(QStringList, names);
    makeFiles({u"a.exe"_s, u"b.exe"_s, u"Folder/"_s});
    if (!content.isEmpty())
        m_scratch->write(u"data/lup.dat"_s, expand(QString::fromUtf8(content)).toUtf8());

    bool ok = false;
    auto page = loadPage({u"xcalc"_s, u"mousepad"_s, u"xmag"_s}, &ok);
    ProgramTableWidget *grid = page->tableWidget();
    QCOMPARE(ok, result);
    QCOMPARE(grid->systemProgramCount(), 3);
    QCOMPARE(userNames(grid), names);
    // The user programs sit right after the built-in cells.
    QCOMPARE(cellTexts(grid, 3), names);
    QCOMPARE(grid->cellCount(), 3 + names.size());
}

void TestPrograms::savePrograms_data()
{
    QTest::addColumn<QStringList>("added"); // files added in order, then saved
    QTest::addColumn<QStringList>("removeBeforeSave");
    QTest::addColumn<QStringList>("saved"); // the "p" elements, in file order

    QTest::newRow("empty list") << QStringList() << QStringList() << QStringList();
    QTest::newRow("cell order") << QStringList{u"b.exe"_s, u"a.exe"_s} << QStringList()
                                << QStringList{u"b.exe"_s, u"a.exe"_s};
    QTest::newRow("vanished file left out of the file")
        << QStringList{u"a.exe"_s, u"b.exe"_s} << QStringList{u"a.exe"_s} << QStringList{u"b.exe"_s};
    QTest::newRow("markup and Chinese in names")
        << QStringList{u"a&<\"b\">.exe"_s, u"记事本.txt"_s} << QStringList()
        << QStringList{u"a&<\"b\">.exe"_s, u"记事本.txt"_s};
}

void TestPrograms::savePrograms()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, removeBeforeSave);
    QFETCH(QStringList, saved);
    makeFiles(added);
    auto page = loadPage({u"xcalc"_s});
    ProgramTableWidget *grid = page->tableWidget();
    for (const QString &name : added)
        QVERIFY(grid->addProgram(QString(), scratchPath(name)));
    for (const QString &name : removeBeforeSave)
        QVERIFY(QFile::remove(scratchPath(name)));
    QVERIFY(grid->savePrograms(lupPath()));

    const QByteArray bytes = m_scratch->read(u"data/lup.dat"_s);
    // No declaration, indented by four.
    QVERIFY2(bytes.startsWith(saved.isEmpty() ? "<root>\n    <program/>\n</root>" : "<root>\n    <program>\n        <p "),
             bytes.constData());
    QDomDocument doc;
    QVERIFY(doc.setContent(bytes));
    QCOMPARE(doc.documentElement().tagName(), u"root"_s);
    const QDomElement program = doc.documentElement().firstChildElement();
    QCOMPARE(program.tagName(), u"program"_s);
    QStringList names;
    for (QDomElement p = program.firstChildElement(); !p.isNull(); p = p.nextSiblingElement()) {
        QCOMPARE(p.tagName(), u"p"_s);
        QCOMPARE(p.attributes().count(), 2);
        QCOMPARE(p.attribute(u"path"_s), scratchPath(p.attribute(u"name"_s)));
        names << p.attribute(u"name"_s);
    }
    QCOMPARE(names, saved);
    // Vanished programs stay in the grid for this run.
    QCOMPARE(grid->userPrograms().size(), added.size());
    QVERIFY(!QFile::exists(lupPath() + u".broken"_s));
}

void TestPrograms::saveKeepsBrokenFile()
{
    const QByteArray broken = "<root><program><p name=\"A\" path=\"/x\"";
    m_scratch->write(u"data/lup.dat"_s, broken);
    makeFiles({u"a.exe"_s});
    bool ok = true;
    auto page = loadPage({}, &ok);
    QVERIFY(!ok);
    QVERIFY(page->tableWidget()->addProgram(QString(), scratchPath(u"a.exe"_s)));
    QVERIFY(page->tableWidget()->savePrograms(lupPath()));
    QCOMPARE(m_scratch->read(u"data/lup.dat.broken"_s), broken);
    QVERIFY(m_scratch->read(u"data/lup.dat"_s).contains("a.exe"));
}

void TestPrograms::saveFailureKeepsGrid()
{
    makeFiles({u"a.exe"_s, u"blocker"_s});
    auto page = loadPage({});
    ProgramTableWidget *grid = page->tableWidget();
    QVERIFY(grid->addProgram(u"A"_s, scratchPath(u"a.exe"_s)));
    // A file where the folder should be: nothing can be written there.
    QVERIFY(!grid->savePrograms(scratchPath(u"blocker/lup.dat"_s)));
    QCOMPARE(m_scratch->read(u"blocker"_s), QByteArray("content"));
    QCOMPARE(userNames(grid), QStringList{u"A"_s});
}

void TestPrograms::contextMenu_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<bool>("onButton"); // press the program's button rather than the cell margin
    QTest::addColumn<bool>("userEnabled");

    QTest::newRow("empty cell") << 5 << false << false;
    QTest::newRow("built-in program") << 1 << false << false;
    QTest::newRow("built-in button") << 0 << true << false;
    QTest::newRow("user program") << 3 << false << true;
    QTest::newRow("user button") << 4 << true << true;
}

void TestPrograms::contextMenu()
{
    QFETCH(int, cell);
    QFETCH(bool, onButton);
    QFETCH(bool, userEnabled);
    makeFiles({u"a.exe"_s, u"b.exe"_s});
    auto page = loadPage({u"xcalc"_s, u"mousepad"_s, u"xmag"_s});
    ProgramTableWidget *grid = page->tableWidget();
    QVERIFY(grid->addProgram(QString(), scratchPath(u"a.exe"_s)));
    QVERIFY(grid->addProgram(QString(), scratchPath(u"b.exe"_s)));
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));

    const QRect rect = grid->visualRect(grid->model()->index(cell / 8, cell % 8));
    if (onButton) {
        QToolButton *button = cellButton(grid, cell);
        QVERIFY(button);
        QTest::mousePress(button, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(5, 5));
    } else {
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, rect.topLeft() + QPoint(3, 3));
        QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, rect.topLeft() + QPoint(3, 3));
    }
    auto *menu = grid->findChild<QMenu *>(u"programMenu"_s);
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions[0]->text(), u"添加"_s);
    QCOMPARE(actions[1]->text(), u"删除"_s);
    QCOMPARE(actions[2]->text(), u"修改"_s);
    QVERIFY(actions[0]->isEnabled());
    QCOMPARE(actions[1]->isEnabled(), userEnabled);
    QCOMPARE(actions[2]->isEnabled(), userEnabled);
    QCOMPARE(grid->currentRow() * 8 + grid->currentColumn(), cell);
    menu->close();
}

void TestPrograms::deleteProgram_data()
{
    QTest::addColumn<int>("builtIns");
    QTest::addColumn<int>("users");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<QStringList>("namesAfter");

    QTest::newRow("only program of the last row removes the row")
        << 3 << 6 << 8 << 1 << QStringList{u"u0"_s, u"u1"_s, u"u2"_s, u"u3"_s, u"u4"_s};
    QTest::newRow("earlier program pulls the last row's one up")
        << 3 << 6 << 4 << 1 << QStringList{u"u0"_s, u"u2"_s, u"u3"_s, u"u4"_s, u"u5"_s};
    QTest::newRow("row kept while it still has a program")
        << 3 << 7 << 3 << 2 << QStringList{u"u1"_s, u"u2"_s, u"u3"_s, u"u4"_s, u"u5"_s, u"u6"_s};
    QTest::newRow("last program of all, no built-ins") << 0 << 1 << 0 << 0 << QStringList();
    QTest::newRow("row of built-ins stays") << 8 << 1 << 8 << 1 << QStringList();
}

void TestPrograms::deleteProgram()
{
    QFETCH(int, builtIns);
    QFETCH(int, users);
    QFETCH(int, index);
    QFETCH(int, rowsAfter);
    QFETCH(QStringList, namesAfter);
    makeFiles({u"f.exe"_s});
    auto page = loadPage(kToolPrograms.mid(0, builtIns));
    ProgramTableWidget *grid = page->tableWidget();
    for (int i = 0; i < users; ++i)
        QVERIFY(grid->addProgram(u"u%1"_s.arg(i), scratchPath(u"f.exe"_s)));

    QVERIFY(grid->deleteProgram(index));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(grid->rowCount(), rowsAfter);
    QCOMPARE(grid->cellCount(), builtIns + namesAfter.size());
    QCOMPARE(userNames(grid), namesAfter);
    QCOMPARE(cellTexts(grid, builtIns), namesAfter);
    QCOMPARE(grid->systemProgramCount(), builtIns);
}

void TestPrograms::deleteRefused_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("built-in cell") << 1;
    QTest::newRow("empty cell") << 4;
    QTest::newRow("far past the end") << 100;
    QTest::newRow("negative") << -1;
}

void TestPrograms::deleteRefused()
{
    QFETCH(int, index);
    makeFiles({u"f.exe"_s});
    auto page = loadPage({u"xcalc"_s, u"mousepad"_s});
    ProgramTableWidget *grid = page->tableWidget();
    QVERIFY(grid->addProgram(u"U"_s, scratchPath(u"f.exe"_s)));
    QVERIFY(!grid->deleteProgram(index));
    QVERIFY(!grid->modifyProgram(index, u"X"_s, scratchPath(u"f.exe"_s)));
    QCOMPARE(grid->cellCount(), 3);
    QCOMPARE(cellTexts(grid, 0), (QStringList{u"计算器"_s, u"记事本"_s, u"U"_s}));
}

void TestPrograms::addRows_data()
{
    QTest::addColumn<int>("builtIns");
    QTest::addColumn<int>("users");
    QTest::addColumn<int>("rows");

    QTest::newRow("filling the first row exactly") << 3 << 5 << 1;
    QTest::newRow("next one adds a row") << 3 << 6 << 2;
    QTest::newRow("filling the second row exactly") << 3 << 13 << 2;
    QTest::newRow("built-ins fill a row, first user program") << 8 << 1 << 2;
    QTest::newRow("no built-ins, one program") << 0 << 1 << 1;
}

void TestPrograms::addRows()
{
    QFETCH(int, builtIns);
    QFETCH(int, users);
    QFETCH(int, rows);
    makeFiles({u"f.exe"_s});
    auto page = loadPage(kToolPrograms.mid(0, builtIns));
    ProgramTableWidget *grid = page->tableWidget();
    for (int i = 0; i < users; ++i)
        QVERIFY(grid->addProgram(u"u%1"_s.arg(i), scratchPath(u"f.exe"_s)));
    QCOMPARE(grid->rowCount(), rows);
    QCOMPARE(grid->cellCount(), builtIns + users);
    QCOMPARE(cellText(grid, builtIns + users - 1), u"u%1"_s.arg(users - 1));
    QVERIFY(!grid->addProgram(u"gone"_s, scratchPath(u"gone.exe"_s)));
    QCOMPARE(grid->rowCount(), rows);
}

void TestPrograms::modifyProgram()
{
    makeFiles({u"a.exe"_s, u"b.exe"_s});
    auto page = loadPage({u"xcalc"_s});
    ProgramTableWidget *grid = page->tableWidget();
    QVERIFY(grid->addProgram(u"A"_s, scratchPath(u"a.exe"_s)));
    QVERIFY(grid->addProgram(u"B"_s, scratchPath(u"b.exe"_s)));
    QVERIFY(grid->modifyProgram(1, u"新名字"_s, scratchPath(u"b.exe"_s)));
    QCOMPARE(grid->cellCount(), 3);
    QCOMPARE(cellTexts(grid, 1), (QStringList{u"新名字"_s, u"B"_s}));
    QCOMPARE(cellButton(grid, 1)->objectName(), scratchPath(u"b.exe"_s));
    QCOMPARE(grid->programAt(1).path, scratchPath(u"b.exe"_s));
    QVERIFY(!grid->modifyProgram(2, u"X"_s, scratchPath(u"gone.exe"_s)));
    QCOMPARE(grid->programAt(2).name, u"B"_s);
}

void TestPrograms::programAt_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("built-in") << 0 << QString();
    QTest::newRow("first user") << 1 << u"A"_s;
    QTest::newRow("second user") << 2 << u"B"_s;
    QTest::newRow("empty") << 3 << QString();
    QTest::newRow("negative") << -5 << QString();
}

void TestPrograms::programAt()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    makeFiles({u"a.exe"_s});
    auto page = loadPage({u"xcalc"_s});
    QVERIFY(page->tableWidget()->addProgram(u"A"_s, scratchPath(u"a.exe"_s)));
    QVERIFY(page->tableWidget()->addProgram(u"B"_s, scratchPath(u"a.exe"_s)));
    QCOMPARE(page->tableWidget()->programAt(index).name, name);
}

void TestPrograms::acceptsDrag_data()
{
    QTest::addColumn<QStringList>("urls"); // %DIR% is the scratch folder
    QTest::addColumn<bool>("accepted");

    QTest::newRow("one file") << QStringList{u"file:%DIR%/a.exe"_s} << true;
    QTest::newRow("folders only") << QStringList{u"file:%DIR%/Folder"_s, u"file:%DIR%/Other"_s} << false;
    QTest::newRow("folder then file") << QStringList{u"file:%DIR%/Folder"_s, u"file:%DIR%/a.exe"_s} << true;
    QTest::newRow("mixed-case path") << QStringList{u"file:%DIR%/Apps/Tool.AppImage"_s} << true;
    QTest::newRow("web address") << QStringList{u"https://example.invalid/a.exe"_s} << false;
    QTest::newRow("missing file") << QStringList{u"file:%DIR%/gone.exe"_s} << false;
    QTest::newRow("no URLs") << QStringList() << false;
}

void TestPrograms::acceptsDrag()
{
    QFETCH(QStringList, urls);
    QFETCH(bool, accepted);
    makeFiles({u"a.exe"_s, u"Folder/"_s, u"Other/"_s, u"Apps/Tool.AppImage"_s});
    auto page = loadPage({});
    QMimeData data;
    if (urls.isEmpty()) {
        data.setText(u"just text"_s);
    } else {
        QList<QUrl> list;
        for (const QString &url : urls)
            list << QUrl(expand(url));
        data.setUrls(list);
    }
    QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, {});
    event.ignore();
    QCOMPARE(page->tableWidget()->acceptsDrag(&event), accepted);
    QCOMPARE(event.isAccepted(), accepted);
    if (accepted)
        QCOMPARE(event.dropAction(), event.proposedAction());
}

void TestPrograms::dropFiles_data()
{
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("files") << QStringList{u"file:%DIR%/b.exe"_s, u"file:%DIR%/a.exe"_s} << true
                           << QStringList{u"b.exe"_s, u"a.exe"_s};
    QTest::newRow("files and folders: folders added too")
        << QStringList{u"file:%DIR%/Folder"_s, u"file:%DIR%/a.exe"_s} << true
        << QStringList{u"Folder"_s, u"a.exe"_s};
    QTest::newRow("remote and missing skipped")
        << QStringList{u"https://example.invalid/x.exe"_s, u"file:%DIR%/gone.exe"_s, u"file:%DIR%/a.exe"_s}
        << true << QStringList{u"a.exe"_s};
    QTest::newRow("same file twice gets two cells")
        << QStringList{u"file:%DIR%/a.exe"_s, u"file:%DIR%/a.exe"_s} << true
        << QStringList{u"a.exe"_s, u"a.exe"_s};
    QTest::newRow("no URLs") << QStringList() << false << QStringList();
}

void TestPrograms::dropFiles()
{
    QFETCH(QStringList, urls);
    QFETCH(bool, result);
    QFETCH(QStringList, names);
    makeFiles({u"a.exe"_s, u"b.exe"_s, u"Folder/"_s, u"old.exe"_s});
    m_scratch->write(u"data/lup.dat"_s,
                     expand(u"<root><program><p name=\"Old\" path=\"%DIR%/old.exe\"/></program></root>"_s).toUtf8());
    auto page = loadPage({u"xcalc"_s, u"mousepad"_s});
    ProgramTableWidget *grid = page->tableWidget();

    QMimeData data;
    QList<QUrl> list;
    for (const QString &url : urls)
        list << QUrl(expand(url));
    if (list.isEmpty())
        data.setText(u"text"_s);
    else
        data.setUrls(list);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCOMPARE(grid->dropFiles(&event), result);

    const QStringList expected = QStringList{u"Old"_s} + names;
    QCOMPARE(userNames(grid), expected);
    QCOMPARE(cellTexts(grid, 2), expected);
    QCOMPARE(grid->cellCount(), 2 + expected.size());
    if (result) {
        // Saved at once, in cell order.
        const QByteArray saved = m_scratch->read(u"data/lup.dat"_s);
        for (const QString &name : names)
            QVERIFY2(saved.contains("name=\"" + name.toUtf8() + '"'), saved.constData());
        QCOMPARE(int(saved.count("<p ")), expected.size());
    }
}

void TestPrograms::dropShortcut()
{
    writePicture(scratchPath(u"pics/calc.png"_s), Qt::magenta);
    const QString entry = writeDesktopEntry(
        scratchPath(u"Calc.desktop"_s),
        "Type=Application\nName=Calculator\nName[zh_CN]=计算器\nExec=xcalc\nIcon=" + scratchPath(u"pics/calc.png"_s).toUtf8());
    auto page = loadPage({});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(entry)});
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QVERIFY(page->tableWidget()->dropFiles(&event));
    QCOMPARE(userNames(page->tableWidget()), QStringList{u"计算器"_s});
    QToolButton *button = cellButton(page->tableWidget(), 0);
    QVERIFY(button);
    QCOMPARE(button->objectName(), entry);
    QCOMPARE(button->iconSize(), QSize(32, 32));
    QCOMPARE(button->icon().pixmap(32, 32).toImage().pixelColor(16, 16), QColor(Qt::magenta));
}

void TestPrograms::dropsSurviveRestart()
{
    makeFiles({u"a.exe"_s, u"Folder/"_s});
    {
        auto page = loadPage({u"xcalc"_s});
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(scratchPath(u"a.exe"_s)), QUrl::fromLocalFile(scratchPath(u"Folder"_s))});
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QVERIFY(page->tableWidget()->dropFiles(&event));
    }
    auto page = loadPage({u"xcalc"_s});
    ProgramTableWidget *grid = page->tableWidget();
    QCOMPARE(userNames(grid), (QStringList{u"a.exe"_s, u"Folder"_s}));
    QCOMPARE(grid->programAt(1).path, scratchPath(u"a.exe"_s));
    QCOMPARE(grid->programAt(2).path, scratchPath(u"Folder"_s));
    QCOMPARE(cellTexts(grid, 0), (QStringList{u"计算器"_s, u"a.exe"_s, u"Folder"_s}));
}

void TestPrograms::dropReachesWindowThroughGrid()
{
    makeFiles({u"a.exe"_s});
    auto page = loadPage({});
    ProgramTableWidget *grid = page->tableWidget();
    DropHost host(page.release());
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    // The grid takes drops itself (drop-only mode) but refuses files, so they reach the window.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(scratchPath(u"a.exe"_s))});
    const QPoint pos(20, 20);
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(grid->viewport(), &enter);
    QCOMPARE(host.enters, 1);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(pos, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(grid->viewport(), &move);
    QVERIFY(move.isAccepted());
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(grid->viewport(), &drop);
    QCOMPARE(host.drops, 1);
    QCOMPARE(userNames(grid), QStringList{u"a.exe"_s});
}

void TestPrograms::editorConfirmEnabled_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("both empty") << QString() << QString() << false;
    QTest::newRow("name only") << u"A"_s << QString() << false;
    QTest::newRow("path only") << QString() << u"/x"_s << false;
    QTest::newRow("both") << u"A"_s << u"/x"_s << true;
    QTest::newRow("name of blanks") << u"  "_s << u"/x"_s << false;
    QTest::newRow("path of blanks") << u"A"_s << u" "_s << false;
}

void TestPrograms::editorConfirmEnabled()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(bool, enabled);
    auto confirmOf = [](ProgramEditorDialog &d) { return d.findChild<QPushButton *>(u"confirm_"_s); };

    // Typed by the user.
    ProgramEditorDialog typed;
    QVERIFY(!confirmOf(typed)->isEnabled());
    typeInto(typed.findChild<QLineEdit *>(u"name_"_s), name);
    typeInto(typed.findChild<QLineEdit *>(u"url_"_s), path);
    QCOMPARE(confirmOf(typed)->isEnabled(), enabled);

    // Filled by the setters.
    ProgramEditorDialog set;
    set.setName(name);
    set.setPath(path);
    QCOMPARE(confirmOf(set)->isEnabled(), enabled);
    QCOMPARE(set.name(), name);
    QCOMPARE(set.path(), path);

    // Emptied again by typing.
    if (enabled) {
        auto *url = set.findChild<QLineEdit *>(u"url_"_s);
        url->selectAll();
        QTest::keyClick(url, Qt::Key_Delete);
        QVERIFY(!confirmOf(set)->isEnabled());
    }
}

void TestPrograms::editorBrowse_data()
{
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("chosen"); // empty: cancelled
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");

    QTest::newRow("typed name kept") << u"我的工具"_s << u"tool.exe"_s << u"我的工具"_s << u"tool.exe"_s;
    QTest::newRow("empty name takes the file name") << QString() << u"tool.exe"_s << u"tool.exe"_s
                                                    << u"tool.exe"_s;
    QTest::newRow("launcher entry gives its name") << QString() << u"calc.desktop"_s << u"计算器"_s
                                                   << u"calc.desktop"_s;
    QTest::newRow("cancel changes nothing") << u"名"_s << QString() << u"名"_s << u"old"_s;
}

void TestPrograms::editorBrowse()
{
    QFETCH(QString, typedName);
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    QFETCH(QString, path);
    makeFiles({u"tool.exe"_s});
    writeDesktopEntry(scratchPath(u"calc.desktop"_s), "Type=Application\nName[zh_CN]=计算器\nName=Calc\nExec=c");
    const QString chosenPath = chosen.isEmpty() ? QString() : scratchPath(chosen);
    QString caption;
    FileDialogs::setAnswererForTest([&](QWidget *, const QString &c, const QString &, const QString &, QString *) {
        caption = c;
        return chosenPath;
    });

    ProgramEditorDialog dialog;
    if (chosen.isEmpty())
        dialog.setPath(u"old"_s);
    typeInto(dialog.findChild<QLineEdit *>(u"name_"_s), typedName);
    QTest::mouseClick(dialog.findChild<QToolButton *>(u"browseProgram_"_s), Qt::LeftButton);
    QCOMPARE(caption, u"选择文件/程序"_s);
    QCOMPARE(dialog.name(), name);
    QCOMPARE(dialog.path(), chosen.isEmpty() ? path : scratchPath(path));
    QCOMPARE(dialog.findChild<QPushButton *>(u"confirm_"_s)->isEnabled(), !name.isEmpty());
}

void TestPrograms::editorConfirm_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("existing file") << u"tool.exe"_s << true;
    QTest::newRow("missing file") << u"gone.exe"_s << false;
    QTest::newRow("folder") << u"Folder"_s << false;
    QTest::newRow("relative junk") << u"?"_s << false;
}

void TestPrograms::editorConfirm()
{
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    makeFiles({u"tool.exe"_s, u"Folder/"_s});
    ProgramEditorDialog dialog;
    dialog.setName(u"N"_s);
    dialog.setPath(path == u"?"_s ? path : scratchPath(path));
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"confirm_"_s), Qt::LeftButton);
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    QCOMPARE(MyMessageBox::shownMessages(),
             accepted ? QStringList() : QStringList{u"错误|请指定一个有效的文件路径！"_s});
}

void TestPrograms::addThroughMenu()
{
    makeFiles({u"tool.exe"_s});
    auto page = loadPage({u"xcalc"_s});
    ProgramTableWidget *grid = page->tableWidget();
    bool sawDialog = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ProgramEditorDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        sawDialog = true;
        typeInto(dialog->findChild<QLineEdit *>(u"name_"_s), u"工具"_s);
        typeInto(dialog->findChild<QLineEdit *>(u"url_"_s), scratchPath(u"tool.exe"_s));
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"confirm_"_s), Qt::LeftButton);
    });
    grid->onAddProgram();
    QVERIFY(sawDialog);
    QCOMPARE(userNames(grid), QStringList{u"工具"_s});
    QCOMPARE(cellText(grid, 1), u"工具"_s);
    QVERIFY(m_scratch->read(u"data/lup.dat"_s).contains("name=\"工具\""));

    // Cancelling adds nothing but still writes the list.
    QFile::remove(lupPath());
    QTimer::singleShot(0, this, [] {
        if (auto *dialog = QApplication::activeModalWidget())
            QTest::mouseClick(dialog->findChild<QToolButton *>(u"close_"_s), Qt::LeftButton);
    });
    grid->onAddProgram();
    QCOMPARE(grid->userPrograms().size(), 1);
    QVERIFY(QFile::exists(lupPath()));
}

void TestPrograms::modifyThroughMenu()
{
    makeFiles({u"a.exe"_s, u"b.exe"_s});
    auto page = loadPage({u"xcalc"_s});
    ProgramTableWidget *grid = page->tableWidget();
    QVERIFY(grid->addProgram(u"A"_s, scratchPath(u"a.exe"_s)));
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    const QRect rect = grid->visualRect(grid->model()->index(0, 1));
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, rect.center());
    auto *menu = grid->findChild<QMenu *>(u"programMenu"_s);
    QVERIFY(menu);
    menu->close();

    QString prefilledName;
    QString prefilledPath;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ProgramEditorDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        prefilledName = dialog->name();
        prefilledPath = dialog->path();
        dialog->setName(u"改名"_s);
        dialog->setPath(scratchPath(u"b.exe"_s));
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"confirm_"_s), Qt::LeftButton);
    });
    menu->actions().at(2)->trigger();
    QCOMPARE(prefilledName, u"A"_s);
    QCOMPARE(prefilledPath, scratchPath(u"a.exe"_s));
    QCOMPARE(grid->programAt(1).name, u"改名"_s);
    QCOMPARE(grid->programAt(1).path, scratchPath(u"b.exe"_s));
    QVERIFY(m_scratch->read(u"data/lup.dat"_s).contains("b.exe"));

    // Delete through the same menu on the same cell.
    menu->actions().at(1)->trigger();
    QVERIFY(grid->userPrograms().isEmpty());
    QCOMPARE(grid->cellCount(), 1);
    QVERIFY(!m_scratch->read(u"data/lup.dat"_s).contains("<p "));
}

void TestPrograms::clickOpensProgram()
{
    UrlRecorder recorder{"file"};
    makeFiles({u"Report.TXT"_s});
    auto page = loadPage({});
    QVERIFY(page->tableWidget()->addProgram(QString(), scratchPath(u"Report.TXT"_s)));
    cellButton(page->tableWidget(), 0)->click();
    QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(scratchPath(u"Report.TXT"_s))});
}

void TestPrograms::pageTree()
{
    ProgramWidget page;
    QCOMPARE(page.objectName(), u"ProgramWidget"_s);
    QCOMPARE(page.size(), QSize(900, 470));
    QCOMPARE(page.windowTitle(), u"ProgramWidget"_s);
    auto *layout = page.findChild<QHBoxLayout *>(u"horizontalLayout"_s);
    QVERIFY(layout);
    QCOMPARE(layout->contentsMargins(), QMargins(9, 0, 9, 0));
    ProgramTableWidget *grid = page.findChild<ProgramTableWidget *>(u"tableWidget"_s);
    QCOMPARE(grid, page.tableWidget());
    QCOMPARE(grid->columnCount(), 8);
    QVERIFY(grid->horizontalHeader()->isHidden());
    QVERIFY(grid->verticalHeader()->isHidden());
    QCOMPARE(grid->horizontalHeader()->defaultSectionSize(), 110);
    QCOMPARE(grid->verticalHeader()->defaultSectionSize(), 91);
    QCOMPARE(grid->dragDropMode(), QAbstractItemView::DropOnly);
    QCOMPARE(grid->selectionMode(), QAbstractItemView::NoSelection);
    QCOMPARE(grid->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(grid->focusPolicy(), Qt::NoFocus);
    QVERIFY(!grid->showGrid());
    QCOMPARE(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

QPA_TEST_MAIN(TestPrograms)
#include "tst_programs.moc"

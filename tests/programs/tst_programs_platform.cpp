// Launcher entries, built-in tool lookup, file icons and starting programs.
#include "DesktopEntry.h"
#include "FileIcon.h"
#include "ProgramTestTools.h"
#include "ShellOpen.h"
#include "SystemTools.h"
#include "TempDataDir.h"
#include "TestMain.h"
#include "UrlRecorder.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace ProgramTestTools;

// Records the URLs the desktop services would have opened.
class TestProgramPlatform : public QObject
{
    Q_OBJECT

private slots:
    void entryName_data();
    void entryName();
    void entryFields();
    void commandLine_data();
    void commandLine();

    void builtInTools_data();
    void builtInTools();
    void builtInFallbackIcons();
    void builtInDefaultPathsFollowEnvironment();

    void entryIcon_data();
    void entryIcon();
    void missingFileHasNoIcon();

    void openExecutable();
    void openEntry_data();
    void openEntry();
    void openDocument_data();
    void openDocument();
    void openLinkEntry();

private:
    UrlRecorder m_recorder{"file", "https"};
};

void TestProgramPlatform::entryName_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("name");

    QTest::newRow("plain name") << QByteArray("[Desktop Entry]\nType=Application\nName=Calc\n")
                                << true << u"Calc"_s;
    QTest::newRow("simplified Chinese wins")
        << QByteArray("[Desktop Entry]\nType=Application\nName=Calc\nName[de]=Rechner\nName[zh_CN]=计算器\n")
        << true << u"计算器"_s;
    QTest::newRow("Chinese without region")
        << QByteArray("[Desktop Entry]\nType=Application\nName=Calc\nName[zh]=计算\n") << true << u"计算"_s;
    QTest::newRow("other languages ignored")
        << QByteArray("[Desktop Entry]\nType=Application\nName[fr]=Calculatrice\nName=Calc\n")
        << true << u"Calc"_s;
    QTest::newRow("action group after main ignored")
        << QByteArray("[Desktop Entry]\nType=Application\nName=Calc\n\n[Desktop Action New]\nName[zh_CN]=新建\n")
        << true << u"Calc"_s;
    QTest::newRow("group before main ignored")
        << QByteArray("[Other]\nName=Wrong\n[Desktop Entry]\nType=Application\nName=Right\n") << true
        << u"Right"_s;
    QTest::newRow("spaces around equals and comments")
        << QByteArray("# comment\n[Desktop Entry]\nType = Application\n#Name=Hidden\nName = Spaced Out \n")
        << true << u"Spaced Out"_s;
    QTest::newRow("escaped space") << QByteArray("[Desktop Entry]\nType=Application\nName=\\sLead\n")
                                   << true << u" Lead"_s;
    QTest::newRow("no type is no entry") << QByteArray("[Desktop Entry]\nName=Calc\n") << false << QString();
    QTest::newRow("no main group") << QByteArray("[Other]\nType=Application\nName=Calc\n") << false
                                   << QString();
    QTest::newRow("binary junk") << QByteArray("\x00\x01\xff\xfe[", 5) << false << QString();
}

void TestProgramPlatform::entryName()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);
    QFETCH(QString, name);
    TempDataDir dir;
    const DesktopEntry entry = DesktopEntries::read(dir.write(u"a.desktop"_s, content));
    QCOMPARE(entry.valid, valid);
    QCOMPARE(entry.name, name);
}

void TestProgramPlatform::entryFields()
{
    TempDataDir dir;
    const DesktopEntry entry = DesktopEntries::read(dir.write(
        u"a.desktop"_s,
        "[Desktop Entry]\nType=Application\nName=A\nIcon=acc\nExec=a %U\nTryExec=a\nPath=/tmp\n"
        "Terminal=true\nNoDisplay=true\nHidden=false\n"));
    QVERIFY(entry.valid);
    QCOMPARE(entry.icon, u"acc"_s);
    QCOMPARE(entry.exec, u"a %U"_s);
    QCOMPARE(entry.tryExec, u"a"_s);
    QCOMPARE(entry.workingDirectory, u"/tmp"_s);
    QVERIFY(entry.terminal);
    QVERIFY(entry.noDisplay);
    QVERIFY(!entry.hidden);
    QVERIFY(!DesktopEntries::read(dir.filePath(u"missing.desktop"_s)).valid);
    QVERIFY(DesktopEntries::isDesktopFile(u"/x/Tool.DESKTOP"_s));
    QVERIFY(!DesktopEntries::isDesktopFile(u"/x/desktop"_s));
}

void TestProgramPlatform::commandLine_data()
{
    QTest::addColumn<QByteArray>("exec");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("file list code dropped") << QByteArray("gedit %U") << QStringList{u"gedit"_s};
    QTest::newRow("every file and url code dropped")
        << QByteArray("app %f %F %u %U %d %D %n %N %v %m") << QStringList{u"app"_s};
    QTest::newRow("code inside a word leaves the rest") << QByteArray("app --file=%f")
                                                        << QStringList{u"app"_s, u"--file="_s};
    QTest::newRow("quoted program with spaces")
        << QByteArray("\"/opt/My App/run\" --flag") << QStringList{u"/opt/My App/run"_s, u"--flag"_s};
    QTest::newRow("escaped quote inside quotes")
        << QByteArray("sh -c \"echo \\\\\"hi\\\\\"\"") << QStringList{u"sh"_s, u"-c"_s, u"echo \"hi\""_s};
    QTest::newRow("percent inside quotes kept") << QByteArray("printf \"%f\"")
                                                << QStringList{u"printf"_s, u"%f"_s};
    QTest::newRow("literal percent") << QByteArray("printf 100%%") << QStringList{u"printf"_s, u"100%"_s};
    QTest::newRow("icon code") << QByteArray("app %i") << QStringList{u"app"_s, u"--icon"_s, u"acc"_s};
    QTest::newRow("name code") << QByteArray("app --title %c")
                               << QStringList{u"app"_s, u"--title"_s, u"名字"_s};
    QTest::newRow("location code") << QByteArray("app %k") << QStringList{u"app"_s, u"ENTRY"_s};
    QTest::newRow("tabs and runs of spaces") << QByteArray("app \t  -x   y")
                                             << QStringList{u"app"_s, u"-x"_s, u"y"_s};
    QTest::newRow("empty quoted argument kept") << QByteArray("app \"\" z")
                                                << QStringList{u"app"_s, QString(), u"z"_s};
    QTest::newRow("empty") << QByteArray("") << QStringList();
}

void TestProgramPlatform::commandLine()
{
    QFETCH(QByteArray, exec);
    QFETCH(QStringList, expected);
    TempDataDir dir;
    const QString path = writeDesktopEntry(dir.filePath(u"e.desktop"_s),
                                           "Type=Application\nName[zh_CN]=名字\nName=n\nIcon=acc\nExec=" + exec);
    expected.replaceInStrings(u"ENTRY"_s, path);
    QCOMPARE(DesktopEntries::commandLine(DesktopEntries::read(path), path), expected);
}

void TestProgramPlatform::builtInTools_data()
{
    QTest::addColumn<QStringList>("programs");   // fake executables on the search path
    QTest::addColumn<QStringList>("entries");    // launcher entries: "file|Exec line|extra lines"
    QTest::addColumn<QStringList>("expected");   // "name|file name of the bound path"

    QTest::newRow("nothing installed") << QStringList() << QStringList() << QStringList();
    QTest::newRow("first installed of a row wins")
        << QStringList{u"xcalc"_s, u"galculator"_s} << QStringList() << QStringList{u"计算器|galculator"_s};
    QTest::newRow("absent rows left out, order kept")
        << QStringList{u"dconf-editor"_s, u"xmag"_s, u"mousepad"_s} << QStringList()
        << QStringList{u"记事本|mousepad"_s, u"放大镜|xmag"_s, u"注册表|dconf-editor"_s};
    QTest::newRow("launcher entry preferred to the bare program")
        << QStringList{u"mousepad"_s}
        << QStringList{u"org.xfce.mousepad.desktop|mousepad %U|"_s}
        << QStringList{u"记事本|org.xfce.mousepad.desktop"_s};
    QTest::newRow("entry found by absolute Exec path")
        << QStringList{u"xmag"_s} << QStringList{u"xmag.desktop|/usr/bin/xmag|"_s}
        << QStringList{u"放大镜|xmag.desktop"_s};
    QTest::newRow("main window entry beats hidden panels")
        << QStringList{u"gnome-control-center"_s}
        << QStringList{u"a-panel.desktop|gnome-control-center display|NoDisplay=true"_s,
                       u"gnome-control-center.desktop|gnome-control-center|"_s,
                       u"b-panel.desktop|gnome-control-center sound|"_s}
        << QStringList{u"控制面板|gnome-control-center.desktop"_s};
    QTest::newRow("hidden entry ignored")
        << QStringList{u"galculator"_s} << QStringList{u"galculator.desktop|galculator|Hidden=true"_s}
        << QStringList{u"计算器|galculator"_s};
    QTest::newRow("entry without its program does not count")
        << QStringList{u"xcalc"_s} << QStringList{u"galculator.desktop|galculator|"_s}
        << QStringList{u"计算器|xcalc"_s};
    QTest::newRow("TryExec names the program")
        << QStringList{u"htop"_s} << QStringList{u"htop.desktop|sh -c htop|TryExec=htop"_s}
        << QStringList{u"资源监视器|htop.desktop"_s};
    QTest::newRow("env prefix skipped")
        << QStringList{u"xpad"_s} << QStringList{u"xpad.desktop|env GDK_BACKEND=x11 xpad|"_s}
        << QStringList{u"桌面便签|xpad.desktop"_s};
}

void TestProgramPlatform::builtInTools()
{
    QFETCH(QStringList, programs);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);
    TempDataDir dir;
    const QString bin = dir.filePath(u"bin"_s);
    const QString apps = dir.filePath(u"share/applications"_s);
    QDir().mkpath(bin);
    QDir().mkpath(apps);
    for (const QString &program : programs)
        QVERIFY(!writeScript(bin + u'/' + program, "exit 0").isEmpty());
    // A file that is not executable is no installed program.
    QFile plain(bin + u"/gnome-calculator"_s);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const QString &e : entries) {
        const QStringList f = e.split(u'|');
        QByteArray lines = "Type=Application\nName=x\nExec=" + f[1].toUtf8() + '\n' + f[2].toUtf8();
        writeDesktopEntry(apps + u'/' + f[0], lines);
    }

    const QList<SystemTool> tools = SystemTools::builtInTools({{bin}, {apps}});
    QStringList actual;
    for (const SystemTool &tool : tools)
        actual << tool.name + u'|' + QFileInfo(tool.path).fileName();
    QCOMPARE(actual, expected);
}

void TestProgramPlatform::builtInFallbackIcons()
{
    TempDataDir dir;
    const QString bin = dir.filePath(u"bin"_s);
    writeScript(bin + u"/xcalc"_s, "exit 0");
    writeScript(bin + u"/systemsettings"_s, "exit 0");
    const QList<SystemTool> tools = SystemTools::builtInTools({{bin}, {}});
    QCOMPARE(tools.size(), 2);
    QCOMPARE(tools[0].fallbackIcon, u":/icon/logo32"_s);
    QCOMPARE(tools[1].name, u"控制面板"_s);
    QCOMPARE(tools[1].fallbackIcon, u":/icon/icon_control"_s);
}

void TestProgramPlatform::builtInDefaultPathsFollowEnvironment()
{
    TempDataDir dir;
    const QString bin = dir.filePath(u"bin"_s);
    writeScript(bin + u"/kcalc"_s, "exit 0");
    writeDesktopEntry(dir.filePath(u"share/applications/kde/org.kde.kcalc.desktop"_s),
                      "Type=Application\nName=KCalc\nExec=kcalc -caption %c");
    ToolEnvironment env(bin, dir.filePath(u"share"_s));
    const ToolSearchPaths paths = SystemTools::defaultSearchPaths();
    QVERIFY(paths.programDirs.contains(bin));
    const QList<SystemTool> tools = SystemTools::builtInTools(paths);
    QCOMPARE(tools.size(), 1);
    QCOMPARE(tools[0].path, dir.filePath(u"share/applications/kde/org.kde.kcalc.desktop"_s));
}

void TestProgramPlatform::entryIcon_data()
{
    QTest::addColumn<QString>("iconLine"); // %DIR% stands for the scratch folder
    QTest::addColumn<QColor>("color");      // invalid: no icon expected

    QTest::newRow("absolute picture path") << u"Icon=%DIR%/pics/tool.png"_s << QColor(Qt::red);
    QTest::newRow("theme name") << u"Icon=qpa-test-tool"_s << QColor(Qt::blue);
    QTest::newRow("theme name written with extension") << u"Icon=qpa-test-tool.png"_s << QColor(Qt::blue);
    QTest::newRow("legacy pixmaps folder") << u"Icon=qpa-legacy"_s << QColor(Qt::green);
    QTest::newRow("unknown name") << u"Icon=no-such-icon-anywhere"_s << QColor();
    QTest::newRow("missing absolute path") << u"Icon=%DIR%/none.png"_s << QColor();
}

void TestProgramPlatform::entryIcon()
{
    QFETCH(QString, iconLine);
    QFETCH(QColor, color);
    TempDataDir dir;
    writePicture(dir.filePath(u"pics/tool.png"_s), Qt::red);
    writePicture(dir.filePath(u"icons/qpatest/32x32/apps/qpa-test-tool.png"_s), Qt::blue);
    dir.write(u"icons/qpatest/index.theme"_s,
              "[Icon Theme]\nName=qpatest\nDirectories=32x32/apps\n\n[32x32/apps]\nSize=32\nType=Fixed\n");
    writePicture(dir.filePath(u"share/pixmaps/qpa-legacy.png"_s), Qt::green);
    QIcon::setThemeSearchPaths({dir.filePath(u"icons"_s)});
    QIcon::setThemeName(u"qpatest"_s);
    ToolEnvironment env(QString(), dir.filePath(u"share"_s));

    iconLine.replace(u"%DIR%"_s, QFileInfo(dir.filePath(u"x"_s)).absolutePath());
    const QString path = writeDesktopEntry(dir.filePath(u"tool.desktop"_s),
                                           "Type=Application\nName=T\nExec=t\n" + iconLine.toUtf8());
    const QPixmap pixmap = FileIcon::firstLargeIcon(path);
    QIcon::setThemeName(QString());
    if (!color.isValid()) {
        // No picture of its own: whatever the theme offers for the file type, never a crash.
        if (!pixmap.isNull())
            QVERIFY(pixmap.toImage().pixelColor(16, 16) != QColor(Qt::red));
        return;
    }
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(32, 32));
    QCOMPARE(pixmap.toImage().pixelColor(16, 16), color);
}

void TestProgramPlatform::missingFileHasNoIcon()
{
    QVERIFY(FileIcon::firstLargeIcon(u"/nonexistent/qpa/tool"_s).isNull());
    QVERIFY(FileIcon::iconByName(QString()).isNull());
}

void TestProgramPlatform::openExecutable()
{
    TempDataDir dir;
    const QString out = dir.filePath(u"ran.txt"_s);
    const QString script = writeScript(dir.filePath(u"My Tools/run.sh"_s),
                                       "echo \"$#\" > '" + out.toUtf8() + "'");
    m_recorder.opened.clear();
    QVERIFY(ShellOpen::openPath(script));
    QTRY_VERIFY(QFile::exists(out) && QFileInfo(out).size() > 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().trimmed(), QByteArray("0")); // started with no arguments
    QVERIFY(m_recorder.opened.isEmpty());
}

void TestProgramPlatform::openEntry_data()
{
    QTest::addColumn<QByteArray>("execTail"); // appended after the quoted script path
    QTest::addColumn<QByteArray>("expectedArgs");

    QTest::newRow("field codes dropped") << QByteArray(" %F") << QByteArray("0:");
    QTest::newRow("plain arguments kept") << QByteArray(" --new-window %U") << QByteArray("1:--new-window");
    QTest::newRow("name code expanded") << QByteArray(" %c") << QByteArray("1:运行");
}

void TestProgramPlatform::openEntry()
{
    QFETCH(QByteArray, execTail);
    QFETCH(QByteArray, expectedArgs);
    TempDataDir dir;
    const QString out = dir.filePath(u"ran.txt"_s);
    const QString script = writeScript(dir.filePath(u"bin dir/tool"_s),
                                       "echo \"$#:$*\" > '" + out.toUtf8() + "'");
    const QString entry = writeDesktopEntry(
        dir.filePath(u"tool.desktop"_s),
        "Type=Application\nName=Run\nName[zh_CN]=运行\nExec=\"" + script.toUtf8() + '"' + execTail);
    QVERIFY(ShellOpen::openPath(entry));
    QTRY_VERIFY(QFile::exists(out) && QFileInfo(out).size() > 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().trimmed(), expectedArgs);
}

void TestProgramPlatform::openDocument_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("executable");

    QTest::newRow("text document") << QByteArray("hello") << false;
    QTest::newRow("document with an execute bit") << QByteArray("no interpreter line") << true;
    QTest::newRow("script without execute bit") << QByteArray("#!/bin/sh\nexit 0") << false;
}

void TestProgramPlatform::openDocument()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, executable);
    TempDataDir dir;
    const QString path = dir.write(u"Notes.TXT"_s, content);
    if (executable)
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    m_recorder.opened.clear();
    ShellOpen::openPath(path);
    QCOMPARE(m_recorder.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
}

void TestProgramPlatform::openLinkEntry()
{
    TempDataDir dir;
    const QString entry = writeDesktopEntry(dir.filePath(u"site.desktop"_s),
                                            "Type=Link\nName=Site\nURL=https://example.invalid/a");
    m_recorder.opened.clear();
    QVERIFY(ShellOpen::openPath(entry));
    QCOMPARE(m_recorder.opened, QList<QUrl>{QUrl(u"https://example.invalid/a"_s)});
    // A broken entry starts nothing and is not handed to a file viewer either.
    const QString broken = dir.write(u"broken.desktop"_s, "garbage");
    QVERIFY(!ShellOpen::openPath(broken));
    QCOMPARE(m_recorder.opened.size(), 1);
}

QPA_TEST_MAIN(TestProgramPlatform)
#include "tst_programs_platform.moc"

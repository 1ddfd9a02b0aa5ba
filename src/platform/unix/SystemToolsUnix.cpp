// Freedesktop body: each row bound to the first installed of a few common desktop tools.
#include "SystemTools.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

namespace {

const QString kLogo = QStringLiteral(":/icon/logo32");
const QString kControl = QStringLiteral(":/icon/icon_control");

struct LinuxRow
{
    const char16_t *name;
    QStringList programs; // in order of preference
};

// Common desktop tools standing in for each Windows tool, most widespread first.
const QList<LinuxRow> &linuxRows()
{
    static const QList<LinuxRow> rows = {
        {u"计算器", {"gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "speedcrunch", "xcalc"}},
        {u"记事本", {"gnome-text-editor", "gedit", "kwrite", "kate", "mousepad", "pluma", "xed", "featherpad", "leafpad", "xedit"}},
        {u"画图", {"pinta", "kolourpaint", "drawing", "mtpaint", "gimp"}},
        {u"控制面板", {"gnome-control-center", "systemsettings", "xfce4-settings-manager", "mate-control-center", "cinnamon-settings", "lxqt-config"}},
        {u"UAC控制", {"users-admin", "lxqt-admin-user", "kuser"}},
        {u"系统信息", {"hardinfo", "kinfocenter", "cpu-x", "lshw-gtk"}},
        {u"资源监视器", {"gnome-usage", "htop", "btop", "glances"}},
        {u"桌面便签", {"xpad", "knotes", "indicator-stickynotes", "gnote", "tomboy"}},
        {u"磁盘清理", {"bleachbit", "baobab", "filelight", "qdirstat", "mate-disk-usage-analyzer"}},
        {u"显示设置", {"arandr", "lxrandr", "xfce4-display-settings", "lxqt-config-monitor", "mate-display-properties"}},
        {u"放大镜", {"kmag", "magnus", "xzoom", "xmag"}},
        {u"远程桌面连接", {"remmina", "gnome-connections", "krdc", "vinagre", "xfreerdp", "rdesktop"}},
        {u"屏幕键盘", {"onboard", "florence", "xvkbd", "matchbox-keyboard", "kvkbd"}},
        {u"任务管理器", {"gnome-system-monitor", "plasma-systemmonitor", "ksysguard", "mate-system-monitor", "xfce4-taskmanager", "lxtask", "qps"}},
        {u"注册表", {"dconf-editor", "xfce4-settings-editor", "gconf-editor"}},
    };
    return rows;
}

QString findProgram(const QString &program, const QStringList &dirs)
{
    for (const QString &dir : dirs) {
        const QFileInfo info(dir + u'/' + program);
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return QString();
}

// The program a launcher entry starts, by base name ("env VAR=x prog" counts as prog).
QString programOf(const DesktopEntry &entry, const QString &path, int *extraArgs)
{
    QStringList words = DesktopEntries::commandLine(entry, path);
    if (!words.isEmpty() && QFileInfo(words.first()).fileName() == QLatin1String("env")) {
        words.removeFirst();
        while (!words.isEmpty() && words.first().contains(u'='))
            words.removeFirst();
    }
    *extraArgs = qMax(0, int(words.size()) - 1);
    const QString program = entry.tryExec.isEmpty() ? words.value(0) : entry.tryExec;
    return QFileInfo(program).fileName();
}

// Launcher entries by the program they start; for a program with several entries the one
// shown in menus and with the fewest arguments wins (the main window rather than one panel).
QHash<QString, QString> entriesByProgram(const QStringList &applicationDirs)
{
    struct Best { QString path; int rank = 0; };
    QHash<QString, Best> best;
    QSet<QString> seenIds;
    for (const QString &dir : applicationDirs) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The first folder holding an id shadows the later ones.
            const QString id = QDir(dir).relativeFilePath(path);
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            const DesktopEntry entry = DesktopEntries::read(path);
            if (!entry.valid || entry.hidden || entry.type != QLatin1String("Application"))
                continue;
            int extraArgs = 0;
            const QString program = programOf(entry, path, &extraArgs);
            if (program.isEmpty())
                continue;
            const int rank = (entry.noDisplay ? 1000 : 0) + extraArgs;
            auto found = best.find(program);
            if (found == best.end() || rank < found->rank
                || (rank == found->rank && path < found->path))
                best.insert(program, {path, rank});
        }
    }
    QHash<QString, QString> result;
    for (auto it = best.cbegin(); it != best.cend(); ++it)
        result.insert(it.key(), it->path);
    return result;
}

} // namespace

namespace SystemTools {

ToolSearchPaths defaultSearchPaths()
{
    ToolSearchPaths paths;
    paths.programDirs = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    paths.applicationDirs = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    return paths;
}

QList<SystemTool> builtInTools(const ToolSearchPaths &paths)
{
    const QHash<QString, QString> entries = entriesByProgram(paths.applicationDirs);
    QList<SystemTool> tools;
    for (const LinuxRow &row : linuxRows()) {
        const QString name = QString::fromUtf16(row.name);
        for (const QString &program : row.programs) {
            const QString executable = findProgram(program, paths.programDirs);
            if (executable.isEmpty())
                continue;
            const QString path = entries.value(program, executable);
            tools.append({name, path, name == u"控制面板" ? kControl : kLogo});
            break;
        }
    }
    return tools;
}

} // namespace SystemTools

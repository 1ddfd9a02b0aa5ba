// Windows body: the system's own tools in the system and Windows folders.
#include "SystemTools.h"

#include <QDir>

#include <qt_windows.h>
#include <shlobj.h>

namespace {

const QString kLogo = QStringLiteral(":/icon/logo32");
const QString kControl = QStringLiteral(":/icon/icon_control");

struct WindowsRow
{
    const char16_t *name;
    const char16_t *file;
    int folder; // index into programDirs: 0 system, 1 Windows
};

const WindowsRow kWindowsRows[] = {
    {u"计算器", u"\\calc.exe", 0},
    {u"记事本", u"\\notepad.exe", 0},
    {u"画图", u"\\mspaint.exe", 0},
    {u"控制面板", u"\\control.exe", 0},
    {u"UAC控制", u"\\UserAccountControlSettings.exe", 0},
    {u"系统信息", u"\\msinfo32.exe", 0},
    {u"资源监视器", u"\\resmon.exe", 0},
    {u"桌面便签", u"\\stikynot.exe", 0},
    {u"磁盘清理", u"\\cleanmgr.exe", 0},
    {u"显示设置", u"\\dpiscaling.exe", 0},
    {u"放大镜", u"\\magnify.exe", 0},
    {u"远程桌面连接", u"\\mstsc.exe", 0},
    {u"屏幕键盘", u"\\osk.exe", 0},
    {u"任务管理器", u"\\taskmgr.exe", 0},
    {u"注册表", u"\\regedit.exe", 1},
};

QString specialFolder(int csidl)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE))
        return QString();
    return QString::fromWCharArray(buffer);
}

} // namespace

namespace SystemTools {

ToolSearchPaths defaultSearchPaths()
{
    return {{specialFolder(CSIDL_SYSTEM), specialFolder(CSIDL_WINDOWS)}, {}};
}

QList<SystemTool> builtInTools(const ToolSearchPaths &paths)
{
    QList<SystemTool> tools;
    for (const WindowsRow &row : kWindowsRows) {
        const QString folder = paths.programDirs.value(row.folder);
        const QString name = QString::fromUtf16(row.name);
        tools.append({name, QDir::fromNativeSeparators(folder + QString::fromUtf16(row.file)),
                      name == u"控制面板" ? kControl : kLogo});
    }
    return tools;
}

} // namespace SystemTools

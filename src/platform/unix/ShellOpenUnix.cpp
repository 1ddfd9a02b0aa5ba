// Freedesktop body: executables start themselves, launcher entries run their command.
#include "ShellOpen.h"

#include "DesktopEntry.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

bool openWithDefaultHandler(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// What the kernel would run itself: an ELF image or a script with an interpreter line. An
// execute bit alone is not enough (documents on FAT or NTFS mounts carry one too).
bool isRunnable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head.startsWith("\x7f" "ELF") || head.startsWith("#!");
}

bool launchEntry(const QString &path)
{
    const DesktopEntry entry = DesktopEntries::read(path);
    if (!entry.valid || entry.hidden)
        return false;
    if (entry.type == QLatin1String("Link"))
        return !entry.url.isEmpty() && QDesktopServices::openUrl(QUrl::fromUserInput(entry.url));
    if (entry.type != QLatin1String("Application"))
        return false;
    QStringList command = DesktopEntries::commandLine(entry, path);
    if (command.isEmpty())
        return false;
    if (entry.terminal) {
        const QString terminal = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
        if (!terminal.isEmpty())
            command = QStringList{terminal, QStringLiteral("-e")} + command;
    }
    const QString program = command.takeFirst();
    QString workingDirectory = entry.workingDirectory;
    if (!workingDirectory.isEmpty() && !QFileInfo(workingDirectory).isDir())
        workingDirectory.clear();
    return QProcess::startDetached(program, command, workingDirectory);
}

} // namespace

namespace ShellOpen {

bool openPath(const QString &path)
{
    if (path.isEmpty())
        return false;
    if (DesktopEntries::isDesktopFile(path) && QFileInfo(path).isFile())
        return launchEntry(path);
    if (isRunnable(path))
        return QProcess::startDetached(path, QStringList());
    return openWithDefaultHandler(path);
}

} // namespace ShellOpen

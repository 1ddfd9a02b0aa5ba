// Helpers of the launcher tests: fake installed tools, launcher entries and pictures on disk.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

namespace ProgramTestTools {

// Writes an executable shell script at path; body runs under /bin/sh.
QString writeScript(const QString &path, const QByteArray &body);
// Writes a launcher entry with the given lines below "[Desktop Entry]".
QString writeDesktopEntry(const QString &path, const QByteArray &lines);
// Writes a 32 x 32 PNG filled with color.
QString writePicture(const QString &path, const QColor &color);

// Points the built-in tool lookup at binDir (PATH) and appDataDir (XDG_DATA_DIRS) while alive.
class ToolEnvironment
{
public:
    ToolEnvironment(const QString &binDir, const QString &dataDir);
    ~ToolEnvironment();

private:
    QByteArray m_path;
    QByteArray m_dataDirs;
};

} // namespace ProgramTestTools

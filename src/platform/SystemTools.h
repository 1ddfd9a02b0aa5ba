// The operating system's own tools that the program launcher offers as built-in cells.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct SystemTool
{
    QString name;         // Chinese text under the icon
    QString path;         // program, or launcher entry, that a click opens
    QString fallbackIcon; // resource picture used when the file has no icon
};

// Where the tools are looked for; tests point these at folders of their own.
struct ToolSearchPaths
{
    // Windows: the system folder, then the Windows folder. Elsewhere: the PATH folders.
    QStringList programDirs;
    // Folders with launcher entries (ignored on Windows).
    QStringList applicationDirs;
};

namespace SystemTools {

// The folders of this machine and session.
ToolSearchPaths defaultSearchPaths();

// The built-in rows in cell order. Windows: all fifteen rows (the caller drops missing files).
// Elsewhere: each row bound to the first installed of a few common desktop tools, launched
// through its launcher entry when it has one; rows with no such tool are left out.
QList<SystemTool> builtInTools(const ToolSearchPaths &paths);

} // namespace SystemTools

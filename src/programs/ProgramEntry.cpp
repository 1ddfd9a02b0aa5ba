#include "ProgramEntry.h"

#include "DesktopEntry.h"
#include "FileIcon.h"

#include <QFileInfo>

QString defaultProgramName(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile() && DesktopEntries::isDesktopFile(path)) {
        const DesktopEntry entry = DesktopEntries::read(path);
        if (entry.valid && !entry.name.isEmpty())
            return entry.name;
    }
    return info.fileName();
}

ProgramEntry makeProgramEntry(const QString &name, const QString &path, const QString &fallbackImage)
{
    // Folders count as existing: the user may keep one in the grid to open it.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return ProgramEntry();
    ProgramEntry entry;
    entry.name = name.isEmpty() ? defaultProgramName(path) : name;
    entry.path = path;
    entry.icon = FileIcon::firstLargeIcon(path);
    if (entry.icon.isNull())
        entry.icon = QPixmap(fallbackImage);
    return entry;
}

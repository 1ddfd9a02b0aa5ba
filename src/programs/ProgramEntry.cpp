#include "ProgramEntry.h"

#include "DesktopEntry.h"
#include "FileIcon.h"
#include "XmlText.h"

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
    // A file name may hold characters a data file cannot (legal on Linux); stored cleaned, the
    // path would lead nowhere after the next start, so such a file is not taken.
    if (XmlText::clean(path) != path)
        return ProgramEntry();
    ProgramEntry entry;
    // Names come from editors, file names and desktop entries; one line, storable.
    entry.name = XmlText::cleanLine(name.isEmpty() ? defaultProgramName(path) : name);
    entry.path = path;
    entry.icon = FileIcon::firstLargeIcon(path);
    if (entry.icon.isNull())
        entry.icon = QPixmap(fallbackImage);
    return entry;
}

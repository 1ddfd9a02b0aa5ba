// A program shortcut of the launcher page: the text under the icon, the file it opens, its icon.
#pragma once

#include <QMetaType>
#include <QPixmap>
#include <QString>

struct ProgramEntry
{
    QString name; // empty: no entry, never placed or stored
    QString path;
    QPixmap icon;
};

// The name a file gets when the user gives none: a launcher entry's own (Chinese when it
// has one) name, otherwise the file name with its extension.
QString defaultProgramName(const QString &path);

// An entry for path with the file's first large icon (fallbackImage when it has none), named
// name or, when that is empty, defaultProgramName(path). Empty when nothing exists at path.
ProgramEntry makeProgramEntry(const QString &name, const QString &path, const QString &fallbackImage);

Q_DECLARE_METATYPE(ProgramEntry)

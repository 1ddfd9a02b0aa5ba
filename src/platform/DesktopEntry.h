// Reading of freedesktop ".desktop" launcher entries: names, icon and command line.
#pragma once

#include <QString>
#include <QStringList>

struct DesktopEntry
{
    bool valid = false;      // the file had a [Desktop Entry] group with a Type
    QString type;            // "Application", "Link", ...
    QString name;            // Name, or its Chinese translation when the entry has one
    QString icon;            // theme icon name or absolute file path
    QString exec;            // the Exec line, still quoted and with field codes
    QString tryExec;         // program whose presence marks the entry as installed
    QString workingDirectory; // the Path key
    QString url;             // for Type=Link
    bool terminal = false;
    bool noDisplay = false;
    bool hidden = false;
    bool autostartEnabled = true; // X-GNOME-Autostart-enabled, the switch some desktops flip instead
};

namespace DesktopEntries {

// True when path looks like a launcher entry (by its suffix).
bool isDesktopFile(const QString &path);

// Parses the [Desktop Entry] group of path; valid is false for anything else.
DesktopEntry read(const QString &path);

// Splits an Exec value into program and arguments following the quoting rules, expanding
// %i, %c, %k and %% and dropping the file and URL field codes (nothing is handed over).
QStringList commandLine(const DesktopEntry &entry, const QString &entryPath);

} // namespace DesktopEntries

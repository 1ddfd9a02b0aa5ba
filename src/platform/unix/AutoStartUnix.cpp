// Freedesktop systems: an entry in the user's autostart folder starts the program at login, and
// shadows the system-wide entry of the same name that the package installs.
#include "AutoStart.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The name packaging/ installs the system-wide entry under.
const QString kEntryName = QStringLiteral("quorvik-pc-assist.desktop");

QString userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString userEntryPath()
{
    return userFolder() + u'/' + kEntryName;
}

// The entry the desktop reads when the user has none: the first one in the system's folders.
QString systemEntryPath()
{
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QString userConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QString &folder : folders) {
        if (folder == userConfig)
            continue;
        const QString path = folder + QStringLiteral("/autostart/") + kEntryName;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

bool entryStarts(const QString &path)
{
    const DesktopEntry entry = DesktopEntries::read(path);
    return entry.valid && !entry.hidden && entry.autostartEnabled;
}

bool systemEntryStarts()
{
    const QString path = systemEntryPath();
    return !path.isEmpty() && entryStarts(path);
}

// The program as an Exec value: quoted where the format asks for it, with the string escapes on
// top (a backslash inside quotes is written four times), and % doubled.
QString execValue(const QString &program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool quote = std::any_of(program.cbegin(), program.cend(), [](QChar c) { return reserved.contains(c); });
    QString quoted;
    for (const QChar c : program) {
        if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            quoted += u'\\';
        quoted += c;
    }
    if (quote)
        quoted = u'"' + quoted + u'"';
    QString value;
    for (const QChar c : std::as_const(quoted)) {
        switch (c.unicode()) {
        case '\\': value += QStringLiteral("\\\\"); break;
        case '\n': value += QStringLiteral("\\n"); break;
        case '\t': value += QStringLiteral("\\t"); break;
        case '\r': value += QStringLiteral("\\r"); break;
        case '%': value += QStringLiteral("%%"); break;
        default: value += c;
        }
    }
    return value;
}

bool writeUserEntry(bool starts, const QString &program)
{
    if (!QDir().mkpath(userFolder()))
        return false;
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Quorvik电脑助手\nExec=")
                   + execValue(program) + u'\n';
    text += starts ? QStringLiteral("Icon=quorvik-pc-assist\nTerminal=false\nX-GNOME-Autostart-enabled=true\n")
                   : QStringLiteral("Hidden=true\n");
    QSaveFile file(userEntryPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool removeUserEntry()
{
    const QFileInfo entry(userEntryPath());
    if (!entry.exists() && !entry.isSymLink())
        return true;
    return QFile::remove(entry.filePath());
}

} // namespace

namespace AutoStart {

bool isSupported()
{
    return true;
}

bool isEnabled()
{
    const QFileInfo user(userEntryPath());
    if (user.exists() || user.isSymLink())
        return entryStarts(user.filePath());
    return systemEntryStarts();
}

bool setEnabled(bool enabled, const QString &program)
{
    // Where the system's entry already says what is wanted, the user's own entry only gets in the
    // way; otherwise it says the opposite (Hidden=true shadows the system's entry).
    const bool done = enabled == systemEntryStarts() ? removeUserEntry() : writeUserEntry(enabled, program);
    return done && isEnabled() == enabled;
}

} // namespace AutoStart

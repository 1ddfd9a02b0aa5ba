#include "DesktopEntry.h"

#include <QFile>
#include <QHash>

namespace {

// General string escapes of the format: \s \n \t \r \\.
QString unescapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's': out += u' '; break;
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        case '\\': out += u'\\'; break;
        default:
            // Exec quoting uses its own escapes (\" \` \$); keep them for the second pass.
            out += u'\\';
            out += next;
        }
    }
    return out;
}

bool readBool(const QString &value)
{
    return value.trimmed() == QLatin1String("true");
}

// Splits on unquoted blanks; inside double quotes a backslash escapes the next character.
// The bool tells whether the word was quoted (field codes are not expanded there).
QList<QPair<QString, bool>> splitExec(const QString &exec)
{
    QList<QPair<QString, bool>> words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (inQuotes) {
            if (c == u'\\' && i + 1 < exec.size()) {
                word += exec.at(++i);
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                word += c;
            }
            continue;
        }
        if (c == u'"') {
            inQuotes = true;
            inWord = true;
            quoted = true;
        } else if (c == u' ' || c == u'\t') {
            if (inWord)
                words.append({word, quoted});
            word.clear();
            inWord = false;
            quoted = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.append({word, quoted});
    return words;
}

} // namespace

namespace DesktopEntries {

bool isDesktopFile(const QString &path)
{
    return path.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive);
}

DesktopEntry read(const QString &path)
{
    DesktopEntry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    // Launcher entries are small; a huge file is not one.
    if (file.size() > 1024 * 1024)
        return entry;

    QHash<QString, QString> keys;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            // Only the first [Desktop Entry] group counts; actions and others follow it.
            if (sawMainGroup && inMainGroup)
                break;
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (!keys.contains(key))
            keys.insert(key, unescapeValue(line.mid(eq + 1).trimmed()));
    }

    entry.type = keys.value(QStringLiteral("Type"));
    if (!sawMainGroup || entry.type.isEmpty())
        return entry;
    entry.valid = true;
    for (const char *key : {"Name[zh_CN]", "Name[zh]", "Name"}) {
        const QString value = keys.value(QLatin1String(key));
        if (!value.trimmed().isEmpty()) {
            entry.name = value;
            break;
        }
    }
    entry.icon = keys.value(QStringLiteral("Icon")).trimmed();
    entry.exec = keys.value(QStringLiteral("Exec")).trimmed();
    entry.tryExec = keys.value(QStringLiteral("TryExec")).trimmed();
    entry.workingDirectory = keys.value(QStringLiteral("Path")).trimmed();
    entry.url = keys.value(QStringLiteral("URL")).trimmed();
    entry.terminal = readBool(keys.value(QStringLiteral("Terminal")));
    entry.noDisplay = readBool(keys.value(QStringLiteral("NoDisplay")));
    entry.hidden = readBool(keys.value(QStringLiteral("Hidden")));
    entry.autostartEnabled = keys.value(QStringLiteral("X-GNOME-Autostart-enabled")).trimmed() != QLatin1String("false");
    return entry;
}

QStringList commandLine(const DesktopEntry &entry, const QString &entryPath)
{
    QStringList args;
    const auto words = splitExec(entry.exec);
    for (const auto &[word, quoted] : words) {
        if (quoted) {
            args.append(word);
            continue;
        }
        if (word == QLatin1String("%i")) {
            if (!entry.icon.isEmpty())
                args << QStringLiteral("--icon") << entry.icon;
            continue;
        }
        QString out;
        bool onlyCodes = true;
        for (qsizetype i = 0; i < word.size(); ++i) {
            const QChar c = word.at(i);
            if (c != u'%' || i + 1 == word.size()) {
                out += c;
                onlyCodes = false;
                continue;
            }
            const QChar code = word.at(++i);
            switch (code.unicode()) {
            case '%': out += u'%'; onlyCodes = false; break;
            case 'c': out += entry.name; onlyCodes = false; break;
            case 'k': out += entryPath; onlyCodes = false; break;
            default: break; // %f %F %u %U and the deprecated codes: nothing is passed
            }
        }
        if (!onlyCodes || !out.isEmpty())
            args.append(out);
    }
    return args;
}

} // namespace DesktopEntries

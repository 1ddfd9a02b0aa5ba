#include "InternetShortcut.h"

#include "DataFile.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Longer names are cut: most file systems stop at 255 bytes, and Chinese takes 3 of them a character.
constexpr qsizetype MaxNameLength = 80;

bool isForbidden(QChar c)
{
    return c.unicode() < 0x20 || c == u'\x7f' || u"\\/:*?\"<>|"_s.contains(c);
}

bool isReservedDeviceName(const QString &name)
{
    static const QStringList reserved = {u"CON"_s, u"PRN"_s, u"AUX"_s, u"NUL"_s};
    const QString upper = name.section(u'.', 0, 0).trimmed().toUpper();
    if (reserved.contains(upper))
        return true;
    return upper.size() == 4 && (upper.startsWith("COM"_L1) || upper.startsWith("LPT"_L1))
        && upper.at(3) >= u'1' && upper.at(3) <= u'9';
}

} // namespace

namespace InternetShortcut {

QString fileNameFor(const QString &text)
{
    QString name;
    name.reserve(text.size());
    for (QChar c : text)
        name.append(isForbidden(c) ? u'_' : c);
    // Never between the two halves of a character outside the basic plane (an emoji).
    const bool splitsPair = name.size() > MaxNameLength && name.at(MaxNameLength - 1).isHighSurrogate();
    name = name.left(splitsPair ? MaxNameLength - 1 : MaxNameLength);
    // Windows drops trailing dots and spaces, and "." or ".." would name a folder.
    while (!name.isEmpty() && (name.endsWith(u'.') || name.endsWith(u' ')))
        name.chop(1);
    while (!name.isEmpty() && (name.startsWith(u'.') || name.startsWith(u' ')))
        name.remove(0, 1);
    if (name.isEmpty())
        return u"_"_s;
    if (isReservedDeviceName(name))
        name.prepend(u'_');
    return name;
}

QByteArray contents(const QString &url)
{
    QString line = url;
    line.remove(u'\r');
    line.remove(u'\n');
    return "[InternetShortcut]\r\nURL=" + line.toLocal8Bit();
}

QString write(const QString &folder, const WebsiteEntry &entry)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QString();
    const QString path = QDir(folder).filePath(fileNameFor(entry.text) + u".url"_s);
    // The name holds no separator, but never trust that alone with a name from the network.
    if (QDir::cleanPath(QFileInfo(path).absolutePath())
        != QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
        return QString();
    return DataFile::writeAtomically(path, contents(entry.url)) ? path : QString();
}

} // namespace InternetShortcut

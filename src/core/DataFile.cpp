#include "DataFile.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace {

// Paths whose load failed in this run and whose content is not yet kept aside.
QSet<QString> &brokenPaths()
{
    static QSet<QString> paths;
    return paths;
}

QString key(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

namespace DataFile {

LoadResult load(const QString &path, QDomDocument *doc)
{
    QFile file(path);
    if (!file.exists())
        return Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        brokenPaths().insert(key(path));
        return Broken;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        return Missing;
    if (!doc->setContent(bytes)) {
        brokenPaths().insert(key(path));
        return Broken;
    }
    brokenPaths().remove(key(path));
    return Loaded;
}

bool save(const QString &path, const QDomDocument &doc)
{
    const QString k = key(path);
    if (brokenPaths().contains(k) && QFile::exists(path)) {
        const QString aside = path + QStringLiteral(".broken");
        QFile::remove(aside);
        // Without the copy the user's old data would be gone for good, so do not replace it.
        if (!QFile::copy(path, aside))
            return false;
    }
    if (!writeAtomically(path, doc.toByteArray(4)))
        return false;
    brokenPaths().remove(k);
    return true;
}

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace DataFile

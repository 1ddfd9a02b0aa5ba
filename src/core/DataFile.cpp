#include "DataFile.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cerrno>

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

DataFile::Reporter &reporter()
{
    static DataFile::Reporter receiver;
    return receiver;
}

// Set after a failed save was reported, cleared by the next successful one: a full disk
// fails every save, and one message says all the user needs to know.
bool s_failureReported = false;

void saveFailed(const QString &reason)
{
    if (s_failureReported)
        return;
    s_failureReported = true;
    if (reporter())
        reporter()(DataFile::saveFailureMessage(reason));
}

bool saveBytes(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (!DataFile::writeAtomically(path, bytes, &error)) {
        saveFailed(error);
        return false;
    }
    return true;
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
        // Without a complete copy the user's old data would be gone for good, so do not
        // replace it; the copy is written with the same checks as the data file itself.
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) {
            saveFailed(old.errorString());
            return false;
        }
        const QByteArray oldBytes = old.readAll();
        if (old.error() != QFileDevice::NoError) {
            saveFailed(old.errorString());
            return false;
        }
        if (!saveBytes(path + QStringLiteral(".broken"), oldBytes))
            return false;
    }
    if (!saveBytes(path, doc.toByteArray(4)))
        return false;
    brokenPaths().remove(k);
    s_failureReported = false;
    return true;
}

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    const auto fail = [&file, error] {
        if (error)
            *error = file.errorString();
        // Not committed: the destructor removes the temporary file, the old one stays.
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    if (file.write(bytes) != bytes.size())
        return fail();
    // QSaveFile buffers writes and commit() only checks errors of write() itself; a failure of
    // the final flush inside commit() would still rename an incomplete file over the old one.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QString saveFailureMessage(const QString &systemReason)
{
    static const int fullCodes[] = {
        ENOSPC,
        EFBIG,
#ifdef EDQUOT
        EDQUOT,
#endif
    };
    for (int code : fullCodes) {
        if (systemReason == qt_error_string(code))
            return QStringLiteral("保存失败：磁盘空间不足");
    }
    return QStringLiteral("保存失败：") + systemReason;
}

void setReporter(Reporter receiver)
{
    reporter() = std::move(receiver);
}

} // namespace DataFile

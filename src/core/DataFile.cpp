#include "DataFile.h"

#include "DiskFull.h"
#include "XmlText.h"

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

XmlLimits limits(qsizetype maxEntries)
{
    // The element count never stops a file before its depth does, so a deep file reads as
    // broken and only a long one as too large.
    constexpr int maxDepth = 64;
    return {16 * 1024 * 1024, maxDepth, qMax<qsizetype>(maxEntries + 16, 2 * maxDepth)};
}

LoadResult load(const QString &path, const XmlLimits &limits, XmlNode *root)
{
    QFile file(path);
    if (!file.exists())
        return Missing;
    const auto broken = [&path] {
        brokenPaths().insert(key(path));
        return Broken;
    };
    if (!file.open(QIODevice::ReadOnly))
        return broken();
    const QString name = QFileInfo(path).fileName();
    const auto tooLarge = [&path, &name, &file] {
        // Keeping part of the list would lose the rest at the next save; it is refused whole and
        // moved aside (a rename: no copy of a huge file in memory or on a full disk), where the
        // user can still reach it. If even that fails, the first save copies it first.
        const QString aside = path + QStringLiteral(".broken");
        // Windows renames no file that is open.
        file.close();
        QFile::remove(aside);
        if (!QFile::rename(path, aside))
            brokenPaths().insert(key(path));
        if (reporter())
            reporter()(QStringLiteral("数据文件 %1 过大，未载入，已另存为 %1.broken").arg(name));
        return TooLarge;
    };
    if (file.size() > limits.maxBytes)
        return tooLarge();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return broken();
    if (bytes.trimmed().isEmpty())
        return Missing;
    switch (readXmlTree(XmlText::cleanUtf8(bytes), limits, root)) {
    case XmlReadStatus::Ok:
        brokenPaths().remove(key(path));
        return Loaded;
    case XmlReadStatus::TooLarge:
        return tooLarge();
    case XmlReadStatus::Malformed:
    case XmlReadStatus::TooDeep:
        break;
    }
    return broken();
}

bool save(const QString &path, const QByteArray &document)
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
    if (!saveBytes(path, document))
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
    // Unbuffered: QSaveFile's buffer is flushed inside commit(), whose only check is the error
    // of write() itself, so a failed final flush would rename an incomplete file over the old
    // one. Each write goes to the file here and is checked; a short write is continued, so the
    // error of the call that writes nothing carries the system's reason (a full disk).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return fail();
        done += written;
    }
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
    for (int code : diskFullErrorCodes()) {
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

#include "ImageFile.h"

#include "FileDialogs.h"
#include "KnownFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace ImageFile {

namespace {

const QString kImageFilter = u"图像文件 (*.png);;图像文件 (*.jpg);;图像文件 (*.bmp)"_s;

// "图像文件 (*.jpg)" -> "jpg"; png when the filter names nothing.
QString suffixOfFilter(const QString &filter)
{
    const QRegularExpressionMatch match = QRegularExpression(u"\\*\\.(\\w+)"_s).match(filter);
    return match.hasMatch() ? match.captured(1) : u"png"_s;
}

} // namespace

QString suggestedFileName(const QDateTime &time)
{
    // Qt 6's "z" would write 005 and 05; the name carries 5 and 50.
    return time.toString(u"yyyy-MM-dd hh-mm-ss-"_s) + QString::number(time.time().msec()) + u".png"_s;
}

QString suggestedFilePath(const QDateTime &time)
{
    QString folder = KnownFolders::desktop();
    if (!QFileInfo(folder).isDir() || folder == QDir::homePath()) {
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
            folder = pictures;
        else if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    return QDir(folder).filePath(suggestedFileName(time));
}

bool write(const QImage &image, const QString &path)
{
    if (image.isNull())
        return false;
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(format))
        return false;
    // Written aside and renamed, so a failed write never leaves a broken file in place of an old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, format);
    // Quality 100 is the best JPEG; for PNG it would mean no compression at all (25 times larger).
    if (format == "jpg" || format == "jpeg")
        writer.setQuality(100);
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool askAndWrite(QWidget *parent, const QImage &image)
{
    QString selectedFilter;
    QString path = FileDialogs::saveFileName(parent, u"保存图片"_s, suggestedFilePath(QDateTime::currentDateTime()),
                                             kImageFilter, &selectedFilter);
    if (path.isEmpty())
        return false;
    // A name typed without a suffix gets the one of the chosen file type.
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffixOfFilter(selectedFilter);
    return write(image, path);
}

} // namespace ImageFile

// Writing capture pictures to files: the suggested time-stamp name, the file type question, the write.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

class QWidget;

namespace ImageFile {

// "yyyy-MM-dd hh-mm-ss-<ms>.png" for the given time, milliseconds without leading zeros.
QString suggestedFileName(const QDateTime &time);
// The user's desktop folder (or pictures, or home when there is none) and the time-stamp name.
QString suggestedFilePath(const QDateTime &time);

// Writes image to path in the format of its suffix; false when nothing was written. An existing
// file is replaced only by a complete new one.
bool write(const QImage &image, const QString &path);
// Asks where to save (PNG, JPEG or BMP; the time-stamp name suggested) and writes image there.
// False when cancelled or when the write failed.
bool askAndWrite(QWidget *parent, const QImage &image);

} // namespace ImageFile

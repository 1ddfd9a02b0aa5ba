// Writing capture pictures to files: the suggested time-stamp name, the file type question, the write.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

#include <functional>

class QWidget;

namespace ImageFile {

// Asks for the file to save to; returns an empty string when cancelled.
using SaveFileNameProvider = std::function<QString(QWidget *parent, const QString &caption,
                                                   const QString &suggested, const QString &filter,
                                                   QString *selectedFilter)>;
// Replaces the save dialog (tests answer without one); an empty provider restores the dialog.
void setSaveFileNameProvider(SaveFileNameProvider provider);

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

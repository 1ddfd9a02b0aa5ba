// File dialogs opened at a size where their columns fit, in a folder that makes sense.
#pragma once

#include <QString>

class QWidget;

namespace FileDialogs {

// An existing file to open, starting in folder (the home folder when empty or gone).
QString openFileName(QWidget *parent, const QString &caption, const QString &folder);

// A file name to save to; suggested is a path, filter and selectedFilter as for QFileDialog.
QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                     QString *selectedFilter);

} // namespace FileDialogs

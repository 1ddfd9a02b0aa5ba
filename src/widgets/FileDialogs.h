// File dialogs opened at a size where their columns fit, in a folder that makes sense.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace FileDialogs {

// Answers in place of a dialog: given the parent, the caption, the starting folder (open) or the
// suggested path (save) and the filter (empty for open), it returns the chosen path, empty when
// cancelled, and may set *selectedFilter (null for open).
using Answerer = std::function<QString(QWidget *parent, const QString &caption, const QString &start,
                                       const QString &filter, QString *selectedFilter)>;
// Tests answer without a dialog; an empty answerer brings the dialogs back.
void setAnswererForTest(Answerer answerer);

// An existing file to open, starting in folder (the home folder when empty or gone).
QString openFileName(QWidget *parent, const QString &caption, const QString &folder);

// A file name to save to; suggested is a path, filter and selectedFilter as for QFileDialog.
QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                     QString *selectedFilter);

} // namespace FileDialogs

#include "FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>

namespace {

// Qt's own dialog (used where the desktop offers none) opens small enough to cut its column
// titles short; this fits name, size, type and date side by side.
const QSize kDialogSize(860, 540);

FileDialogs::Answerer &answerer()
{
    static FileDialogs::Answerer current;
    return current;
}

QString run(QFileDialog &dialog, QString *selectedFilter)
{
    dialog.resize(kDialogSize);
    // Qt's own dialog: the detail columns take the room their texts need (the name the rest),
    // and the side bar shows whole folder names. A native dialog has none of these children.
    if (auto *view = dialog.findChild<QTreeView *>()) {
        view->header()->setStretchLastSection(false);
        view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (auto *splitter = dialog.findChild<QSplitter *>())
        splitter->setSizes({170, kDialogSize.width() - 170});
    if (selectedFilter && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace

void FileDialogs::setAnswererForTest(Answerer replacement)
{
    answerer() = std::move(replacement);
}

QString FileDialogs::openFileName(QWidget *parent, const QString &caption, const QString &folder)
{
    const QString start = !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
    if (answerer())
        return answerer()(parent, caption, start, QString(), nullptr);
    QFileDialog dialog(parent, caption, start);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return run(dialog, nullptr);
}

QString FileDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &suggested,
                                  const QString &filter, QString *selectedFilter)
{
    if (answerer())
        return answerer()(parent, caption, suggested, filter, selectedFilter);
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return run(dialog, selectedFilter);
}

#include "ProgramEditorDialog.h"

#include "ButtonStyle.h"
#include "FileDialogs.h"
#include "MyMessageBox.h"
#include "ProgramEntry.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
// Both captions take this width, so that the two line edits stand above each other.
constexpr int kCaptionWidth = 89;
} // namespace

ProgramEditorDialog::ProgramEditorDialog(QWidget *parent)
    : EditorDialog(parent, u"ProgramEditorDialog"_s, u"编辑程序"_s)
{
    name_->setMaxLength(256);
    url_->setPlaceholderText(u"点击\"文件路径\"浏览文件"_s);
    QLabel *label = makeCaption(u"文件名称:"_s, u"label"_s);
    label->setFixedWidth(kCaptionWidth);

    browseProgram_ = new QToolButton(this);
    browseProgram_->setObjectName(u"browseProgram_"_s);
    browseProgram_->setText(u"文件路径:"_s);
    browseProgram_->setFixedSize(kCaptionWidth, 28);
    browseProgram_->setAutoRaise(true);
    browseProgram_->setFont(label->font());
    browseProgram_->setStyleSheet(
        ButtonStyle::highlighted(u"QToolButton"_s, u"7, 101, 145"_s, u"7, 101, 145"_s, false, u"color: white;"_s));
    addRows(label, browseProgram_);

    connect(browseProgram_, &QToolButton::clicked, this, &ProgramEditorDialog::onBrowse);
    connect(confirm_, &QPushButton::clicked, this, &ProgramEditorDialog::onConfirm);
    connect(name_, &QLineEdit::textEdited, this, &ProgramEditorDialog::onTextEdited);
    connect(url_, &QLineEdit::textEdited, this, &ProgramEditorDialog::onTextEdited);
    updateConfirm();
}

QString ProgramEditorDialog::name() const
{
    return name_->text();
}

QString ProgramEditorDialog::path() const
{
    return url_->text();
}

void ProgramEditorDialog::setName(const QString &name)
{
    name_->setText(name);
    updateConfirm();
}

void ProgramEditorDialog::setPath(const QString &path)
{
    url_->setText(path);
    updateConfirm();
}

void ProgramEditorDialog::onConfirm()
{
    if (QFileInfo(url_->text()).isFile()) {
        accept();
        return;
    }
    MyMessageBox box(this);
    box.showMessage(QMessageBox::Critical, u"错误"_s, u"请指定一个有效的文件路径！"_s,
                    QMessageBox::Ok);
    updateConfirm();
}

void ProgramEditorDialog::onBrowse()
{
    const QString caption = u"选择文件/程序"_s;
    // Opens where the last file was chosen in this run, at first in the home folder.
    static QString lastFolder;
    const QString file = FileDialogs::openFileName(this, caption, lastFolder);
    if (file.isEmpty())
        return;
    lastFolder = QFileInfo(file).absolutePath();
    url_->setText(file);
    if (name_->text().isEmpty())
        name_->setText(defaultProgramName(file));
    updateConfirm();
}

void ProgramEditorDialog::onTextEdited(const QString &)
{
    updateConfirm();
}

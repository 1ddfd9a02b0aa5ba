#include "ProgramEditorDialog.h"

#include "FileDialogs.h"
#include "MyMessageBox.h"
#include "ProgramEntry.h"
#include "ScreenPosition.h"
#include "WholeCharacters.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRowIndent = 60;

} // namespace

ProgramEditorDialog::ProgramEditorDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    setObjectName(u"ProgramEditorDialog"_s);
    setWindowTitle(u"编辑程序"_s);
    setWindowFlags(windowFlags() | Qt::Tool);
    setWindowModality(Qt::WindowModal);
    setModal(true);
    resize(640, 150);
    setFixedSize(640, 150);
    setBackgroundImage(this, u"bg_mini_dialog.png"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setObjectName(u"verticalLayout"_s);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->setSpacing(8);
    buildTitleRow(layout);
    buildNameRow(layout);
    buildPathRow(layout);
    layout->addStretch(1);

    connect(close_, &QToolButton::clicked, this, &QDialog::reject);
    connect(browseProgram_, &QToolButton::clicked, this, &ProgramEditorDialog::onBrowse);
    connect(confirm_, &QPushButton::clicked, this, &ProgramEditorDialog::onConfirm);
    connect(name_, &QLineEdit::textEdited, this, &ProgramEditorDialog::onTextEdited);
    connect(url_, &QLineEdit::textEdited, this, &ProgramEditorDialog::onTextEdited);
    updateConfirm();
}

void ProgramEditorDialog::buildTitleRow(QVBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    row->setObjectName(u"titleLayout"_s);
    row->addStretch(1);
    close_ = makeCloseButton(this);
    close_->setFixedSize(38, 30);
    row->addWidget(close_, 0, Qt::AlignRight | Qt::AlignTop);
    layout->addLayout(row);
}

void ProgramEditorDialog::buildNameRow(QVBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    row->setObjectName(u"nameLayout"_s);
    row->setContentsMargins(kRowIndent, 0, 0, 0);
    auto *label = new QLabel(u"文件名称:"_s, this);
    label->setObjectName(u"label"_s);
    QFont font = label->font();
    font.setPointSize(16);
    label->setFont(font);
    label->setStyleSheet(u"color: white;"_s);
    label->setFixedWidth(89);
    row->addWidget(label);

    name_ = new QLineEdit(this);
    name_->setObjectName(u"name_"_s);
    name_->setFixedSize(281, 24);
    name_->setMaxLength(256);
    keepStorableLine(name_);
    name_->setFrame(false);
    name_->setCursor(Qt::IBeamCursor);
    row->addWidget(name_);
    row->addStretch(1);
    layout->addLayout(row);
}

void ProgramEditorDialog::buildPathRow(QVBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    row->setObjectName(u"pathLayout"_s);
    row->setContentsMargins(kRowIndent, 0, 0, 0);
    browseProgram_ = new QToolButton(this);
    browseProgram_->setObjectName(u"browseProgram_"_s);
    browseProgram_->setText(u"文件路径:"_s);
    browseProgram_->setMaximumSize(89, 28);
    browseProgram_->setFixedWidth(89);
    browseProgram_->setAutoRaise(true);
    QFont font = browseProgram_->font();
    font.setPointSize(16);
    browseProgram_->setFont(font);
    browseProgram_->setStyleSheet(
        u"QToolButton{background-color: rgba(209, 226, 242, 0);color: white;}"
        u"QToolButton:hover{background-color: rgba(7, 101, 145, 255);border-width: 1px;border-color:rgb(7, 101, 145);border-style:solid;}"
        u"QToolButton:pressed{background-color: rgba(7, 101, 145, 255);border-width: 1px;border-color:rgb(7, 101, 145);border-style:solid;}"_s);
    row->addWidget(browseProgram_);

    url_ = new QLineEdit(this);
    url_->setObjectName(u"url_"_s);
    url_->setFixedSize(281, 24);
    url_->setFrame(false);
    url_->setPlaceholderText(u"点击\"文件路径\"浏览文件"_s);
    keepStorableLine(url_);
    row->addWidget(url_);

    confirm_ = new QPushButton(u"确定"_s, this);
    confirm_->setObjectName(u"confirm_"_s);
    confirm_->setFlat(true);
    QPalette palette = confirm_->palette();
    palette.setColor(QPalette::Button, QColor(252, 111, 103));
    confirm_->setPalette(palette);
    confirm_->setAutoFillBackground(true);
    QFont confirmFont = confirm_->font();
    confirmFont.setPointSize(11);
    confirm_->setFont(confirmFont);
    row->addWidget(confirm_);
    row->addStretch(1);
    layout->addLayout(row);
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

void ProgramEditorDialog::showEvent(QShowEvent *event)
{
    // A tool window is not placed by every window manager; open it over the main window.
    if (QWidget *owner = parentWidget())
        move(ScreenPosition::centredOver(owner, size()));
    FramelessDialog::showEvent(event);
}

void ProgramEditorDialog::onTextEdited(const QString &)
{
    updateConfirm();
}

void ProgramEditorDialog::updateConfirm()
{
    // Blanks alone would make an invisible button.
    confirm_->setEnabled(!name_->text().trimmed().isEmpty() && !url_->text().trimmed().isEmpty());
}

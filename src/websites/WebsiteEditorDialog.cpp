#include "WebsiteEditorDialog.h"

#include "Endpoints.h"
#include "ProgramFont.h"
#include "WholeCharacters.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString LineEditStyle = u"QLineEdit {\n     border-width: 0;\n     border-radius: 3px;\n"
                              "     background: white;\n     selection-background-color: darkgray;\n }"_s;

} // namespace

WebsiteEditorDialog::WebsiteEditorDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    setObjectName(u"WebsiteEditorDialog"_s);
    setWindowTitle(u"编辑网站"_s);
    setWindowModality(Qt::WindowModal);
    setModal(true);
    setWindowFlags(windowFlags() | Qt::Tool);
    setFixedSize(640, 150);
    setBackgroundImage(this, u"bg_mini_dialog.png"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 4, 4, 16);
    layout->setSpacing(8);
    buildCloseRow(layout);
    buildNameRow(layout);
    buildUrlRow(layout);
    layout->addStretch(1);

    connect(close_, &QToolButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QPushButton::clicked, this, &WebsiteEditorDialog::onConfirm);
    connect(name_, &QLineEdit::textEdited, this, &WebsiteEditorDialog::onTextEdited);
    connect(url_, &QLineEdit::textEdited, this, &WebsiteEditorDialog::onTextEdited);
    updateConfirm();
    name_->setFocus();
}

void WebsiteEditorDialog::buildCloseRow(QVBoxLayout *layout)
{
    close_ = makeCloseButton(this);
    close_->setFixedSize(28, 24);
    layout->addWidget(close_, 0, Qt::AlignRight | Qt::AlignTop);
}

void WebsiteEditorDialog::buildNameRow(QVBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    row->addStretch(1);
    row->addWidget(createLabel(u"网站名称:"_s, u"nameLabel"_s));
    name_ = createLineEdit(u"name_"_s);
    name_->setMaxLength(10);
    keepStorableLine(name_);
    name_->setCursor(Qt::IBeamCursor);
    name_->setPlaceholderText(u"如：Quorvik软件"_s);
    row->addWidget(name_);
    // Keeps the two line edits above each other: the confirm button's width on the row below.
    row->addSpacing(10 + 70);
    row->addStretch(1);
    layout->addLayout(row);
}

void WebsiteEditorDialog::buildUrlRow(QVBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    row->addStretch(1);
    row->addWidget(createLabel(u"网站地址:"_s, u"urlLabel"_s));
    url_ = createLineEdit(u"url_"_s);
    keepStorableLine(url_);
    url_->setPlaceholderText(u"如："_s + Endpoints::makerSite());
    row->addWidget(url_);

    confirm_ = new QPushButton(u"确定"_s, this);
    confirm_->setObjectName(u"confirm_"_s);
    confirm_->setFlat(true);
    confirm_->setFixedSize(70, 26);
    confirm_->setCursor(Qt::PointingHandCursor);
    QPalette palette = confirm_->palette();
    palette.setColor(QPalette::Button, QColor(252, 111, 103));
    palette.setColor(QPalette::ButtonText, Qt::white);
    // Grey while a field is empty, so the button does not look clickable when it is not.
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(196, 200, 206));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(246, 247, 249));
    confirm_->setPalette(palette);
    confirm_->setFont(ProgramFont::sans(11));
    confirm_->setAutoFillBackground(true);
    row->addWidget(confirm_);
    row->addStretch(1);
    layout->addLayout(row);
}

QLabel *WebsiteEditorDialog::createLabel(const QString &text, const QString &objectName)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(objectName);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    label->setPalette(palette);
    label->setFont(ProgramFont::sans(16));
    return label;
}

QLineEdit *WebsiteEditorDialog::createLineEdit(const QString &objectName)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setFixedSize(281, 24);
    edit->setFrame(false);
    edit->setFont(ProgramFont::sans(10));
    edit->setStyleSheet(LineEditStyle);
    return edit;
}

QString WebsiteEditorDialog::name() const
{
    return name_->text();
}

QString WebsiteEditorDialog::url() const
{
    return url_->text();
}

void WebsiteEditorDialog::setName(const QString &name)
{
    name_->setText(name);
    updateConfirm();
}

void WebsiteEditorDialog::setUrl(const QString &url)
{
    url_->setText(url);
    updateConfirm();
}

void WebsiteEditorDialog::onConfirm()
{
    accept();
}

void WebsiteEditorDialog::onTextEdited(const QString &)
{
    updateConfirm();
}

void WebsiteEditorDialog::updateConfirm()
{
    // Blanks alone would make an invisible button.
    const bool complete = !name_->text().trimmed().isEmpty() && !url_->text().trimmed().isEmpty();
    confirm_->setEnabled(complete);
    confirm_->setCursor(complete ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

#include "EditorDialog.h"

#include "ProgramFont.h"
#include "ScreenPosition.h"
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
constexpr int kRowSpacing = 10;
constexpr int kConfirmWidth = 70;

} // namespace

EditorDialog::EditorDialog(QWidget *parent, const QString &objectName, const QString &title)
    : FramelessDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setModal(true);
    setWindowFlags(windowFlags() | Qt::Tool);
    setFixedSize(640, 150);
    setBackgroundImage(this, u"bg_mini_dialog.png"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setObjectName(u"verticalLayout"_s);
    layout->setContentsMargins(12, 4, 4, 16);
    layout->setSpacing(8);
    close_ = makeCloseButton(this);
    close_->setFixedSize(28, 24);
    layout->addWidget(close_, 0, Qt::AlignRight | Qt::AlignTop);
    connect(close_, &QToolButton::clicked, this, &QDialog::reject);

    name_ = makeLineEdit(u"name_"_s);
    name_->setCursor(Qt::IBeamCursor);
    url_ = makeLineEdit(u"url_"_s);

    confirm_ = new QPushButton(u"确定"_s, this);
    confirm_->setObjectName(u"confirm_"_s);
    confirm_->setFlat(true);
    confirm_->setFixedSize(kConfirmWidth, 26);
    QPalette palette = confirm_->palette();
    palette.setColor(QPalette::Button, QColor(252, 111, 103));
    palette.setColor(QPalette::ButtonText, Qt::white);
    // Grey while a field is empty, so the button does not look clickable when it is not.
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(196, 200, 206));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(246, 247, 249));
    confirm_->setPalette(palette);
    confirm_->setFont(ProgramFont::sans(11));
    confirm_->setAutoFillBackground(true);
}

QLineEdit *EditorDialog::makeLineEdit(const QString &objectName)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setFixedSize(281, 24);
    edit->setFrame(false);
    edit->setFont(ProgramFont::sans(10));
    edit->setStyleSheet(LineEditStyle);
    keepStorableLine(edit);
    return edit;
}

QLabel *EditorDialog::makeCaption(const QString &text, const QString &objectName)
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

void EditorDialog::addRows(QWidget *nameCaption, QWidget *urlCaption)
{
    auto *layout = static_cast<QVBoxLayout *>(this->layout());
    auto *nameRow = new QHBoxLayout;
    nameRow->setObjectName(u"nameLayout"_s);
    nameRow->setSpacing(kRowSpacing);
    nameRow->addStretch(1);
    nameRow->addWidget(nameCaption);
    nameRow->addWidget(name_);
    // Keeps the two line edits above each other: the confirm button's width on the row below.
    nameRow->addSpacing(kRowSpacing + kConfirmWidth);
    nameRow->addStretch(1);
    layout->addLayout(nameRow);

    auto *urlRow = new QHBoxLayout;
    urlRow->setObjectName(u"pathLayout"_s);
    urlRow->setSpacing(kRowSpacing);
    urlRow->addStretch(1);
    urlRow->addWidget(urlCaption);
    urlRow->addWidget(url_);
    urlRow->addWidget(confirm_);
    urlRow->addStretch(1);
    layout->addLayout(urlRow);
    layout->addStretch(1);
}

void EditorDialog::updateConfirm()
{
    // Blanks alone would make an invisible button.
    const bool complete = !name_->text().trimmed().isEmpty() && !url_->text().trimmed().isEmpty();
    confirm_->setEnabled(complete);
    confirm_->setCursor(complete ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void EditorDialog::showEvent(QShowEvent *event)
{
    if (QWidget *owner = parentWidget())
        move(ScreenPosition::centredOver(owner, size()));
    FramelessDialog::showEvent(event);
}

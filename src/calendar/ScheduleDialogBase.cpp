#include "ScheduleDialogBase.h"

#include "ProgramFont.h"
#include "ScreenPosition.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
const QString GreenButtonStyle =
    u"QToolButton{background-color: rgb(5, 196, 0);border-color: rgb(4, 157, 0);border-width: 1px;"
    u"border-style:solid;}QToolButton:hover{background-color: rgba(18, 217, 13, 255);border-width: 1px;"
    u"border-color:rgb(120,174,229);border-style:solid;}"
    // Greyed while there is nothing to confirm, so it does not look clickable.
    u"QToolButton:disabled{background-color: rgb(168, 204, 166);border-color: rgb(150, 186, 148);"
    u"color: rgb(240, 246, 240);}"_s;
} // namespace

ScheduleDialogBase::ScheduleDialogBase(const QString &title, QWidget *parent)
    : FramelessDialog(parent)
{
    resize(400, 300);
    setWindowTitle(title);

    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(u"verticalLayout"_s);
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    title_ = new QWidget(this);
    title_->setObjectName(u"title_"_s);
    // A plain QWidget paints a style-sheet background only with this attribute.
    title_->setAttribute(Qt::WA_StyledBackground);
    title_->setStyleSheet(u"background-color: rgb(40, 113, 213);"_s);
    auto *horizontalLayout = new QHBoxLayout(title_);
    horizontalLayout->setObjectName(u"horizontalLayout"_s);
    horizontalLayout->setContentsMargins(9, 2, 2, 2);

    titleLabel_ = new QLabel(title, title_);
    titleLabel_->setObjectName(u"titleLabel_"_s);
    QFont font = titleLabel_->font();
    font.setPointSize(10);
    titleLabel_->setFont(font);
    titleLabel_->setStyleSheet(u"color: rgb(255, 255, 255);background-color: rgb(40, 113, 213);"_s);
    horizontalLayout->addWidget(titleLabel_);
    horizontalLayout->addStretch();

    close_ = new QToolButton(title_);
    close_->setObjectName(u"close_"_s);
    close_->setFixedSize(26, 26);
    close_->setAutoRaise(true);
    close_->setIcon(QIcon(u":/icon/icon_close"_s));
    close_->setIconSize(QSize(26, 26));
    close_->setToolTip(u"关闭"_s);
    horizontalLayout->addWidget(close_);

    verticalLayout->addWidget(title_);
}

QToolButton *ScheduleDialogBase::makeGreenButton(const QString &objectName, const QString &text)
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setText(text);
    button->setAutoRaise(true);
    button->setStyleSheet(GreenButtonStyle);
    return button;
}

QToolButton *ScheduleDialogBase::makeConfirmButton()
{
    QToolButton *button = makeGreenButton(u"confirm_"_s, u"确定"_s);
    button->setMinimumWidth(60);
    button->setFont(ProgramFont::sans(10));
    return button;
}

void ScheduleDialogBase::showEvent(QShowEvent *event)
{
    if (QWidget *owner = parentWidget(); owner && owner->window()->isVisible() && !event->spontaneous())
        move(ScreenPosition::centredOver(owner, size()));
    FramelessDialog::showEvent(event);
}

int ScheduleDialogBase::hitTest(const QPoint &globalPos) const
{
    if (!geometry().contains(globalPos))
        return HitNowhere;
    QWidget *child = childAt(ScreenPosition::toWindow(this, globalPos));
    return (!child || child == title_ || child == titleLabel_) ? HitCaption : HitNowhere;
}

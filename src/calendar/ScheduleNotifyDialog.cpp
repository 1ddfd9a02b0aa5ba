#include "ScheduleNotifyDialog.h"

#include "ProgramFont.h"
#include "Schedule.h"
#include "ScreenPosition.h"

#include <QApplication>
#include <QScreen>
#include <QShowEvent>

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// Distance from the screen's working-area corner, and the shift of each further reminder.
constexpr int kCornerMargin = 16;
constexpr int kStackStep = 36;
} // namespace

ScheduleNotifyDialog::ScheduleNotifyDialog(QWidget *parent)
    : ScheduleDialogBase(u"日程提醒"_s, parent)
{
    auto *verticalLayout_2 = new QVBoxLayout;
    verticalLayout_2->setObjectName(u"verticalLayout_2"_s);
    verticalLayout_2->setContentsMargins(20, 16, 16, 14);
    // Air between what is due and when, so a wrapped description does not run into the time.
    verticalLayout_2->setSpacing(18);

    auto *verticalLayout_3 = new QVBoxLayout;
    verticalLayout_3->setObjectName(u"verticalLayout_3"_s);
    verticalLayout_3->setSpacing(8);
    label = new QLabel(u"您有一条日程记录被激活："_s, this);
    label->setObjectName(u"label"_s);
    label->setFont(ProgramFont::sans(11));
    verticalLayout_3->addWidget(label);
    description_ = new QLabel(this);
    description_->setObjectName(u"description_"_s);
    description_->setWordWrap(true);
    // What is due is the point of the window: large and dark blue.
    description_->setFont(ProgramFont::sans(15));
    QPalette descriptionPalette = description_->palette();
    descriptionPalette.setColor(QPalette::WindowText, QColor(7, 74, 140));
    description_->setPalette(descriptionPalette);
    // Shown as typed: a description is never read as markup.
    description_->setTextFormat(Qt::PlainText);
    verticalLayout_3->addWidget(description_);
    verticalLayout_2->addLayout(verticalLayout_3);

    auto *verticalLayout_4 = new QVBoxLayout;
    verticalLayout_4->setObjectName(u"verticalLayout_4"_s);
    verticalLayout_4->setSpacing(8);
    label_2 = new QLabel(u"指定的时间："_s, this);
    label_2->setObjectName(u"label_2"_s);
    label_2->setFont(ProgramFont::sans(11));
    verticalLayout_4->addWidget(label_2);
    datetime_ = new QLabel(this);
    datetime_->setObjectName(u"datetime_"_s);
    datetime_->setFont(ProgramFont::sans(12));
    verticalLayout_4->addWidget(datetime_);
    verticalLayout_2->addLayout(verticalLayout_4);
    verticalLayout_2->addStretch();

    confirm_ = makeConfirmButton();
    verticalLayout_2->addWidget(confirm_, 0, Qt::AlignRight);

    verticalLayout->addLayout(verticalLayout_2, 1);

    connect(close_, &QToolButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QToolButton::clicked, this, &QDialog::accept);
}

void ScheduleNotifyDialog::showEvent(QShowEvent *event)
{
    // A reminder of its own (no parent) goes to the tray's corner, above any reminder already
    // there, instead of the middle of the screen where the schedule browser or another dialog
    // may be open.
    if (!parentWidget() && !event->spontaneous()) {
        int stacked = 0;
        for (QWidget *other : QApplication::topLevelWidgets()) {
            if (other != this && qobject_cast<ScheduleNotifyDialog *>(other) && other->isVisible())
                ++stacked;
        }
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size());
        const QPoint corner(area.right() + 1 - width() - kCornerMargin,
                            area.bottom() + 1 - height() - kCornerMargin - stacked * kStackStep);
        move(ScreenPosition::keepOnScreens(QRect(corner, size())));
    }
    ScheduleDialogBase::showEvent(event);
}

void ScheduleNotifyDialog::setSchedule(const Schedule &schedule)
{
    description_->setText(schedule.description);
    datetime_->setText(schedule.reminderTimeText());
}

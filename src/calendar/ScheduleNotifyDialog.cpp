#include "ScheduleNotifyDialog.h"

#include "Schedule.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ScheduleNotifyDialog::ScheduleNotifyDialog(QWidget *parent)
    : ScheduleDialogBase(u"日程提醒"_s, parent)
{
    auto *verticalLayout_2 = new QVBoxLayout;
    verticalLayout_2->setObjectName(u"verticalLayout_2"_s);
    verticalLayout_2->setContentsMargins(9, 9, 9, 9);
    // Air between what is due and when, so a wrapped description does not run into the time.
    verticalLayout_2->setSpacing(12);

    auto *verticalLayout_3 = new QVBoxLayout;
    verticalLayout_3->setObjectName(u"verticalLayout_3"_s);
    verticalLayout_3->setSpacing(4);
    label = new QLabel(u"您有一条日程记录被激活："_s, this);
    label->setObjectName(u"label"_s);
    verticalLayout_3->addWidget(label);
    description_ = new QLabel(this);
    description_->setObjectName(u"description_"_s);
    description_->setWordWrap(true);
    // Shown as typed: a description is never read as markup.
    description_->setTextFormat(Qt::PlainText);
    verticalLayout_3->addWidget(description_);
    verticalLayout_2->addLayout(verticalLayout_3);

    auto *verticalLayout_4 = new QVBoxLayout;
    verticalLayout_4->setObjectName(u"verticalLayout_4"_s);
    verticalLayout_4->setSpacing(4);
    label_2 = new QLabel(u"指定的时间："_s, this);
    label_2->setObjectName(u"label_2"_s);
    verticalLayout_4->addWidget(label_2);
    datetime_ = new QLabel(this);
    datetime_->setObjectName(u"datetime_"_s);
    verticalLayout_4->addWidget(datetime_);
    verticalLayout_2->addLayout(verticalLayout_4);
    verticalLayout_2->addStretch();

    confirm_ = makeConfirmButton();
    verticalLayout_2->addWidget(confirm_, 0, Qt::AlignRight);

    verticalLayout->addLayout(verticalLayout_2, 1);

    connect(close_, &QToolButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QToolButton::clicked, this, &QDialog::accept);
}

void ScheduleNotifyDialog::setSchedule(const Schedule &schedule)
{
    description_->setText(schedule.description);
    datetime_->setText(schedule.reminderTimeText());
}

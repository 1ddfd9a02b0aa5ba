#include "NewScheduleDialog.h"

#include "Schedule.h"
#include "WholeCharacters.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

NewScheduleDialog::NewScheduleDialog(QWidget *parent)
    : ScheduleDialogBase(u"添加日程"_s, parent)
{
    auto *verticalLayout_2 = new QVBoxLayout;
    verticalLayout_2->setObjectName(u"verticalLayout_2"_s);
    verticalLayout_2->setContentsMargins(9, 9, 9, 9);

    auto *horizontalLayout_2 = new QHBoxLayout;
    horizontalLayout_2->setObjectName(u"horizontalLayout_2"_s);
    label_2 = new QLabel(u"指定时间："_s, this);
    label_2->setObjectName(u"label_2"_s);
    horizontalLayout_2->addWidget(label_2);
    timeEdit_ = new QTimeEdit(QTime(0, 0), this);
    timeEdit_->setObjectName(u"timeEdit_"_s);
    timeEdit_->setDisplayFormat(u"HH:mm"_s);
    horizontalLayout_2->addWidget(timeEdit_, 1);
    verticalLayout_2->addLayout(horizontalLayout_2);

    auto *verticalLayout_3 = new QVBoxLayout;
    verticalLayout_3->setObjectName(u"verticalLayout_3"_s);
    verticalLayout_3->setContentsMargins(0, 0, 0, 9);
    label_3 = new QLabel(u"添加描述："_s, this);
    label_3->setObjectName(u"label_3"_s);
    verticalLayout_3->addWidget(label_3);
    lineEdit_ = new QLineEdit(this);
    lineEdit_->setObjectName(u"lineEdit_"_s);
    lineEdit_->setMaxLength(32);
    keepStorableLine(lineEdit_);
    verticalLayout_3->addWidget(lineEdit_);
    verticalLayout_2->addLayout(verticalLayout_3);

    groupBox = new QGroupBox(u"日程类型"_s, this);
    groupBox->setObjectName(u"groupBox"_s);
    auto *horizontalLayout_3 = new QHBoxLayout(groupBox);
    horizontalLayout_3->setObjectName(u"horizontalLayout_3"_s);
    horizontalLayout_3->setContentsMargins(11, 11, 11, 11);
    onlyToday_ = new QRadioButton(u"仅当天"_s, groupBox);
    onlyToday_->setObjectName(u"onlyToday_"_s);
    onlyToday_->setChecked(true);
    everyday_ = new QRadioButton(u"每天"_s, groupBox);
    everyday_->setObjectName(u"everyday_"_s);
    workday_ = new QRadioButton(u"每工作日"_s, groupBox);
    workday_->setObjectName(u"workday_"_s);
    horizontalLayout_3->addWidget(onlyToday_);
    horizontalLayout_3->addWidget(everyday_);
    horizontalLayout_3->addWidget(workday_);
    verticalLayout_2->addWidget(groupBox);
    verticalLayout_2->addStretch();

    confirm_ = makeConfirmButton();
    confirm_->setEnabled(false);
    verticalLayout_2->addWidget(confirm_, 0, Qt::AlignRight);

    verticalLayout->addLayout(verticalLayout_2, 1);

    connect(lineEdit_, &QLineEdit::textEdited, this, &NewScheduleDialog::onTextEdited);
    connect(close_, &QToolButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QToolButton::clicked, this, &NewScheduleDialog::onConfirm);
}

QTime NewScheduleDialog::time() const
{
    return timeEdit_->time();
}

int NewScheduleDialog::type() const
{
    if (everyday_->isChecked())
        return EveryDay;
    if (workday_->isChecked())
        return Workday;
    return OnlyToday;
}

QString NewScheduleDialog::description() const
{
    return lineEdit_->text();
}

void NewScheduleDialog::onConfirm()
{
    accept();
}

void NewScheduleDialog::onTextEdited(const QString &text)
{
    // A reminder of blanks alone would say nothing.
    confirm_->setEnabled(!text.trimmed().isEmpty());
}

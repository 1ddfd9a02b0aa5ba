#include "NewScheduleDialog.h"

#include "Schedule.h"
#include "WholeCharacters.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
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
    timeEdit_ = new QTimeEdit(startTime(QTime::currentTime()), this);
    timeEdit_->setObjectName(u"timeEdit_"_s);
    timeEdit_->setDisplayFormat(u"HH:mm"_s);
    timeEdit_->installEventFilter(this);
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

QTime NewScheduleDialog::startTime(const QTime &now)
{
    return now.hour() < 23 ? QTime(now.hour() + 1, 0) : QTime(23, 59);
}

bool NewScheduleDialog::eventFilter(QObject *watched, QEvent *event)
{
    // QTimeEdit takes digits only into a selected or unfinished section: with the cursor beside a
    // full "00", or the whole "10:00" selected, typing did nothing. A digit now replaces the
    // section at the cursor (the first one when more than one is selected), and the edit moves on
    // to the next section by itself.
    if (watched == timeEdit_ && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text.size() == 1 && text.front().isDigit()) {
            const QLineEdit *edit = timeEdit_->findChild<QLineEdit *>();
            const QString selected = edit ? edit->selectedText() : QString();
            const QDateTimeEdit::Section section = timeEdit_->currentSection();
            if (selected.contains(u':'))
                timeEdit_->setSelectedSection(timeEdit_->sectionAt(0));
            else if (selected.isEmpty() && timeEdit_->sectionText(section).size() >= 2)
                timeEdit_->setSelectedSection(section);
        }
    }
    return ScheduleDialogBase::eventFilter(watched, event);
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

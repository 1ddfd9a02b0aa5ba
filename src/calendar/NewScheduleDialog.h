// Asks for the time, description and type of a new schedule.
#pragma once

#include "ScheduleDialogBase.h"

#include <QTime>

class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTimeEdit;

class NewScheduleDialog : public ScheduleDialogBase
{
    Q_OBJECT

public:
    explicit NewScheduleDialog(QWidget *parent = nullptr);

    // The time the dialog proposes at now: the next full hour, or the last minute of the day
    // when that hour would fall on the next day.
    static QTime startTime(const QTime &now);

    QTime time() const;
    // 1 only that day, 2 every day, 3 every workday.
    int type() const;
    QString description() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void onConfirm();
    void onTextEdited(const QString &text);

private:
    QLabel *label_2 = nullptr;
    QTimeEdit *timeEdit_ = nullptr;
    QLabel *label_3 = nullptr;
    QLineEdit *lineEdit_ = nullptr;
    QGroupBox *groupBox = nullptr;
    QRadioButton *onlyToday_ = nullptr;
    QRadioButton *everyday_ = nullptr;
    QRadioButton *workday_ = nullptr;
    QToolButton *confirm_ = nullptr;
};

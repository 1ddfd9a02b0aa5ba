// The reminder that pops up when a schedule falls due.
#pragma once

#include "ScheduleDialogBase.h"

struct Schedule;

class ScheduleNotifyDialog : public ScheduleDialogBase
{
    Q_OBJECT

public:
    explicit ScheduleNotifyDialog(QWidget *parent = nullptr);

    // Shows the description and the time that fell due.
    void setSchedule(const Schedule &schedule);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *label = nullptr;
    QLabel *description_ = nullptr;
    QLabel *label_2 = nullptr;
    QLabel *datetime_ = nullptr;
    QToolButton *confirm_ = nullptr;
};

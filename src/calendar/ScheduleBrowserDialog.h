// Lists every schedule and deletes the selected ones.
#pragma once

#include "ScheduleDialogBase.h"

class QCheckBox;
class QTableWidget;
class ScheduleMgr;

class ScheduleBrowserDialog : public ScheduleDialogBase
{
    Q_OBJECT

public:
    ScheduleBrowserDialog(QWidget *parent, ScheduleMgr *scheduleMgr);

    // Rebuilds the table: one row per schedule, in list order.
    void refreshList();

public slots:
    void onCheckAll();
    void onDelete();
    void onItemSelectionChanged();

private:
    ScheduleMgr *scheduleMgr = nullptr;

    QCheckBox *checkAll_ = nullptr;
    QToolButton *delete_ = nullptr;
    QTableWidget *tableWidget_ = nullptr;
};

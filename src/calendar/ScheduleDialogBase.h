// Shared frame of the three schedule dialogs: borderless 400 × 300 window with a blue title bar.
#pragma once

#include "FramelessDialog.h"

class QLabel;
class QToolButton;
class QVBoxLayout;

class ScheduleDialogBase : public FramelessDialog
{
    Q_OBJECT

public:
    // Drags from the title bar, the title text or uncovered background; children keep their clicks.
    int hitTest(const QPoint &globalPos) const override;

protected:
    // Opens over the window it belongs to. Qt centres a dialog by its size hint, which is larger
    // than the 400 × 300 it then takes, so it would sit off centre.
    void showEvent(QShowEvent *event) override;

    // Builds verticalLayout with the title bar; the body goes below it.
    ScheduleDialogBase(const QString &title, QWidget *parent);

    QVBoxLayout *verticalLayout = nullptr;
    QWidget *title_ = nullptr;
    QLabel *titleLabel_ = nullptr;
    QToolButton *close_ = nullptr;

    // A green action button (delete_, confirm_): auto-raise, with the dialogs' green look.
    QToolButton *makeGreenButton(const QString &objectName, const QString &text);
    // The green "确定" of the new-schedule dialog and the reminder: at least 60 wide, 微软雅黑 10 pt.
    QToolButton *makeConfirmButton();
};

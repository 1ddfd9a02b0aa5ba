// The settings dialog: what the main window's close button does, and the show/hide hot key.
#pragma once

#include "FramelessDialog.h"

class HotKeySettingEdit;
class QRadioButton;
class QToolButton;
class QVBoxLayout;

class SettingsDialog : public FramelessDialog
{
    Q_OBJECT

public:
    // mainDialog owns the hot key; its native window is the one the edit registers for.
    explicit SettingsDialog(QWidget *mainDialog);

public slots:
    // Stores the close choice, saves the settings file and closes.
    void onClose();

protected:
    // Refills the choices from the settings at every showing.
    void showEvent(QShowEvent *event) override;

private:
    void buildOptions(QVBoxLayout *verticalLayout);

    QWidget *widget_ = nullptr;
    QToolButton *close_ = nullptr;
    QRadioButton *quitWhenClose_ = nullptr;
    QRadioButton *hideWhenClose_ = nullptr;
    HotKeySettingEdit *hotKeyEdit_ = nullptr;
};

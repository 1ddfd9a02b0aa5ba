// The settings dialog: what the main window's close button does, the show/hide hot key, and
// starting at login.
#pragma once

#include "FramelessDialog.h"

class CityChooser;
class HotKeySettingEdit;
class QCheckBox;
class QLabel;
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
    // The hot-key conflict message and the start-at-login switch, under the hot-key row.
    void buildDesktopRows(QVBoxLayout *rows);
    void onAutoStartClicked(bool checked);
    // Shows the hot-key conflict message while the shown key is refused.
    void showHotKeyConflict(bool refused);
    // The weather city row: "自动定位" or a city of the table.
    void buildWeatherCityRow(QVBoxLayout *column);

    QWidget *widget_ = nullptr;
    QToolButton *close_ = nullptr;
    QRadioButton *quitWhenClose_ = nullptr;
    QRadioButton *hideWhenClose_ = nullptr;
    HotKeySettingEdit *hotKeyEdit_ = nullptr;
    QLabel *hotKeyConflict_ = nullptr;
    QCheckBox *autoStart_ = nullptr;
    QLabel *autoStartError_ = nullptr;
    WId m_hotKeyWindow = 0;
    CityChooser *weatherCity_ = nullptr;
};

// The about dialog: logo bar, slogan, product name and version, and thanks to Qt.
#pragma once

#include "FramelessDialog.h"

class QLabel;
class QToolButton;

class AboutDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

private:
    QWidget *widget_ = nullptr;
    QToolButton *close_ = nullptr;
    QLabel *version = nullptr;
};

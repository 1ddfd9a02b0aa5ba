// The launcher page of the main window: the program grid on its background picture.
#pragma once

#include <QWidget>

class ProgramTableWidget;

class ProgramWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ProgramWidget(QWidget *parent = nullptr);

    // The grid; the main window loads it and routes drags and drops to it.
    ProgramTableWidget *tableWidget() const { return tableWidget_; }

private:
    ProgramTableWidget *tableWidget_ = nullptr;
};

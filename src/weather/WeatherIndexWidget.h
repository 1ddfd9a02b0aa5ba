// One life-index tile of the weather page: icon, name, level and description.
#pragma once

#include "WeatherResults.h"

#include <QWidget>

class QLabel;

class WeatherIndexWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WeatherIndexWidget(QWidget *parent = nullptr);

    // Shows item; the codes "ct", "zs" and "ys" have icons, any other code shows none.
    void setIndex(const WeatherIndexItem &item);

private:
    void buildForm();

    QLabel *image_ = nullptr;
    QLabel *name_ = nullptr;
    QLabel *level_ = nullptr;
    QLabel *text_ = nullptr;
};

#include "ProgramWidget.h"

#include "FramelessDialog.h"
#include "ProgramTableWidget.h"

#include <QHBoxLayout>

using namespace Qt::StringLiterals;

ProgramWidget::ProgramWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"ProgramWidget"_s);
    resize(900, 470);
    setAutoFillBackground(true);
    setStyleSheet(QString());
    setWindowTitle(u"ProgramWidget"_s);
    FramelessDialog::setBackgroundImage(this, u"bg_program.png"_s);

    auto *layout = new QHBoxLayout(this);
    layout->setObjectName(u"horizontalLayout"_s);
    layout->setContentsMargins(9, 0, 9, 0);

    tableWidget_ = new ProgramTableWidget(this);
    tableWidget_->setObjectName(u"tableWidget"_s);
    tableWidget_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    tableWidget_->setAutoFillBackground(true);
    layout->addWidget(tableWidget_);
}

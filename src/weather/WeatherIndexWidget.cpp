#include "WeatherIndexWidget.h"

#include "Pictures.h"
#include "ProgramFont.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

using namespace Qt::StringLiterals;

WeatherIndexWidget::WeatherIndexWidget(QWidget *parent)
    : QWidget(parent)
{
    buildForm();
}

void WeatherIndexWidget::buildForm()
{
    setFixedSize(211, 82);
    setStyleSheet(u"background-color: rgba(255, 255, 255, 0);"_s);

    image_ = new QLabel(this);
    image_->setObjectName(u"image_"_s);
    image_->setFixedSize(24, 22);

    name_ = new QLabel(u"N/A"_s, this);
    name_->setObjectName(u"name_"_s);
    name_->setFont(ProgramFont::sans(10));

    level_ = new QLabel(u"N/A"_s, this);
    level_->setObjectName(u"level_"_s);
    const QFont textFont = ProgramFont::sans(9);
    level_->setFont(textFont);

    text_ = new QLabel(u"N/A"_s, this);
    text_->setObjectName(u"text_"_s);
    text_->setFont(textFont);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setWordWrap(true);
    // Texts from the network are never markup.
    for (QLabel *label : {name_, level_, text_})
        label->setTextFormat(Qt::PlainText);

    auto *layout = new QGridLayout(this);
    layout->setObjectName(u"gridLayout"_s);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(2);
    layout->addWidget(image_, 0, 0, 2, 1, Qt::AlignVCenter);
    layout->addWidget(name_, 0, 1);
    layout->addWidget(level_, 1, 1);
    layout->addWidget(text_, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
}

void WeatherIndexWidget::setIndex(const WeatherIndexItem &item)
{
    name_->setText(item.name);
    level_->setText(item.level);
    text_->setText(item.description);
    image_->setText(QString());

    QString icon;
    if (item.code == u"ct")
        icon = u":/icon/chuanyi"_s;
    else if (item.code == u"zs")
        icon = u":/icon/zhongshu"_s;
    else if (item.code == u"ys")
        icon = u":/icon/yusan"_s;
    image_->setPixmap(icon.isEmpty() ? QPixmap() : fitPicture(QPixmap(icon), image_));
}

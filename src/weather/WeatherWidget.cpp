#include "WeatherWidget.h"

#include "ButtonStyle.h"
#include "CityChooser.h"
#include "CodeTable.h"
#include "GlobalSettings.h"
#include "LunarCalendar.h"
#include "MyMessageBox.h"
#include "Pictures.h"
#include "ProgramFont.h"
#include "WeatherIndexWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QMouseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

using namespace Qt::StringLiterals;

namespace {

const QString NotAvailable = u"N/A"_s;

const QString ToolButtonStyle = ButtonStyle::highlighted(u"QToolButton"_s, u"165, 225, 253"_s, u"165, 225, 253"_s);

QLabel *makeLabel(QWidget *parent, const QString &name, int pointSize, const QString &text = NotAvailable)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    // Texts from the network are never markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(ProgramFont::sans(pointSize));
    return label;
}

QToolButton *makeToolButton(QWidget *parent, const QString &name, const QString &icon,
                            const QString &toolTip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(u"..."_s);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(toolTip);
    button->setStyleSheet(ToolButtonStyle);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// Phenomenon codes are two digits; anything else from the network never becomes part of a path.
bool isPictureCode(const QString &code)
{
    return code.size() == 2 && code.at(0).isDigit() && code.at(1).isDigit()
        && code.at(0).unicode() < 128 && code.at(1).unicode() < 128;
}

QString cacheFilePath()
{
    return GlobalSettings::instance()->dataFilePath(u"weather.dat"_s);
}

} // namespace

WeatherWidget::WeatherWidget(QWidget *parent)
    : QWidget(parent)
    , m_saved(WeatherCache::load(cacheFilePath()))
{
    buildForm();
    connectSignals();
}

QString WeatherWidget::join(const QString &first, const QString &second, const QString &separator)
{
    if (first.isEmpty() && second.isEmpty())
        return u"未知"_s;
    if (first.isEmpty())
        return second;
    if (second.isEmpty() || first == second)
        return first;
    return first + separator + second;
}

void WeatherWidget::buildForm()
{
    setObjectName(u"WeatherWidget"_s);
    setFixedHeight(470);
    setAutoFillBackground(true);
    // The page's own texts stand on the sky picture; the panels set their own colours.
    setStyleSheet(u"QLabel{color: rgb(22, 66, 116);}"_s);

    auto *page = new QVBoxLayout(this);
    page->setObjectName(u"verticalLayout"_s);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto *top = new QHBoxLayout;
    top->setObjectName(u"horizontalLayout"_s);
    top->setContentsMargins(36, 16, 16, 10);
    top->setSpacing(10);

    auto *left = new QVBoxLayout;
    left->setObjectName(u"verticalLayout_2"_s);
    left->setSpacing(4);
    buildHeader(left);
    left->addStretch(1);
    buildLiveBlock(left);
    left->addStretch(2);
    top->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    right->setObjectName(u"verticalLayout_3"_s);
    right->setSpacing(6);
    toolWidget_ = new QWidget(this);
    toolWidget_->setObjectName(u"toolWidget_"_s);
    auto *tools = new QHBoxLayout(toolWidget_);
    tools->setObjectName(u"horizontalLayout_3"_s);
    tools->setContentsMargins(0, 0, 0, 0);
    tools->setSpacing(4);
    refresh_ = makeToolButton(toolWidget_, u"refresh_"_s, u":/icon/icon_refresh"_s, u"更新天气"_s);
    copy_ = makeToolButton(toolWidget_, u"copy_"_s, u":/icon/icon_copy"_s, u"拷贝天气信息到剪切板"_s);
    tools->addWidget(refresh_);
    tools->addWidget(copy_);
    right->addWidget(toolWidget_, 0, Qt::AlignRight | Qt::AlignTop);
    buildForecast();
    right->addStretch(1);
    right->addWidget(forecastWidget_, 0, Qt::AlignRight);
    right->addStretch(1);
    top->addLayout(right);

    page->addLayout(top, 1);
    buildIndexPanel();
    page->addWidget(indexWidget_);

    setBackground(forecastWidget_, u"forecast_bg.png"_s, true);
    setBackground(indexWidget_, u"bg_weather_index.png"_s, false);
}

void WeatherWidget::buildHeader(QVBoxLayout *column)
{
    auto *cityRow = new QHBoxLayout;
    cityRow->setObjectName(u"horizontalLayout_4"_s);
    cityRow->setSpacing(8);
    city_ = makeLabel(this, u"city_"_s, 22);
    city_->setCursor(Qt::PointingHandCursor);
    city_->setToolTip(u"点击选择城市"_s);
    city_->installEventFilter(this);
    releaseTime_ = makeLabel(this, u"releaseTime_"_s, 11);
    cityRow->addWidget(city_, 0, Qt::AlignBottom);
    cityRow->addWidget(releaseTime_, 0, Qt::AlignBottom);
    cityRow->addStretch(1);
    column->addLayout(cityRow);

    auto *dateRow = new QHBoxLayout;
    dateRow->setObjectName(u"horizontalLayout_5"_s);
    dateRow->setSpacing(10);
    date_ = makeLabel(this, u"date_"_s, 12, QString());
    lunarDate_ = makeLabel(this, u"lunarDate_"_s, 11, QString());
    dateRow->addWidget(date_, 0, Qt::AlignBottom);
    dateRow->addWidget(lunarDate_, 0, Qt::AlignBottom);
    dateRow->addStretch(1);
    column->addLayout(dateRow);
}

void WeatherWidget::buildLiveBlock(QVBoxLayout *column)
{
    temp_ = makeLabel(this, u"temp_"_s, 40);
    wind_ = makeLabel(this, u"wind_"_s, 16);
    humidity_ = makeLabel(this, u"humidity_"_s, 16);
    column->addWidget(temp_);
    column->addSpacing(6);
    column->addWidget(wind_);
    column->addWidget(humidity_);
}

void WeatherWidget::buildForecast()
{
    forecastWidget_ = new QWidget(this);
    forecastWidget_->setObjectName(u"forecastWidget_"_s);
    forecastWidget_->setFixedSize(482, 242);
    forecastWidget_->setAutoFillBackground(true);
    forecastWidget_->setStyleSheet(u"QLabel{color: rgb(40, 62, 90);}"_s);

    auto *panel = new QVBoxLayout(forecastWidget_);
    panel->setObjectName(u"verticalLayout_4"_s);
    panel->setContentsMargins(14, 8, 14, 10);
    panel->setSpacing(4);

    auto *title = new QHBoxLayout;
    title->setObjectName(u"horizontalLayout_6"_s);
    forecast_ = makeLabel(forecastWidget_, u"forecast_"_s, 11, u"72小时预报"_s);
    forecastReleaseTime_ = makeLabel(forecastWidget_, u"forecastReleaseTime_"_s, 9);
    title->addWidget(forecast_);
    title->addStretch(1);
    title->addWidget(forecastReleaseTime_);
    panel->addLayout(title);

    auto *days = new QHBoxLayout;
    days->setObjectName(u"horizontalLayout_7"_s);
    days->setSpacing(0);
    day1_ = buildForecastDay(1, u"day1_"_s, today_, u"today_"_s, u"今天"_s, image1_, temp1_, weather1_,
                             wind1_);
    day2_ = buildForecastDay(2, u"day2_"_s, tomorrow_, u"tomorrow_"_s, u"明天"_s, image2_, temp2_,
                             weather2_, wind2_);
    day3 = buildForecastDay(3, u"day3"_s, label_2, u"label_2"_s, u"后天"_s, image3_, temp3_, weather3_,
                            wind3_);
    days->addWidget(day1_);
    days->addWidget(day2_);
    days->addWidget(day3);
    panel->addLayout(days, 1);
}

QWidget *WeatherWidget::buildForecastDay(int n, const QString &columnName, QLabel *&title,
                                         const QString &titleName, const QString &titleText,
                                         QLabel *&image, QLabel *&temp, QLabel *&weather,
                                         QLabel *&wind)
{
    auto *column = new QWidget(forecastWidget_);
    column->setObjectName(columnName);
    auto *layout = new QVBoxLayout(column);
    layout->setObjectName(u"dayLayout%1"_s.arg(n));
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(3);

    title = makeLabel(column, titleName, 11, titleText);
    image = new QLabel(column);
    image->setObjectName(u"image%1_"_s.arg(n));
    image->setFixedSize(70, 70);
    temp = makeLabel(column, u"temp%1_"_s.arg(n), 11);
    weather = makeLabel(column, u"weather%1_"_s.arg(n), 10);
    wind = makeLabel(column, u"wind%1_"_s.arg(n), 9);
    for (QLabel *label : {title, temp, weather, wind}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
        if (label == title)
            layout->addWidget(image, 0, Qt::AlignHCenter);
    }
    weather->setWordWrap(true);
    layout->insertStretch(0, 1);
    layout->addStretch(2);
    return column;
}

void WeatherWidget::buildIndexPanel()
{
    indexWidget_ = new QWidget(this);
    indexWidget_->setObjectName(u"indexWidget_"_s);
    indexWidget_->setFixedHeight(82);
    indexWidget_->setAutoFillBackground(true);
    indexWidget_->setStyleSheet(u"QLabel{color: rgb(40, 62, 90);}"_s);

    auto *row = new QHBoxLayout(indexWidget_);
    row->setObjectName(u"horizontalLayout_8"_s);
    // Tiles sit between the separators drawn into the panel's picture.
    row->setContentsMargins(6, 0, 6, 0);
    row->setSpacing(6);
    index1_ = new WeatherIndexWidget(indexWidget_);
    index2_ = new WeatherIndexWidget(indexWidget_);
    index3_ = new WeatherIndexWidget(indexWidget_);
    index4_ = new WeatherIndexWidget(indexWidget_);
    const std::array<WeatherIndexWidget *, 4> tiles{index1_, index2_, index3_, index4_};
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        tiles[i]->setObjectName(u"index%1_"_s.arg(i + 1));
        row->addWidget(tiles[i]);
        if (i > 0)
            tiles[i]->hide();
    }
    row->addStretch(1);
}

void WeatherWidget::connectSignals()
{
    connect(refresh_, &QToolButton::clicked, this, &WeatherWidget::onRequestWeather);
    connect(copy_, &QToolButton::clicked, this, &WeatherWidget::onCopy);
    connect(&m_request, qOverload<WeatherForecastRequestResult>(&WeatherRequest::finished), this,
            qOverload<WeatherForecastRequestResult>(&WeatherWidget::onRequestWeatherFinished));
    connect(&m_request, qOverload<LiveWeatherRequestResult>(&WeatherRequest::finished), this,
            qOverload<LiveWeatherRequestResult>(&WeatherWidget::onRequestWeatherFinished));
    connect(&m_request, qOverload<WeatherIndexRequestResult>(&WeatherRequest::finished), this,
            qOverload<WeatherIndexRequestResult>(&WeatherWidget::onRequestWeatherFinished));
}

void WeatherWidget::setBackground(QWidget *widget, const QString &fileName, bool scaled)
{
    QPixmap pixmap(GlobalSettings::instance()->resourcesDirectory() + fileName);
    if (scaled && !pixmap.isNull() && !widget->size().isEmpty())
        pixmap = pixmap.scaled(widget->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(pixmap));
    widget->setPalette(palette);
}

void WeatherWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setBackground(this, u"weather_bg.jpg"_s, true);
}

bool WeatherWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == city_ && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        onChooseCity();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void WeatherWidget::onChooseCity()
{
    GlobalSettings *settings = GlobalSettings::instance();
    CityDialog dialog(settings->weatherCity(), this);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenAreaId() == settings->weatherCity())
        return;
    settings->setWeatherCity(dialog.chosenAreaId());
    settings->save(settings->settingsFilePath());
    onCityChanged();
}

void WeatherWidget::onCityChanged()
{
    if (isIdle())
        onRequestWeather();
    else
        m_refreshAgain = true;
}

void WeatherWidget::onRequestWeather()
{
    if (!isIdle())
        return;
    m_finishedMask = 0;
    m_latest = SavedWeather();
    toolWidget_->setEnabled(false);
    updateDate();
    m_request.request();
}

void WeatherWidget::updateDate()
{
    static const QString weekdays[] = {u"星期一"_s, u"星期二"_s, u"星期三"_s, u"星期四"_s,
                                       u"星期五"_s, u"星期六"_s, u"星期日"_s};
    const QDate today = QDate::currentDate();
    date_->setText(today.toString(u"M月d日"_s) + u' ' + weekdays[today.dayOfWeek() - 1]);

    std::uint16_t lunarYear = 0, lunarMonth = 0, lunarDay = 0;
    toLunarDate(std::uint16_t(today.year()), std::uint16_t(today.month()), std::uint16_t(today.day()),
                lunarYear, lunarMonth, lunarDay);
    lunarDate_->setText(u"农历"_s + lunarMonthName(lunarMonth) + lunarDayName(lunarDay));
}

void WeatherWidget::markFinished(int bit)
{
    m_finishedMask |= bit;
    toolWidget_->setEnabled(isIdle());
    if (m_finishedMask == 7)
        finishRefresh();
}

void WeatherWidget::finishRefresh()
{
    if (m_latest.forecast.ok && m_latest.live.ok && m_latest.index.ok) {
        m_latest.savedAt = QDateTime::currentDateTime();
        if (WeatherCache::save(cacheFilePath(), m_latest)) {
            m_saved = m_latest;
            m_saved.valid = true;
        }
    }
    if (m_refreshAgain) {
        m_refreshAgain = false;
        onRequestWeather();
    }
}

QString WeatherWidget::savedText(const QDateTime &savedAt)
{
    return savedAt.toString(u"M月d日 HH:mm"_s) + u"保存"_s;
}

void WeatherWidget::onCopy()
{
    toolWidget_->hide();
    const QPixmap picture = grab();
    toolWidget_->show();
    QApplication::clipboard()->setPixmap(picture, QClipboard::Clipboard);
    MyMessageBox box(this);
    box.showMessage(QMessageBox::Information, u"Quorvik软件"_s, u"天气图片已拷贝到剪切板!"_s,
                    QMessageBox::Ok);
}

void WeatherWidget::showDayPicture(QLabel *image, const QString &code)
{
    const QString folder = GlobalSettings::instance()->resourcesDirectory() + u"weather/day/"_s;
    QPixmap pixmap;
    // A code without a picture of its own shows the undefined picture rather than nothing.
    if (!isPictureCode(code) || !pixmap.load(folder + code + u".png"_s))
        pixmap.load(folder + u"undefined.png"_s);
    image->setPixmap(fitPicture(pixmap, image));
}

void WeatherWidget::onRequestWeatherFinished(WeatherForecastRequestResult result)
{
    m_latest.forecast = result;
    // A failed refresh shows the last complete one, marked with its time, rather than "N/A".
    if (!result.ok && m_saved.valid)
        showForecast(m_saved.forecast, m_saved.savedAt);
    else
        showForecast(result, QDateTime());
    markFinished(2);
}

void WeatherWidget::showForecast(WeatherForecastRequestResult result, const QDateTime &savedAt)
{
    const std::array<QLabel *, 3> images{image1_, image2_, image3_};
    const std::array<QLabel *, 3> temps{temp1_, temp2_, temp3_};
    const std::array<QLabel *, 3> weathers{weather1_, weather2_, weather3_};
    const std::array<QLabel *, 3> winds{wind1_, wind2_, wind3_};

    forecastReleaseTime_->setText(!result.ok ? NotAvailable
                                  : savedAt.isValid() ? savedText(savedAt)
                                                      : result.releaseTime + u"发布"_s);
    // In the evening the service leaves today's daytime temperature out.
    if (result.ok && result.days.size() > 1 && result.days[0].dayTemperature.isEmpty())
        result.days[0].dayTemperature = result.days[1].dayTemperature;

    for (int i = 0; i < 3; ++i) {
        // A reply with fewer than three days shows placeholders for the missing ones.
        if (!result.ok || i >= result.days.size()) {
            showDayPicture(images[i], QString());
            temps[i]->setText(NotAvailable);
            weathers[i]->setText(NotAvailable);
            winds[i]->setText(NotAvailable);
            continue;
        }
        const WeatherForecastDay &day = result.days[i];
        showDayPicture(images[i], day.dayPhenomenon.isEmpty() ? day.nightPhenomenon : day.dayPhenomenon);
        temps[i]->setText(join(day.dayTemperature, day.nightTemperature, u"-"_s) + u"℃"_s);
        weathers[i]->setText(join(weatherPhenomena().lookup(day.dayPhenomenon),
                                  weatherPhenomena().lookup(day.nightPhenomenon), u"转"_s));
        winds[i]->setText(join(day.dayWindForce, day.nightWindForce, u"转"_s));
    }
}

void WeatherWidget::onRequestWeatherFinished(LiveWeatherRequestResult result)
{
    m_latest.live = result;
    if (!result.ok && m_saved.valid)
        showLive(m_saved.live, m_saved.savedAt);
    else
        showLive(result, QDateTime());
    markFinished(1);
}

void WeatherWidget::showLive(const LiveWeatherRequestResult &result, const QDateTime &savedAt)
{
    if (!result.ok) {
        for (QLabel *label : {city_, temp_, wind_, humidity_, releaseTime_})
            label->setText(NotAvailable);
        return;
    }
    city_->setText(result.position.city);
    temp_->setText(result.temperature + u"℃"_s);
    wind_->setText(result.windDirection + u'(' + result.windForce + u"级)"_s);
    humidity_->setText(u"相对湿度:"_s + result.humidity + u'%');
    releaseTime_->setText(u'(' + (savedAt.isValid() ? savedText(savedAt) : result.time + u"实况"_s) + u')');
}

void WeatherWidget::onRequestWeatherFinished(WeatherIndexRequestResult result)
{
    m_latest.index = result;
    showIndex(!result.ok && m_saved.valid ? m_saved.index : result);
    markFinished(4);
}

void WeatherWidget::showIndex(const WeatherIndexRequestResult &result)
{
    if (!result.ok || result.items.isEmpty()) {
        WeatherIndexItem placeholder;
        placeholder.name = NotAvailable;
        placeholder.description = NotAvailable;
        index1_->setIndex(placeholder);
        return;
    }
    const std::array<WeatherIndexWidget *, 4> tiles{index1_, index2_, index3_, index4_};
    for (int i = 0; i < int(tiles.size()); ++i) {
        if (i < result.items.size()) {
            tiles[i]->setIndex(result.items[i]);
            tiles[i]->show();
        } else {
            tiles[i]->hide();
        }
    }
}

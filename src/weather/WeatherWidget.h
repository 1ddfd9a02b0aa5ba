// The weather page: city, dates, live observation, three-day forecast and life-index tiles.
#pragma once

#include "WeatherCache.h"
#include "WeatherRequest.h"

#include <QWidget>

class QLabel;
class QToolButton;
class QVBoxLayout;
class WeatherIndexWidget;

class WeatherWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WeatherWidget(QWidget *parent = nullptr);

    // The bits of a refresh: live 1, forecast 2, index 4; -1 before the first refresh.
    int finishedMask() const { return m_finishedMask; }
    // join rule of the labels: "未知" for two empties, the one present, or first + separator + second.
    static QString join(const QString &first, const QString &second, const QString &separator);

public slots:
    // Starts a refresh unless one is running.
    void onRequestWeather();
    // Puts a picture of the page (without the tool buttons) on the clipboard.
    void onCopy();
    // Lets the user choose the weather city (from a click on the city name) and refreshes.
    void onChooseCity();
    // Refreshes for a newly chosen city, at once or after the refresh that is running.
    void onCityChanged();
    void onRequestWeatherFinished(WeatherForecastRequestResult result);
    void onRequestWeatherFinished(LiveWeatherRequestResult result);
    void onRequestWeatherFinished(WeatherIndexRequestResult result);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void buildHeader(QVBoxLayout *column);
    void buildLiveBlock(QVBoxLayout *column);
    void buildForecast();
    // One day column of the forecast panel; fills the column's labels through the references.
    QWidget *buildForecastDay(int n, const QString &columnName, QLabel *&title, const QString &titleName,
                              const QString &titleText, QLabel *&image, QLabel *&temp,
                              QLabel *&weather, QLabel *&wind);
    void buildIndexPanel();
    void connectSignals();

    void updateDate();
    void markFinished(int bit);
    bool isIdle() const { return m_finishedMask == 7 || m_finishedMask == -1; }
    void showDayPicture(QLabel *image, const QString &code);
    void setBackground(QWidget *widget, const QString &fileName, bool scaled);
    void showForecast(WeatherForecastRequestResult result, const QDateTime &savedAt);
    void showLive(const LiveWeatherRequestResult &result, const QDateTime &savedAt);
    void showIndex(const WeatherIndexRequestResult &result);
    // After the last result of a refresh: keeps a complete refresh, starts a refresh asked for meanwhile.
    void finishRefresh();
    static QString savedText(const QDateTime &savedAt);

    WeatherRequest m_request;
    int m_finishedMask = -1;
    // The last complete refresh, shown in place of failed results.
    SavedWeather m_saved;
    // The results of the running refresh.
    SavedWeather m_latest;
    bool m_refreshAgain = false;

    QLabel *city_ = nullptr;
    QLabel *releaseTime_ = nullptr;
    QLabel *date_ = nullptr;
    QLabel *lunarDate_ = nullptr;
    QWidget *toolWidget_ = nullptr;
    QToolButton *refresh_ = nullptr;
    QToolButton *copy_ = nullptr;
    QLabel *temp_ = nullptr;
    QLabel *wind_ = nullptr;
    QLabel *humidity_ = nullptr;
    QWidget *forecastWidget_ = nullptr;
    QLabel *forecast_ = nullptr;
    QLabel *forecastReleaseTime_ = nullptr;
    QWidget *day1_ = nullptr;
    QWidget *day2_ = nullptr;
    QWidget *day3 = nullptr;
    QLabel *today_ = nullptr;
    QLabel *tomorrow_ = nullptr;
    QLabel *label_2 = nullptr;
    QLabel *image1_ = nullptr;
    QLabel *image2_ = nullptr;
    QLabel *image3_ = nullptr;
    QLabel *temp1_ = nullptr;
    QLabel *temp2_ = nullptr;
    QLabel *temp3_ = nullptr;
    QLabel *weather1_ = nullptr;
    QLabel *weather2_ = nullptr;
    QLabel *weather3_ = nullptr;
    QLabel *wind1_ = nullptr;
    QLabel *wind2_ = nullptr;
    QLabel *wind3_ = nullptr;
    QWidget *indexWidget_ = nullptr;
    WeatherIndexWidget *index1_ = nullptr;
    WeatherIndexWidget *index2_ = nullptr;
    WeatherIndexWidget *index3_ = nullptr;
    WeatherIndexWidget *index4_ = nullptr;
};

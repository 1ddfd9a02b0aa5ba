// The weather page inside the main window: it refreshes on its first visit only.
#include "MainDialog.h"

#include "GlobalSettings.h"
#include "MyMessageBox.h"
#include "TestMain.h"
#include "WeatherSamples.h"
#include "WeatherWidget.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestWeatherShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useSignedService(); }
    void init();
    void firstVisitRefreshesOnce_data();
    void firstVisitRefreshesOnce();

private:
    FakeNetworkAccessManager *m_network = nullptr;
};

void TestWeatherShell::init()
{
    GlobalSettings::instance()->resetForTest();
    MyMessageBox::setAutoAnswer(true, u"暂时不用"_s);
    m_network = installFakeNetwork();
    serveGuangzhou(m_network);
}

void TestWeatherShell::firstVisitRefreshesOnce_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("page button") << false;
    QTest::newRow("tray menu entry") << true;
}

void TestWeatherShell::firstVisitRefreshesOnce()
{
    QFETCH(bool, fromMenu);
    MainDialog dialog;
    dialog.ensureWindowBuilt();
    auto *stack = dialog.findChild<QStackedWidget *>(u"stackedWidget"_s);
    // Nothing before the first visit, not even the page.
    QVERIFY(!dialog.findChild<WeatherWidget *>());
    QCOMPARE(m_network->requestCount(locationAddress()), 0);

    const auto visit = [&] {
        if (fromMenu)
            dialog.findChild<QAction *>(u"actionShowWeather_"_s)->trigger();
        else
            dialog.findChild<QPushButton *>(u"btnWeather"_s)->click();
    };
    visit();
    auto *page = qobject_cast<WeatherWidget *>(stack->currentWidget());
    QVERIFY(page);
    QCOMPARE(stack->indexOf(page), 3);
    QCOMPARE(m_network->requestCount(locationAddress()), 1);
    QTRY_COMPARE(page->finishedMask(), 7);
    QCOMPARE(page->findChild<QLabel *>(u"city_"_s)->text(), u"广州"_s);

    // Leaving and coming back does not refresh again; only the refresh button does.
    dialog.findChild<QPushButton *>(u"btnWebsite"_s)->click();
    visit();
    visit();
    QCOMPARE(stack->currentWidget(), page);
    QCOMPARE(m_network->requestCount(locationAddress()), 1);
}

QPA_TEST_MAIN(TestWeatherShell)
#include "tst_weathershell.moc"

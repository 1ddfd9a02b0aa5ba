// The process clock against the test's own monotonic clock: age readings are off by less than one
// clock tick each, so the growth between two of them matches the time that passed; CPU time grows
// while the test works, and no faster than the clock.
#include "ProcessClock.h"
#include "TestMain.h"

#include <QElapsedTimer>
#include <QThread>

#include <unistd.h>

class TestProcessClock : public QObject
{
    Q_OBJECT

private slots:
    void growsWithTheClock_data();
    void growsWithTheClock();
    void cpuTimeGrowsWhileBusy();
};

void TestProcessClock::growsWithTheClock_data()
{
    QTest::addColumn<int>("pauseMs");
    QTest::newRow("none") << 0;
    QTest::newRow("a tick") << 10;
    QTest::newRow("a tenth of a second") << 100;
}

void TestProcessClock::growsWithTheClock()
{
    QFETCH(int, pauseMs);
    const qint64 tick = 1000000000LL / sysconf(_SC_CLK_TCK);
    QElapsedTimer timer;
    timer.start();
    const qint64 first = ProcessClock::ageNanoseconds();
    QThread::msleep(pauseMs);
    const qint64 second = ProcessClock::ageNanoseconds();
    const qint64 passed = timer.nsecsElapsed();
    QVERIFY2(first > 0, qPrintable(QString::number(first)));
    QVERIFY2(qAbs((second - first) - passed) < 2 * tick,
             qPrintable(QStringLiteral("grew %1 ns while %2 ns passed").arg(second - first).arg(passed)));
}

void TestProcessClock::cpuTimeGrowsWhileBusy()
{
    QElapsedTimer timer;
    timer.start();
    const qint64 before = ProcessClock::cpuNanoseconds();
    volatile quint64 sum = 0;
    while (timer.elapsed() < 30)
        sum = sum + 1;
    const qint64 after = ProcessClock::cpuNanoseconds();
    const qint64 passed = timer.nsecsElapsed();
    QVERIFY(before >= 0);
    QVERIFY(after > before);
    // The busy thread cannot use more CPU time than the time that passed; the process's other
    // threads (Qt's own) may add a little, a wrong unit would add factors.
    QVERIFY2(after - before <= passed + passed / 10,
             qPrintable(QStringLiteral("%1 > %2").arg(after - before).arg(passed)));
}

QPA_TEST_MAIN(TestProcessClock)
#include "tst_processclock.moc"

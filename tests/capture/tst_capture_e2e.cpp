// End to end on a real X server: capture from the main window, drag with xdotool, copy, read the
// clipboard back with xclip. Run through run_on_xvfb.sh, which provides the display.
#include "FakeNetworkAccessManager.h"
#include "MainDialog.h"
#include "MyMessageBox.h"
#include "ScreenCaptureDialog.h"
#include "TestMain.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestCaptureEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void captureCopyAndReadBack();

private:
    // Runs a tool without blocking the event loop, which has to answer the X selection requests.
    QByteArray run(const QString &program, const QStringList &args);
    void xdotool(const QStringList &args) { run(u"xdotool"_s, args); }
    // Physical X coordinates of a logical point.
    QStringList at(const QPoint &logical) const;
    QStringList at(QWidget *w) const { return at(w->mapToGlobal(w->rect().center())); }
    ScreenCaptureDialog *overlay() const;
    void saveShot(const QString &name);

    qreal m_ratio = 1;
    QString m_output;
};

void TestCaptureEndToEnd::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X server (run through run_on_xvfb.sh)");
    m_ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    m_output = qEnvironmentVariable("QPA_E2E_OUTPUT", QDir::currentPath());
    QDir().mkpath(m_output);
    MyMessageBox::setAutoAnswer(true);
    installFakeNetwork();
}

QByteArray TestCaptureEndToEnd::run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000)) {
        process.kill();
        process.waitForFinished();
        qWarning("%s timed out", qPrintable(program));
    }
    return process.readAllStandardOutput();
}

QStringList TestCaptureEndToEnd::at(const QPoint &logical) const
{
    return {QString::number(qRound(logical.x() * m_ratio)), QString::number(qRound(logical.y() * m_ratio))};
}

ScreenCaptureDialog *TestCaptureEndToEnd::overlay() const
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<ScreenCaptureDialog *>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

void TestCaptureEndToEnd::saveShot(const QString &name)
{
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    QVERIFY(shot.save(QDir(m_output).filePath(name)));
}

void TestCaptureEndToEnd::captureCopyAndReadBack()
{
    MainDialog main;
    main.move(120, 80);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QTest::qWait(300);

    // The title strip's capture button, clicked as a user would.
    auto *screenCut = main.findChild<QToolButton *>(u"btnScreenCut_"_s);
    xdotool(QStringList{u"mousemove"_s} + at(screenCut) + QStringList{u"click"_s, u"1"_s});
    QTRY_VERIFY_WITH_TIMEOUT(overlay() != nullptr, 5000);
    QPointer<ScreenCaptureDialog> capture = overlay();
    QVERIFY(QTest::qWaitForWindowExposed(capture.data()));
    QTRY_COMPARE(capture->geometry(), QGuiApplication::primaryScreen()->virtualGeometry());
    // The picture was taken before the overlay appeared and shows the main window.
    QCOMPARE(capture->screenshot().size(), QGuiApplication::primaryScreen()->virtualGeometry().size() * m_ratio);
    QTest::qWait(300);

    xdotool(QStringList{u"mousemove"_s} + at(QPoint(100, 100)) + QStringList{u"mousedown"_s, u"1"_s}
            + QStringList{u"mousemove"_s} + at(QPoint(200, 170)) + QStringList{u"sleep"_s, u"0.1"_s}
            + QStringList{u"mousemove"_s} + at(QPoint(300, 250)) + QStringList{u"sleep"_s, u"0.1"_s}
            + QStringList{u"mouseup"_s, u"1"_s});
    QTRY_COMPARE(capture->captureState(), int(ScreenCaptureDialog::Selected));
    QCOMPARE(capture->selection(), QRect(QPoint(100, 100), QPoint(299, 249)));
    const QSize pixels = QSize(200, 150) * m_ratio;
    QCOMPARE(capture->findChild<QLabel *>(u"size_"_s)->text(),
             u"%1×%2"_s.arg(pixels.width()).arg(pixels.height()));
    auto *toolbar = capture->findChild<QWidget *>(u"toolbar_"_s);
    QVERIFY(toolbar->isVisible());
    QCOMPARE(toolbar->pos(), QPoint(100, 250));
    QTest::qWait(300);
    saveShot(u"capture_overlay.png"_s);

    xdotool(QStringList{u"mousemove"_s} + at(capture->findChild<QToolButton *>(u"copy_"_s))
            + QStringList{u"click"_s, u"1"_s});
    QTRY_VERIFY(QGuiApplication::clipboard()->ownsClipboard());

    const QByteArray targets = run(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-t"_s, u"TARGETS"_s, u"-o"_s});
    QVERIFY2(targets.contains("image/png"), targets.constData());
    const QByteArray png = run(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-t"_s, u"image/png"_s, u"-o"_s});
    QImage copied;
    QVERIFY(copied.loadFromData(png, "PNG"));
    QCOMPARE(copied.size(), pixels);
    QImage expected = capture->screenshot().toImage().copy(QRect(QPoint(100, 100) * m_ratio, pixels));
    // The clipboard carries pixels only; the ratio of the picture they came from does not travel.
    expected.setDevicePixelRatio(1);
    QCOMPARE(copied.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    QVERIFY(copied.save(QDir(m_output).filePath(u"clipboard.png"_s)));

    // The overlay keeps the keyboard: Escape closes it and the main window deletes it.
    QVERIFY(capture->isVisible());
    xdotool({u"key"_s, u"Escape"_s});
    QTRY_VERIFY_WITH_TIMEOUT(capture.isNull(), 5000);
    QVERIFY(main.isVisible());
}

QPA_TEST_MAIN(TestCaptureEndToEnd)
#include "tst_capture_e2e.moc"

// End to end on a real X server: capture from the main window, drag with xdotool, mark up, copy,
// read the clipboard back with xclip, pin. Run through run_on_xvfb.sh, which provides the display.
#include "CaptureToolbar.h"
#include "FakeNetworkAccessManager.h"
#include "MainDialog.h"
#include "MyMessageBox.h"
#include "PinWindow.h"
#include "ScreenCaptureDialog.h"
#include "TestMain.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QToolButton>
#include <QToolTip>
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
    // Presses the left button at from, moves to to in two steps and lets go.
    void xdrag(const QPoint &from, const QPoint &to);
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

void TestCaptureEndToEnd::xdrag(const QPoint &from, const QPoint &to)
{
    xdotool(QStringList{u"mousemove"_s} + at(from) + QStringList{u"mousedown"_s, u"1"_s}
            + QStringList{u"mousemove"_s} + at((from + to) / 2) + QStringList{u"sleep"_s, u"0.1"_s}
            + QStringList{u"mousemove"_s} + at(to) + QStringList{u"sleep"_s, u"0.1"_s}
            + QStringList{u"mouseup"_s, u"1"_s});
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

    // The title strip's capture button, clicked as a user would, after resting on it until its
    // tool tip shows: the tip must not end up in the picture.
    auto *screenCut = main.findChild<QToolButton *>(u"btnScreenCut_"_s);
    main.activateWindow();
    const QPoint cutCentre = screenCut->mapToGlobal(screenCut->rect().center());
    xdotool(QStringList{u"mousemove"_s} + at(cutCentre - QPoint(3, 0)) + QStringList{u"sleep"_s, u"0.2"_s,
            u"mousemove"_s} + at(cutCentre));
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
    QRect tip;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() == Qt::ToolTip)
            tip = w->geometry();
    }
    QVERIFY(!tip.isEmpty());
    QTest::qWait(200);
    xdotool({u"click"_s, u"1"_s});
    QTRY_VERIFY_WITH_TIMEOUT(overlay() != nullptr, 5000);
    QPointer<ScreenCaptureDialog> capture = overlay();
    QVERIFY(QTest::qWaitForWindowExposed(capture.data()));
    QTRY_COMPARE(capture->geometry(), QGuiApplication::primaryScreen()->virtualGeometry());
    // The picture was taken before the overlay appeared and shows the main window.
    QCOMPARE(capture->screenshot().size(), QGuiApplication::primaryScreen()->virtualGeometry().size() * m_ratio);
    // Where the tip was, the picture shows the main window as it paints itself (below the button,
    // whose hover look may differ).
    {
        const QRect below = tip & main.geometry().adjusted(0, screenCut->mapTo(&main, QPoint(0, screenCut->height())).y() + 2, 0, 0);
        QVERIFY2(!below.isEmpty(), "the tip did not cover the main window");
        const QImage painted = main.grab(below.translated(-main.pos())).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage taken = capture->screenshot().toImage().copy(QRect(below.topLeft() * m_ratio, below.size() * m_ratio))
                                 .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(taken.size(), painted.size());
        int differing = 0;
        for (int y = 0; y < taken.height(); ++y) {
            for (int x = 0; x < taken.width(); ++x)
                differing += taken.pixel(x, y) != painted.pixel(x, y);
        }
        QVERIFY2(differing == 0, qPrintable(u"%1 pixels of the tool tip in the picture"_s.arg(differing)));
    }

    // Before the first press: the veil, the hint and the magnifier beside the cursor.
    xdotool(QStringList{u"mousemove"_s} + at(QPoint(420, 330)));
    QTest::qWait(300);
    saveShot(u"capture_hint_magnifier.png"_s);

    xdotool(QStringList{u"mousemove"_s} + at(QPoint(100, 100)) + QStringList{u"mousedown"_s, u"1"_s}
            + QStringList{u"mousemove"_s} + at(QPoint(200, 170)) + QStringList{u"sleep"_s, u"0.1"_s}
            + QStringList{u"mousemove"_s} + at(QPoint(300, 250)) + QStringList{u"sleep"_s, u"0.1"_s});
    QTRY_COMPARE(capture->captureState(), int(ScreenCaptureDialog::Selecting));
    QTest::qWait(200);
    saveShot(u"capture_selecting.png"_s);
    xdotool({u"mouseup"_s, u"1"_s});
    QTRY_COMPARE(capture->captureState(), int(ScreenCaptureDialog::Selected));
    QCOMPARE(capture->selection(), QRect(QPoint(100, 100), QPoint(299, 249)));
    const QSize pixels = QSize(200, 150) * m_ratio;
    QCOMPARE(capture->findChild<QLabel *>(u"size_"_s)->text(),
             u"%1×%2"_s.arg(pixels.width()).arg(pixels.height()));
    auto *toolbar = capture->findChild<CaptureToolbar *>(u"toolbar_"_s);
    QVERIFY(toolbar->isVisible());
    QCOMPARE(toolbar->pos(), QPoint(100, 250));

    // A rectangle and an arrow, drawn with the toolbar's tools.
    const auto clickButton = [&](const QString &name) {
        auto *button = capture->findChild<QToolButton *>(name);
        QVERIFY2(button && button->isVisible(), qPrintable(name));
        xdotool(QStringList{u"mousemove"_s} + at(button) + QStringList{u"click"_s, u"1"_s});
    };
    clickButton(u"rectangle_"_s);
    QTRY_COMPARE(toolbar->tool(), int(Annotation::Rectangle));
    xdrag(QPoint(120, 120), QPoint(180, 170));
    QTRY_COMPARE(capture->annotations().annotations().size(), 1);
    clickButton(u"arrow_"_s);
    QTRY_COMPARE(toolbar->tool(), int(Annotation::Arrow));
    xdrag(QPoint(200, 130), QPoint(280, 220));
    QTRY_COMPARE(capture->annotations().annotations().size(), 2);
    QCOMPARE(capture->annotations().annotations().at(0).points, (QList<QPointF>{{20, 20}, {80, 70}}));
    QCOMPARE(capture->annotations().annotations().at(1).points, (QList<QPointF>{{100, 30}, {180, 120}}));
    xdotool(QStringList{u"mousemove"_s} + at(QPoint(330, 200)));
    QTest::qWait(300);
    saveShot(u"capture_annotations_toolbar.png"_s);

    clickButton(u"copy_"_s);
    QTRY_VERIFY(QGuiApplication::clipboard()->ownsClipboard());

    const QByteArray targets = run(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-t"_s, u"TARGETS"_s, u"-o"_s});
    QVERIFY2(targets.contains("image/png"), targets.constData());
    const QByteArray png = run(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-t"_s, u"image/png"_s, u"-o"_s});
    QImage copied;
    QVERIFY(copied.loadFromData(png, "PNG"));
    QCOMPARE(copied.size(), pixels);
    copied = copied.convertToFormat(QImage::Format_RGB32);
    const QRgb ink = CaptureToolbar::palette().first().rgb();
    const auto pixel = [&](const QPoint &logical) { return copied.pixel(logical * m_ratio) | 0xff000000; };
    // The rectangle's left edge and the middle of the arrow's shaft carry the ink...
    QCOMPARE(pixel(QPoint(20, 45)), ink);
    QCOMPARE(pixel(QPoint(80, 45)), ink);
    QCOMPARE(pixel(QPoint(140, 75)), ink);
    // ...inside the rectangle and beside the arrow the desktop shows as it was.
    QImage desktop = capture->screenshot().toImage().copy(QRect(QPoint(100, 100) * m_ratio, pixels));
    desktop = desktop.convertToFormat(QImage::Format_RGB32);
    for (const QPoint &p : {QPoint(50, 45), QPoint(150, 40), QPoint(10, 140)})
        QCOMPARE(pixel(p), desktop.pixel(p * m_ratio) | 0xff000000);
    // All of it is the picture the overlay hands out: the clipboard carries pixels only.
    QImage expected = capture->selectedPixmap().toImage().convertToFormat(QImage::Format_RGB32);
    expected.setDevicePixelRatio(1);
    QCOMPARE(copied, expected);
    QVERIFY(copied.save(QDir(m_output).filePath(u"clipboard.png"_s)));

    // Pinned: the overlay closes and the marked picture stays where it was taken.
    clickButton(u"pin_"_s);
    QTRY_VERIFY_WITH_TIMEOUT(capture.isNull(), 5000);
    QCOMPARE(PinWindow::openPins().size(), 1);
    QPointer<PinWindow> pin = PinWindow::openPins().first();
    QVERIFY(QTest::qWaitForWindowExposed(pin.data()));
    QTRY_COMPARE(pin->mapToGlobal(pin->pictureRect().topLeft()), QPoint(100, 100));
    xdotool(QStringList{u"mousemove"_s} + at(QPoint(600, 500)));
    QTest::qWait(300);
    saveShot(u"capture_pin.png"_s);
    QImage onScreen = QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(
        QRect(QPoint(100, 100) * m_ratio, pixels)).convertToFormat(QImage::Format_RGB32);
    onScreen.setDevicePixelRatio(1);
    QCOMPARE(onScreen, expected);
    // A double click closes it.
    xdotool(QStringList{u"mousemove"_s} + at(QPoint(150, 200)) + QStringList{u"click"_s, u"--repeat"_s, u"2"_s, u"1"_s});
    QTRY_VERIFY_WITH_TIMEOUT(pin.isNull(), 5000);
    QVERIFY(PinWindow::openPins().isEmpty());

    // The overlay keeps the keyboard: Escape closes it and the main window deletes it.
    xdotool(QStringList{u"mousemove"_s} + at(screenCut) + QStringList{u"click"_s, u"1"_s});
    QTRY_VERIFY_WITH_TIMEOUT(overlay() != nullptr, 5000);
    capture = overlay();
    QVERIFY(QTest::qWaitForWindowExposed(capture.data()));
    QTest::qWait(200);
    xdotool({u"key"_s, u"Escape"_s});
    QTRY_VERIFY_WITH_TIMEOUT(capture.isNull(), 5000);
    QVERIFY(main.isVisible());
}

QPA_TEST_MAIN(TestCaptureEndToEnd)
#include "tst_capture_e2e.moc"

// Tests of the capture overlay: selection, toolbar, copy and save, and the desktop picture.
#include "CaptureTestSupport.h"
#include "DesktopGrab.h"
#include "FakeNetworkAccessManager.h"
#include "FileDialogs.h"
#include "MainDialog.h"
#include "MyMessageBox.h"
#include "ScreenCaptureDialog.h"
#include "TestMain.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QImageReader>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <QPointer>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

QPixmap patternShot(const QSize &pixels, qreal ratio = 1)
{
    QPixmap pixmap = QPixmap::fromImage(patternImage(pixels));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

std::unique_ptr<ScreenCaptureDialog> overlay(const QSize &logical = QSize(800, 600), qreal ratio = 1)
{
    const QSize pixels(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    const QRect area(QPoint(0, 0), logical);
    return std::make_unique<ScreenCaptureDialog>(patternShot(pixels, ratio), area, QList<QRect>{area});
}

QWidget *toolbarOf(ScreenCaptureDialog &d)
{
    return d.findChild<QWidget *>(u"toolbar_"_s);
}

QString sizeText(ScreenCaptureDialog &d)
{
    return d.findChild<QLabel *>(u"size_"_s)->text();
}

} // namespace

class TestCapture : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void form();
    void selectionFromPoints_data();
    void selectionFromPoints();
    void dragSelects_data();
    void dragSelects();
    void noSelection_data();
    void noSelection();
    void toolbarPlacement_data();
    void toolbarPlacement();
    void toolbarOnTheSelectionsScreen();
    void onePressAtATime();
    void rightRelease();
    void rightReleaseWhileSelecting();
    void outlinePainted();
    void copyIsPixelExact_data();
    void copyIsPixelExact();
    void copyWithoutSelection();
    void suggestedFileName_data();
    void suggestedFileName();
    void suggestedFolder();
    void save_data();
    void save();
    void saveCancelledKeepsOverlay();
    void saveIntoReadOnlyFolder_data();
    void saveIntoReadOnlyFolder();
    void saveKeepsOldFileWhenWriteFails();
    void doubleClickCopiesSavesAndCloses_data();
    void doubleClickCopiesSavesAndCloses();
    void escapeAndCloseButton_data();
    void escapeAndCloseButton();
    void composeScreens_data();
    void composeScreens();
    void toPixelsTiles();
    void grabCoversDesktop();
    void grabCoversEveryScreen();
    void oneOverlayFromTheMainWindow();

private:
    QString m_answer;
    QString m_answerFilter;
    QStringList m_asked;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCapture::init()
{
    m_answer.clear();
    m_answerFilter.clear();
    m_asked.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    FileDialogs::setAnswererForTest(
        [this](QWidget *, const QString &caption, const QString &suggested, const QString &filter,
               QString *selectedFilter) {
            m_asked << caption << suggested << filter;
            if (selectedFilter)
                *selectedFilter = m_answerFilter;
            return m_answer;
        });
    QGuiApplication::clipboard()->clear();
}

void TestCapture::cleanup()
{
    FileDialogs::setAnswererForTest(nullptr);
}

void TestCapture::form()
{
    auto d = overlay();
    QCOMPARE(d->objectName(), u"ScreenCaptureDialog"_s);
    QCOMPARE(d->windowTitle(), u"screen_capture_widget"_s);
    QVERIFY(d->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
    QCOMPARE(d->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Idle));
    QVERIFY(d->selection().isNull());
    QWidget *bar = toolbarOf(*d);
    QVERIFY(bar && bar->isHidden());
    QCOMPARE(bar->size(), QSize(162, 26));
    QCOMPARE(bar->styleSheet().count(u'\n'), 2);

    struct Button { QString name; QString tip; QSize icon; };
    const QList<Button> buttons = {
        {u"copy_"_s, u"复制到剪切板"_s, QSize(20, 17)},
        {u"save_"_s, u"保存文件"_s, QSize(15, 17)},
        {u"share_"_s, u"分享到微博"_s, QSize(24, 24)},
        {u"close_"_s, u"关闭截图"_s, QSize(16, 16)},
    };
    for (const Button &b : buttons) {
        auto *button = d->findChild<QToolButton *>(b.name);
        QVERIFY2(button, qPrintable(b.name));
        QCOMPARE(button->toolTip(), b.tip);
        QCOMPARE(button->iconSize(), b.icon);
        QCOMPARE(button->size(), QSize(24, 24));
        QVERIFY(button->autoRaise());
        QVERIFY(button->text().isEmpty());
    }
    QCOMPARE(d->findChild<QLabel *>(u"size_"_s)->font().pointSize(), 9);
}

void TestCapture::selectionFromPoints_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("current");
    QTest::addColumn<QRect>("selection");
    QTest::addColumn<bool>("ok");
    QTest::newRow("down right") << QPoint(100, 100) << QPoint(300, 250) << QRect(100, 100, 200, 150) << true;
    QTest::newRow("up left") << QPoint(300, 250) << QPoint(100, 100) << QRect(100, 100, 200, 150) << true;
    QTest::newRow("up right") << QPoint(100, 250) << QPoint(300, 100) << QRect(100, 100, 200, 150) << true;
    QTest::newRow("down left") << QPoint(300, 100) << QPoint(100, 250) << QRect(100, 100, 200, 150) << true;
    QTest::newRow("one pixel") << QPoint(5, 5) << QPoint(6, 6) << QRect(5, 5, 1, 1) << true;
    QTest::newRow("zero width") << QPoint(100, 100) << QPoint(100, 250) << QRect(100, 100, 0, 150) << false;
    QTest::newRow("zero height") << QPoint(100, 100) << QPoint(300, 100) << QRect(100, 100, 200, 0) << false;
    QTest::newRow("no move") << QPoint(100, 100) << QPoint(100, 100) << QRect(100, 100, 0, 0) << false;
}

void TestCapture::selectionFromPoints()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, current);
    QFETCH(QRect, selection);
    QFETCH(bool, ok);
    bool actualOk = !ok;
    const QRect actual = ScreenCaptureDialog::selectionFromPoints(press, current, &actualOk);
    QCOMPARE(actualOk, ok);
    QCOMPARE(actual.topLeft(), selection.topLeft());
    QCOMPARE(actual.width(), selection.width());
    QCOMPARE(actual.height(), selection.height());
}

void TestCapture::dragSelects_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("forwards") << QPoint(100, 100) << QPoint(300, 250);
    QTest::newRow("backwards") << QPoint(300, 250) << QPoint(100, 100);
}

void TestCapture::dragSelects()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    auto d = overlay();
    d->show();
    drag(d.get(), from, to);
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Selected));
    QCOMPARE(d->selection(), QRect(QPoint(100, 100), QPoint(299, 249)));
    QCOMPARE(sizeText(*d), u"200×150"_s);
    QVERIFY(toolbarOf(*d)->isVisible());
    QVERIFY(d->findChild<QToolButton *>(u"copy_"_s)->isVisible());
    QVERIFY(!d->findChild<QToolButton *>(u"share_"_s)->isVisible());
    QCOMPARE(d->cursor().shape(), Qt::ArrowCursor);
}

void TestCapture::noSelection_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("click") << QPoint(100, 100) << QPoint(100, 100);
    QTest::newRow("zero width") << QPoint(100, 100) << QPoint(100, 300);
    QTest::newRow("zero height") << QPoint(100, 100) << QPoint(400, 100);
}

void TestCapture::noSelection()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    auto d = overlay();
    d->show();
    drag(d.get(), from, to);
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Idle));
    QVERIFY(!d->hasSelection());
    QVERIFY(toolbarOf(*d)->isHidden());
    QVERIFY(d->selectedPixmap().isNull());
    // Idle again: the next drag selects.
    drag(d.get(), QPoint(10, 10), QPoint(20, 30));
    QCOMPARE(d->selection(), QRect(10, 10, 10, 20));
}

void TestCapture::toolbarPlacement_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("position");
    // The picture is 800x600 and the toolbar 26 high; x -1 stands for "its right edge on the screen's".
    QTest::newRow("below") << QPoint(100, 100) << QPoint(300, 250) << QPoint(100, 250);
    QTest::newRow("just fits below") << QPoint(100, 100) << QPoint(300, 574) << QPoint(100, 574);
    QTest::newRow("above when ending at the bottom") << QPoint(100, 300) << QPoint(300, 600) << QPoint(100, 274);
    QTest::newRow("just fits above") << QPoint(100, 26) << QPoint(300, 580) << QPoint(100, 0);
    QTest::newRow("inside when full height") << QPoint(100, 0) << QPoint(700, 600) << QPoint(100, 574);
    QTest::newRow("narrow full height goes beside") << QPoint(100, 0) << QPoint(150, 600) << QPoint(149, 574);
    QTest::newRow("kept on screen at the right edge") << QPoint(700, 100) << QPoint(790, 200) << QPoint(-1, 200);
}

void TestCapture::toolbarPlacement()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QPoint, position);
    auto d = overlay();
    d->show();
    drag(d.get(), from, to);
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Selected));
    QWidget *bar = toolbarOf(*d);
    if (position.x() < 0)
        position.setX(800 - bar->width());
    QCOMPARE(bar->pos(), position);
    QCOMPARE(bar->height(), 26);
    // The tool row makes it wider than a narrow selection; it still fits on the screen.
    QVERIFY(QRect(0, 0, 800, 600).contains(bar->geometry()));
}

void TestCapture::toolbarOnTheSelectionsScreen()
{
    // A small screen left of a taller one: below the left screen there is no screen at all.
    const QRect left(0, 0, 800, 600);
    const QRect right(800, 0, 1280, 1024);
    const QRect area = left | right;
    ScreenCaptureDialog d(patternShot(area.size()), area, {left, right});
    d.show();
    drag(&d, QPoint(100, 400), QPoint(300, 600));
    QCOMPARE(toolbarOf(d)->pos(), QPoint(100, 374));
    drag(&d, QPoint(0, 0), QPoint(0, 0)); // ignored while selected
    mouse(&d, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton);
    drag(&d, QPoint(900, 400), QPoint(1000, 600));
    QCOMPARE(toolbarOf(d)->pos(), QPoint(900, 600));
}

void TestCapture::onePressAtATime()
{
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    drag(d.get(), QPoint(400, 400), QPoint(500, 500));
    QCOMPARE(d->selection(), QRect(QPoint(100, 100), QPoint(299, 249)));
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Selected));
}

void TestCapture::rightRelease()
{
    auto d = overlay();
    d->show();
    QSignalSpy finished(d.get(), &QDialog::finished);
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(200, 200), Qt::RightButton);
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Idle));
    QVERIFY(!d->hasSelection());
    QVERIFY(toolbarOf(*d)->isHidden());
    QCOMPARE(d->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(finished.size(), 0);
    QVERIFY(d->isVisible());

    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), int(QDialog::Rejected));
    QVERIFY(!d->isVisible());
}

void TestCapture::rightReleaseWhileSelecting()
{
    auto d = overlay();
    d->show();
    QSignalSpy finished(d.get(), &QDialog::finished);
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    mouse(d.get(), QEvent::MouseMove, QPoint(200, 200), Qt::NoButton);
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Selecting));
    QCOMPARE(finished.size(), 0);
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(250, 260), Qt::LeftButton);
    QCOMPARE(d->selection(), QRect(100, 100, 150, 160));
}

void TestCapture::outlinePainted()
{
    const qreal r = QGuiApplication::primaryScreen()->devicePixelRatio();
    auto d = overlay(QSize(800, 600), r);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    toolbarOf(*d)->hide();
    const QImage shown = d->grab().toImage();
    const QImage picture = d->screenshot().toImage();
    QCOMPARE(shown.size(), picture.size());
    const auto px = [r](int x, int y) { return QPoint(qRound(x * r), qRound(y * r)); };
    const QRgb red = qRgb(255, 0, 0);
    QCOMPARE(shown.pixel(px(100, 100)), red);
    QCOMPARE(shown.pixel(px(200, 100)), red);
    QCOMPARE(shown.pixel(px(100, 200)), red);
    // Inside the outline the desktop shows unchanged, pixel for pixel; outside it is veiled.
    for (const QPoint &p : {px(200, 200), px(150, 150), px(200, 200) + QPoint(1, 1)})
        QCOMPARE(shown.pixel(p), picture.pixel(p));
    for (const QPoint &p : {px(50, 50), px(500, 400)})
        QVERIFY(qGray(shown.pixel(p)) < qGray(picture.pixel(p)));
}

void TestCapture::copyIsPixelExact_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QRect>("pixels");
    // The drag is (100, 100) to (300, 250) in logical coordinates.
    QTest::newRow("ratio 1") << 1.0 << QRect(100, 100, 200, 150);
    QTest::newRow("ratio 2") << 2.0 << QRect(200, 200, 400, 300);
    QTest::newRow("ratio 1.5") << 1.5 << QRect(150, 150, 300, 225);
    QTest::newRow("ratio 1.25") << 1.25 << QRect(125, 125, 250, 188);
}

void TestCapture::copyIsPixelExact()
{
    QFETCH(qreal, ratio);
    QFETCH(QRect, pixels);
    auto d = overlay(QSize(800, 600), ratio);
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    d->findChild<QToolButton *>(u"copy_"_s)->click();
    const QImage copied = QGuiApplication::clipboard()->image();
    const QImage expected = d->screenshot().toImage().copy(pixels);
    QCOMPARE(copied.size(), pixels.size());
    QCOMPARE(copied.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(sizeText(*d), u"%1×%2"_s.arg(pixels.width()).arg(pixels.height()));
    QVERIFY(d->isVisible());
}

void TestCapture::copyWithoutSelection()
{
    QGuiApplication::clipboard()->setText(u"unchanged"_s);
    auto d = overlay();
    d->onCopy();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"unchanged"_s);
}

void TestCapture::suggestedFileName_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("name");
    QTest::newRow("single-digit ms") << QDateTime(QDate(2014, 7, 8), QTime(20, 15, 33, 5)) << u"2014-07-08 20-15-33-5.png"_s;
    QTest::newRow("two-digit ms") << QDateTime(QDate(2014, 7, 8), QTime(20, 15, 33, 50)) << u"2014-07-08 20-15-33-50.png"_s;
    QTest::newRow("three-digit ms") << QDateTime(QDate(2014, 7, 8), QTime(20, 15, 33, 123)) << u"2014-07-08 20-15-33-123.png"_s;
    QTest::newRow("zero ms") << QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 0)) << u"2024-01-02 03-04-05-0.png"_s;
    QTest::newRow("end of year") << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59, 999)) << u"2025-12-31 23-59-59-999.png"_s;
}

void TestCapture::suggestedFileName()
{
    QFETCH(QDateTime, time);
    QFETCH(QString, name);
    QCOMPARE(ScreenCaptureDialog::suggestedFileName(time), name);
}

void TestCapture::suggestedFolder()
{
#ifdef Q_OS_WIN
    QSKIP("the test empties the Desktop and Pictures folders, which are the user's own here");
#endif
    const QDateTime time(QDate(2014, 7, 8), QTime(20, 15, 33, 5));
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir(desktop).removeRecursively();
    QDir(pictures).removeRecursively();

    // Neither folder: the home folder, still a real absolute path.
    QString path = ScreenCaptureDialog::suggestedFilePath(time);
    QCOMPARE(path, QDir::home().filePath(u"2014-07-08 20-15-33-5.png"_s));

    QVERIFY(QDir().mkpath(pictures));
    QCOMPARE(ScreenCaptureDialog::suggestedFilePath(time), QDir(pictures).filePath(u"2014-07-08 20-15-33-5.png"_s));

    QVERIFY(QDir().mkpath(desktop));
    path = ScreenCaptureDialog::suggestedFilePath(time);
    QCOMPARE(path, QDir(desktop).filePath(u"2014-07-08 20-15-33-5.png"_s));
    QVERIFY(QFileInfo(path).isAbsolute());
    QVERIFY(QFileInfo(QFileInfo(path).path()).isDir());

    // The save dialog is offered that path, its caption and the three image types.
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(1, 1), QPoint(11, 11));
    d->onSave();
    QCOMPARE(m_asked.size(), 3);
    QCOMPARE(m_asked.at(0), u"保存图片"_s);
    QVERIFY(m_asked.at(1).startsWith(desktop + u'/'));
    QVERIFY(QRegularExpression(u"/\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d-\\d{1,3}\\.png$"_s).match(m_asked.at(1)).hasMatch());
    QCOMPARE(m_asked.at(2), u"图像文件 (*.png);;图像文件 (*.jpg);;图像文件 (*.bmp)"_s);
}

void TestCapture::save_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << u"shot.png"_s << u"图像文件 (*.png)"_s << u"shot.png"_s << QByteArray("png");
    QTest::newRow("jpg") << u"shot.jpg"_s << u"图像文件 (*.jpg)"_s << u"shot.jpg"_s << QByteArray("jpeg");
    QTest::newRow("bmp") << u"shot.bmp"_s << u"图像文件 (*.bmp)"_s << u"shot.bmp"_s << QByteArray("bmp");
    QTest::newRow("upper-case suffix") << u"SHOT.PNG"_s << u"图像文件 (*.png)"_s << u"SHOT.PNG"_s << QByteArray("png");
    QTest::newRow("suffix from the filter") << u"shot"_s << u"图像文件 (*.jpg)"_s << u"shot.jpg"_s << QByteArray("jpeg");
    QTest::newRow("no filter reported") << u"shot"_s << QString() << u"shot.png"_s << QByteArray("png");
    QTest::newRow("suffix wins over filter") << u"shot.bmp"_s << u"图像文件 (*.png)"_s << u"shot.bmp"_s << QByteArray("bmp");
    QTest::newRow("not an image type") << u"shot.txt"_s << u"图像文件 (*.png)"_s << QString() << QByteArray();
    QTest::newRow("chinese name") << u"截图 一.png"_s << u"图像文件 (*.png)"_s << u"截图 一.png"_s << QByteArray("png");
}

void TestCapture::save()
{
    QFETCH(QString, answer);
    QFETCH(QString, filter);
    QFETCH(QString, written);
    QFETCH(QByteArray, format);
    m_answer = m_dir->filePath(answer);
    m_answerFilter = filter;
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    d->findChild<QToolButton *>(u"save_"_s)->click();
    QVERIFY(d->isVisible());
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Selected));
    const QStringList files = QDir(m_dir->path()).entryList(QDir::Files);
    if (written.isEmpty()) {
        QVERIFY2(files.isEmpty(), qPrintable(files.join(u", ")));
        return;
    }
    QCOMPARE(files, QStringList{written});
    QImageReader reader(m_dir->filePath(written));
    QCOMPARE(reader.format(), format);
    const QImage saved = reader.read();
    QCOMPARE(saved.size(), QSize(200, 150));
    if (format != "jpeg") {
        const QImage expected = d->screenshot().toImage().copy(100, 100, 200, 150);
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    }
}

void TestCapture::saveCancelledKeepsOverlay()
{
    auto d = overlay();
    d->show();
    QSignalSpy finished(d.get(), &QDialog::finished);
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    m_answer.clear();
    d->findChild<QToolButton *>(u"save_"_s)->click();
    QCOMPARE(m_asked.size(), 3);
    QVERIFY(QDir(m_dir->path()).isEmpty());
    QVERIFY(d->isVisible());
    QCOMPARE(finished.size(), 0);
    QCOMPARE(d->selection(), QRect(QPoint(100, 100), QPoint(299, 249)));
    QVERIFY(toolbarOf(*d)->isVisible());
}

void TestCapture::saveIntoReadOnlyFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("create");
    // Fails for root too, unlike a folder without write permission: names end at 255 bytes.
    QTest::newRow("name too long") << u"long"_s << QString(300, u'p') + u".png"_s << true;
    QTest::newRow("missing folder") << u"missing/deeper"_s << u"shot.png"_s << false;
    QTest::newRow("kernel folder") << u"/proc"_s << u"shot.png"_s << false;
}

void TestCapture::saveIntoReadOnlyFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(bool, create);
    if (QDir::isRelativePath(folder))
        folder = m_dir->filePath(folder);
    else if (!QFileInfo(folder).isDir())
        QSKIP("no such folder here");
    if (create)
        QVERIFY(QDir().mkpath(folder));
    m_answer = folder + u'/' + name;
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    d->findChild<QToolButton *>(u"save_"_s)->click();
    QVERIFY(!QFile::exists(m_answer));
    QVERIFY(d->isVisible());
    QVERIFY(!d->saveSelection(m_answer));
    if (create)
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
}

void TestCapture::saveKeepsOldFileWhenWriteFails()
{
    // Nothing is selected, so nothing may replace the file that is already there.
    const QString path = m_dir->filePath(u"old.png"_s);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("previous picture");
    old.close();
    auto d = overlay();
    QVERIFY(!d->saveSelection(path));
    QVERIFY(!d->saveSelection(m_dir->filePath(u"x.unknown"_s)));
    QFile check(path);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("previous picture"));
}

void TestCapture::doubleClickCopiesSavesAndCloses_data()
{
    QTest::addColumn<bool>("cancelSave");
    QTest::newRow("saved") << false;
    QTest::newRow("save cancelled") << true;
}

void TestCapture::doubleClickCopiesSavesAndCloses()
{
    QFETCH(bool, cancelSave);
    m_answer = cancelSave ? QString() : m_dir->filePath(u"double.png"_s);
    auto d = overlay();
    d->show();
    QSignalSpy finished(d.get(), &QDialog::finished);
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(150, 150), Qt::LeftButton);
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(150, 150), Qt::LeftButton);
    mouse(d.get(), QEvent::MouseButtonDblClick, QPoint(150, 150), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(200, 150));
    QCOMPARE(QFile::exists(m_dir->filePath(u"double.png"_s)), !cancelSave);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Idle));
    QVERIFY(!d->hasSelection());
}

void TestCapture::escapeAndCloseButton_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("escape key") << true;
    QTest::newRow("close button") << false;
}

void TestCapture::escapeAndCloseButton()
{
    QFETCH(bool, escape);
    auto d = overlay();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    QSignalSpy finished(d.get(), &QDialog::finished);
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    if (escape)
        QTest::keyClick(d.get(), Qt::Key_Escape);
    else
        d->findChild<QToolButton *>(u"close_"_s)->click();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), int(QDialog::Rejected));
    QVERIFY(!d->isVisible());
}

void TestCapture::composeScreens_data()
{
    QTest::addColumn<QRect>("first");
    QTest::addColumn<qreal>("firstRatio");
    QTest::addColumn<QRect>("second");
    QTest::addColumn<qreal>("secondRatio");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("side by side") << QRect(0, 0, 800, 600) << 1.0 << QRect(800, 0, 640, 480) << 1.0 << QSize(1440, 600) << 1.0;
    QTest::newRow("stacked") << QRect(0, 0, 800, 600) << 1.0 << QRect(0, 600, 800, 600) << 1.0 << QSize(800, 1200) << 1.0;
    QTest::newRow("both hidpi") << QRect(0, 0, 800, 600) << 2.0 << QRect(800, 0, 800, 600) << 2.0 << QSize(3200, 1200) << 2.0;
    QTest::newRow("mixed ratios") << QRect(0, 0, 800, 600) << 1.0 << QRect(800, 0, 640, 480) << 2.0 << QSize(2880, 1200) << 2.0;
    QTest::newRow("left of the origin") << QRect(-640, 0, 640, 480) << 1.0 << QRect(0, 0, 800, 600) << 1.0 << QSize(1440, 600) << 1.0;
}

void TestCapture::composeScreens()
{
    QFETCH(QRect, first);
    QFETCH(qreal, firstRatio);
    QFETCH(QRect, second);
    QFETCH(qreal, secondRatio);
    QFETCH(QSize, pixels);
    QFETCH(qreal, ratio);
    const auto shot = [](const QRect &geometry, qreal r, QColor color) {
        QPixmap p(geometry.size() * r);
        p.fill(color);
        p.setDevicePixelRatio(r);
        return DesktopGrab::ScreenShot{geometry, p};
    };
    const QRect area = first | second;
    const QPixmap joined = DesktopGrab::compose({shot(first, firstRatio, Qt::red), shot(second, secondRatio, Qt::blue)}, area);
    QCOMPARE(joined.size(), pixels);
    QCOMPARE(joined.devicePixelRatio(), ratio);
    QCOMPARE(joined.deviceIndependentSize().toSize(), area.size());
    const QImage image = joined.toImage();
    const auto at = [&](const QPoint &logical) {
        return QColor(image.pixel(DesktopGrab::toPixels(QRect(logical - area.topLeft(), QSize(1, 1)), ratio).topLeft()));
    };
    QCOMPARE(at(first.center()), QColor(Qt::red));
    QCOMPARE(at(second.center()), QColor(Qt::blue));
    QCOMPARE(at(second.bottomRight()), QColor(Qt::blue));
    // Where no screen is (below the smaller one) the picture is black.
    const QPoint uncovered = second.bottomLeft() + QPoint(0, 1);
    if (area.contains(uncovered) && !first.contains(uncovered))
        QCOMPARE(at(uncovered), QColor(Qt::black));
}

void TestCapture::toPixelsTiles()
{
    // Neighbouring logical rectangles map to pixel rectangles that neither overlap nor leave a gap.
    for (qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
        for (int x = 0; x < 50; ++x) {
            const QRect a = DesktopGrab::toPixels(QRect(x, 0, 7, 3), ratio);
            const QRect b = DesktopGrab::toPixels(QRect(x + 7, 0, 5, 3), ratio);
            QCOMPARE(a.right() + 1, b.left());
            QCOMPARE(a.width() + b.width(), DesktopGrab::toPixels(QRect(x, 0, 12, 3), ratio).width());
        }
    }
}

void TestCapture::grabCoversDesktop()
{
    ScreenCaptureDialog d;
    QCOMPARE(d.geometry(), DesktopGrab::virtualGeometry());
    QVERIFY(!d.screenshot().isNull());
    QCOMPARE(d.screenshot().deviceIndependentSize().toSize(), DesktopGrab::virtualGeometry().size());
    QVERIFY(d.windowState().testFlag(Qt::WindowFullScreen) == (QGuiApplication::screens().size() == 1));
}

// Runs with two screens side by side (see the capture_two_screens tests); skipped on one screen.
void TestCapture::grabCoversEveryScreen()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        QSKIP("one screen only");
    qreal ratio = 1;
    QRect desktop;
    for (QScreen *screen : screens) {
        ratio = qMax(ratio, screen->devicePixelRatio());
        desktop |= screen->geometry();
    }
    ScreenCaptureDialog d;
    QCOMPARE(d.geometry(), desktop);
    QVERIFY(!d.windowState().testFlag(Qt::WindowFullScreen));
    QCOMPARE(d.screenshot().devicePixelRatio(), ratio);
    QCOMPARE(d.screenshot().size(), desktop.size() * ratio);

    // The left screen is lower than the right one: its toolbar goes above a selection that
    // reaches its bottom, not into the space below it where no screen is.
    const QRect left = screens.first()->geometry().translated(-desktop.topLeft());
    d.show();
    drag(&d, QPoint(100, left.bottom() - 99), QPoint(300, left.bottom() + 1));
    QCOMPARE(d.selection().bottom(), left.bottom());
    QCOMPARE(toolbarOf(d)->geometry().bottom(), left.bottom() - 100);
    QCOMPARE(d.selectedPixmap().size(), QSize(200, 100) * ratio);
}

namespace {
QList<ScreenCaptureDialog *> overlays()
{
    QList<ScreenCaptureDialog *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<ScreenCaptureDialog *>(w))
            found.append(d);
    }
    return found;
}
} // namespace

void TestCapture::oneOverlayFromTheMainWindow()
{
    MyMessageBox::setAutoAnswer(true);
    FakeNetworkAccessManager *net = installFakeNetwork();
    MainDialog main;
    main.show();
    auto *screenCut = main.findChild<QToolButton *>(u"btnScreenCut_"_s);
    QVERIFY(overlays().isEmpty());

    screenCut->click();
    QCOMPARE(overlays().size(), 1);
    QPointer<ScreenCaptureDialog> first = overlays().first();
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    QVERIFY(main.isVisible());
    QCOMPARE(net->requestCount(u"http://www.quorvik.cn/stat.aspx?action=screencut"_s), 1);

    // A second command while the overlay is open shows the same one.
    screenCut->click();
    QCOMPARE(overlays().size(), 1);
    QCOMPARE(overlays().first(), first.data());

    // Once it finishes it is deleted, and the next command photographs the screen afresh.
    QTest::keyClick(first.data(), Qt::Key_Escape);
    QTRY_VERIFY(first.isNull());
    QVERIFY(overlays().isEmpty());
    screenCut->click();
    QCOMPARE(overlays().size(), 1);
    QPointer<ScreenCaptureDialog> second = overlays().first();
    mouse(second.data(), QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton);
    QTRY_VERIFY(second.isNull());
}

QPA_TEST_MAIN(TestCapture)
#include "tst_capture.moc"

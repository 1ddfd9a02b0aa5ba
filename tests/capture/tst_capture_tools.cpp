// Tests of the capture tools: annotations painted by pixels at device pixel ratios 1 and 2, undo and
// redo, adjusting the selection, the magnifier, text typed through an input method, and pins.
#include "Annotation.h"
#include "CaptureTestSupport.h"
#include "AnnotationModel.h"
#include "CaptureToolbar.h"
#include "ImageFile.h"
#include "Magnifier.h"
#include "PinWindow.h"
#include "ScreenCaptureDialog.h"
#include "SelectionGeometry.h"
#include "TestMain.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QRgb kBase = qRgb(128, 128, 128);
const QColor kInk(230, 30, 30);

QImage flat(const QSize &logical, qreal ratio, QRgb color = kBase)
{
    QImage image(logical * ratio, QImage::Format_RGB32);
    image.fill(color);
    image.setDevicePixelRatio(ratio);
    return image;
}

std::unique_ptr<ScreenCaptureDialog> overlay(const QSize &logical = QSize(800, 600))
{
    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    QPixmap shot = QPixmap::fromImage(patternImage(logical * ratio, ratio));
    shot.setDevicePixelRatio(ratio);
    const QRect area(QPoint(0, 0), logical);
    return std::make_unique<ScreenCaptureDialog>(shot, area, QList<QRect>{area});
}

QToolButton *button(QWidget *w, const QString &name)
{
    auto *b = w->findChild<QToolButton *>(name);
    if (!b)
        qWarning("no button %s", qPrintable(name));
    return b;
}

QRgb at(const QImage &image, const QPointF &logical)
{
    const qreal r = image.devicePixelRatio();
    return image.pixel(int(logical.x() * r), int(logical.y() * r)) | 0xff000000;
}

bool between(QRgb value, QRgb a, QRgb b)
{
    const auto inside = [](int v, int x, int y) { return v > qMin(x, y) && v < qMax(x, y); };
    return inside(qRed(value), qRed(a), qRed(b)) || inside(qGreen(value), qGreen(a), qGreen(b));
}

// The number of pixels of exactly colour on row y (physical) between the physical columns from and to.
int run(const QImage &image, int y, int from, int to, QRgb colour)
{
    int n = 0;
    for (int x = from; x < to; ++x)
        n += (image.pixel(x, y) | 0xff000000) == colour;
    return n;
}

} // namespace

class TestCaptureTools : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void annotationPixels_data();
    void annotationPixels();
    void linesAreCrisp_data();
    void linesAreCrisp();
    void highlighterBlends_data();
    void highlighterBlends();
    void mosaicAveragesBlocks_data();
    void mosaicAveragesBlocks();
    void textPaints_data();
    void textPaints();
    void nothingOutsideThePicture();
    void emptyAnnotationsAreDropped();
    void undoRedo();
    void markersCount();
    void drawWithTheMouse();
    void annotationsClippedToTheSelection();
    void annotationsInTheCopy();
    void nudging_data();
    void nudging();
    void handles_data();
    void handles();
    void dragHandleAndMove();
    void dimmingAndHint();
    void magnifierColour_data();
    void magnifierColour();
    void magnifierStaysOnScreen_data();
    void magnifierStaysOnScreen();
    void screenRemovedWhileUp();
    void textThroughInputMethod();
    void emptyTextAddsNothing();
    void pinShowsTheCapturedPixels();
    void pinFromTheOverlay();
    void pinZoomAndClose();
    void pinClosedWithItsMenuOpen();
    void pngIsCompressed();

private:
    qreal m_ratio = 1;
};

void TestCaptureTools::init()
{
    m_ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    QGuiApplication::clipboard()->clear();
}

void TestCaptureTools::annotationPixels_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<qreal>("ratio");
    // Where the ink must be, and where the picture must show untouched.
    QTest::addColumn<QList<QPointF>>("ink");
    QTest::addColumn<QList<QPointF>>("untouched");
    using P = QList<QPointF>;
    for (qreal ratio : {1.0, 2.0}) {
        const QByteArray r = ratio == 1 ? " @1x" : " @2x";
        QTest::newRow("rectangle" + r) << int(Annotation::Rectangle) << P{{20, 20}, {120, 100}} << ratio
                                       << P{{20, 60}, {120, 60}, {70, 20}, {70, 100}} << P{{70, 60}, {10, 60}, {130, 60}};
        QTest::newRow("ellipse" + r) << int(Annotation::Ellipse) << P{{20, 20}, {120, 100}} << ratio
                                     << P{{20, 60}, {120, 60}, {70, 20}, {70, 100}} << P{{70, 60}, {22, 22}, {118, 98}};
        QTest::newRow("arrow" + r) << int(Annotation::Arrow) << P{{20, 75}, {180, 75}} << ratio
                                   << P{{30, 75}, {100, 75}, {176, 75}, {170, 72}} << P{{100, 60}, {100, 90}, {10, 75}, {190, 75}};
        QTest::newRow("pen" + r) << int(Annotation::Pen) << P{{20, 20}, {100, 20}, {100, 100}} << ratio
                                 << P{{60, 20}, {100, 60}, {20, 20}} << P{{60, 60}, {60, 30}, {110, 60}};
        QTest::newRow("pen dot" + r) << int(Annotation::Pen) << P{{50, 50}} << ratio << P{{50, 50}} << P{{60, 50}};
        QTest::newRow("marker" + r) << int(Annotation::Marker) << P{{60, 60}} << ratio
                                    << P{{50, 60}, {70, 60}, {60, 50}} << P{{80, 60}, {60, 80}};
    }
}

void TestCaptureTools::annotationPixels()
{
    QFETCH(int, kind);
    QFETCH(QList<QPointF>, points);
    QFETCH(qreal, ratio);
    QFETCH(QList<QPointF>, ink);
    QFETCH(QList<QPointF>, untouched);
    Annotation a;
    a.kind = Annotation::Kind(kind);
    a.color = kInk;
    a.points = points;
    a.number = 1;
    const QImage picture = flat(QSize(200, 150), ratio);
    const QImage out = AnnotationPainter::render(picture, {a});
    QCOMPARE(out.size(), picture.size());
    QCOMPARE(out.devicePixelRatio(), ratio);
    for (const QPointF &p : ink)
        QVERIFY2(at(out, p) == kInk.rgb(), qPrintable(u"no ink at %1,%2"_s.arg(p.x()).arg(p.y())));
    for (const QPointF &p : untouched)
        QVERIFY2(at(out, p) == kBase, qPrintable(u"ink at %1,%2"_s.arg(p.x()).arg(p.y())));
    // The picture given stays as it was.
    QCOMPARE(picture.pixel(0, 0), kBase);
}

void TestCaptureTools::linesAreCrisp_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<qreal>("ratio");
    for (int size = 0; size < Annotation::kSizeCount; ++size) {
        QTest::addRow("size %d @1x", size) << size << 1.0;
        QTest::addRow("size %d @2x", size) << size << 2.0;
    }
}

void TestCaptureTools::linesAreCrisp()
{
    // The rectangle's left edge is drawn at the picture's resolution: at a ratio of 2 it is twice as
    // many full-ink pixels wide, not a blurred enlargement.
    QFETCH(int, size);
    QFETCH(qreal, ratio);
    Annotation a;
    a.color = kInk;
    a.size = size;
    a.points = {{40, 20}, {160, 120}};
    const QImage out = AnnotationPainter::render(flat(QSize(200, 150), ratio), {a});
    const int y = int(70 * ratio);
    const int width = int(AnnotationPainter::lineWidth(size) * ratio);
    QCOMPARE(run(out, y, 0, int(100 * ratio), kInk.rgb()), width);
    // No half-tone pixels beside the edge.
    QCOMPARE(run(out, y, 0, int(100 * ratio), kBase), int(100 * ratio) - width);
}

void TestCaptureTools::highlighterBlends_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("@1x") << 1.0;
    QTest::newRow("@2x") << 2.0;
}

void TestCaptureTools::highlighterBlends()
{
    // The picture shows through the ink; where the stroke crosses itself it is not darker.
    QFETCH(qreal, ratio);
    Annotation a;
    a.kind = Annotation::Highlighter;
    a.color = kInk;
    a.points = {{20, 75}, {180, 75}, {180, 30}, {100, 30}, {100, 120}};
    const QImage out = AnnotationPainter::render(flat(QSize(200, 150), ratio), {a});
    const QRgb once = at(out, QPointF(50, 75));
    QVERIFY(between(once, kBase, kInk.rgb()));
    QVERIFY(qRed(once) > qGreen(once));
    QCOMPARE(at(out, QPointF(100, 75)), once);
    QCOMPARE(at(out, QPointF(50, 100)), kBase);
}

void TestCaptureTools::mosaicAveragesBlocks_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("size");
    QTest::newRow("@1x medium") << 1.0 << 1;
    QTest::newRow("@2x medium") << 2.0 << 1;
    QTest::newRow("@2x thick") << 2.0 << 2;
}

void TestCaptureTools::mosaicAveragesBlocks()
{
    QFETCH(qreal, ratio);
    QFETCH(int, size);
    const QImage picture = patternImage(QSize(200, 150) * ratio, ratio);
    Annotation a;
    a.kind = Annotation::Mosaic;
    a.size = size;
    a.points = {{120, 100}, {20, 20}}; // drawn from the bottom right
    const QImage out = AnnotationPainter::render(picture, {a});
    const int block = int(AnnotationPainter::mosaicBlock(size) * ratio);
    const QPoint origin = QPoint(20, 20) * ratio;
    // The first block is one colour: the mean of the pixels it covers.
    qint64 red = 0, green = 0;
    for (int y = 0; y < block; ++y) {
        for (int x = 0; x < block; ++x) {
            const QRgb p = picture.pixel(origin + QPoint(x, y));
            red += qRed(p);
            green += qGreen(p);
            QCOMPARE(out.pixel(origin + QPoint(x, y)), out.pixel(origin));
        }
    }
    QCOMPARE(qRed(out.pixel(origin)), int(red / (block * block)));
    QCOMPARE(qGreen(out.pixel(origin)), int(green / (block * block)));
    QVERIFY(out.pixel(origin) != out.pixel(origin + QPoint(block, 0)));
    // Outside the area the picture is untouched.
    for (const QPoint &p : {QPoint(19, 60), QPoint(121, 60), QPoint(60, 19), QPoint(60, 101)})
        QCOMPARE(out.pixel(p * ratio), picture.pixel(p * ratio));
}

void TestCaptureTools::textPaints_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("@1x") << 1.0;
    QTest::newRow("@2x") << 2.0;
}

void TestCaptureTools::textPaints()
{
    QFETCH(qreal, ratio);
    Annotation a;
    a.kind = Annotation::Text;
    a.color = kInk;
    a.size = 2;
    a.text = u"截图 Ab\n第二行"_s;
    a.points = {{20, 20}};
    const QImage out = AnnotationPainter::render(flat(QSize(300, 150), ratio), {a});
    const int lineHeight = QFontMetrics(AnnotationPainter::textFont(2)).lineSpacing();
    int firstLine = 0, secondLine = 0, elsewhere = 0;
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            if ((out.pixel(x, y) | 0xff000000) == kBase)
                continue;
            const qreal ly = y / ratio;
            // Two pixels of slack for the glyphs' side bearings.
            if (x < 18 * ratio || ly < 18)
                ++elsewhere;
            else if (ly < 20 + lineHeight)
                ++firstLine;
            else
                ++secondLine;
        }
    }
    QVERIFY(firstLine > 50 * ratio * ratio);
    QVERIFY(secondLine > 50 * ratio * ratio);
    QCOMPARE(elsewhere, 0);
}

void TestCaptureTools::nothingOutsideThePicture()
{
    // Marks reaching beyond the picture are cut at its edge; the picture keeps its size.
    QList<Annotation> marks;
    for (int kind = 0; kind < Annotation::kKindCount; ++kind) {
        Annotation a;
        a.kind = Annotation::Kind(kind);
        a.points = {{-50, -40}, {500, 400}};
        a.text = u"外面"_s;
        a.number = 1;
        marks.append(a);
    }
    const QImage picture = flat(QSize(100, 80), 2);
    const QImage out = AnnotationPainter::render(picture, marks);
    QCOMPARE(out.size(), picture.size());
    QCOMPARE(out.devicePixelRatio(), 2.0);
    // A null picture stays null.
    QVERIFY(AnnotationPainter::render(QImage(), marks).isNull());
}

void TestCaptureTools::emptyAnnotationsAreDropped()
{
    AnnotationModel model;
    QSignalSpy changed(&model, &AnnotationModel::changed);
    Annotation flatRect;
    flatRect.points = {{10, 10}, {50, 10}};
    Annotation noArrow;
    noArrow.kind = Annotation::Arrow;
    noArrow.points = {{10, 10}, {10.5, 10}};
    Annotation blanks;
    blanks.kind = Annotation::Text;
    blanks.points = {{10, 10}};
    blanks.text = u"  \n "_s;
    Annotation nothing;
    nothing.kind = Annotation::Pen;
    for (const Annotation &a : {flatRect, noArrow, blanks, nothing})
        model.add(a);
    QVERIFY(model.annotations().isEmpty());
    QVERIFY(!model.canUndo());
    QCOMPARE(changed.size(), 0);
}

void TestCaptureTools::undoRedo()
{
    AnnotationModel model;
    const auto mark = [](int x) {
        Annotation a;
        a.points = {{qreal(x), 0}, {qreal(x + 10), 10}};
        return a;
    };
    const auto xs = [&model] {
        QList<int> list;
        for (const Annotation &a : model.annotations())
            list.append(int(a.points.first().x()));
        return list;
    };
    QVERIFY(!model.undo());
    QVERIFY(!model.redo());
    model.add(mark(1));
    model.add(mark(2));
    model.add(mark(3));
    QVERIFY(model.undo());
    QVERIFY(model.undo());
    QCOMPARE(xs(), QList<int>{1});
    QVERIFY(model.redo());
    QCOMPARE(xs(), (QList<int>{1, 2}));
    // Something new forgets what could be redone.
    model.add(mark(4));
    QVERIFY(!model.canRedo());
    QVERIFY(!model.redo());
    QCOMPARE(xs(), (QList<int>{1, 2, 4}));
    // Undo past the beginning stops there.
    for (int i = 0; i < 5; ++i)
        model.undo();
    QVERIFY(xs().isEmpty());
    QVERIFY(model.canRedo());
    model.clear();
    QVERIFY(!model.canRedo());
}

void TestCaptureTools::markersCount()
{
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(400, 300));
    button(d.get(), u"marker_"_s)->click();
    for (int x : {150, 200, 250})
        mouse(d.get(), QEvent::MouseButtonPress, QPoint(x, 150)), mouse(d.get(), QEvent::MouseButtonRelease, QPoint(x, 150));
    const auto numbers = [&d] {
        QList<int> list;
        for (const Annotation &a : d->annotations().annotations())
            list.append(a.number);
        return list;
    };
    QCOMPARE(numbers(), (QList<int>{1, 2, 3}));
    QCOMPARE(d->annotations().annotations().first().points.first(), QPointF(50, 50));
    // After an undo the next marker takes the freed number.
    QTest::keyClick(d.get(), Qt::Key_Z, Qt::ControlModifier);
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(300, 150));
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(300, 150));
    QCOMPARE(numbers(), (QList<int>{1, 2, 3}));
    QCOMPARE(d->annotations().annotations().last().points.first(), QPointF(200, 50));
}

void TestCaptureTools::drawWithTheMouse()
{
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(400, 300));
    auto *toolbar = d->findChild<CaptureToolbar *>();
    QVERIFY(!d->findChild<QWidget *>(u"options_"_s)->isVisibleTo(toolbar));
    QVERIFY(!button(d.get(), u"undo_"_s)->isEnabled());

    button(d.get(), u"ellipse_"_s)->click();
    QCOMPARE(toolbar->tool(), int(Annotation::Ellipse));
    QVERIFY(d->findChild<QWidget *>(u"options_"_s)->isVisibleTo(toolbar));
    button(d.get(), u"color4_"_s)->click();
    button(d.get(), u"size2_"_s)->click();
    drag(d.get(), QPoint(150, 120), QPoint(250, 200));
    QCOMPARE(d->annotations().annotations().size(), 1);
    const Annotation a = d->annotations().annotations().first();
    QCOMPARE(a.kind, Annotation::Ellipse);
    QCOMPARE(a.points.first(), QPointF(50, 20));
    QCOMPARE(a.points.last(), QPointF(150, 100));
    QCOMPARE(a.color, CaptureToolbar::palette().at(4));
    QCOMPARE(a.size, 2);
    // Drawing does not move the selection.
    QCOMPARE(d->selection(), QRect(100, 100, 300, 200));
    QVERIFY(button(d.get(), u"undo_"_s)->isEnabled());

    QTest::keyClick(d.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(d->annotations().annotations().isEmpty());
    QVERIFY(button(d.get(), u"redo_"_s)->isEnabled());
    QTest::keyClick(d.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(d->annotations().annotations().size(), 1);
    button(d.get(), u"undo_"_s)->click();
    QVERIFY(d->annotations().annotations().isEmpty());
    button(d.get(), u"redo_"_s)->click();
    QCOMPARE(d->annotations().annotations().size(), 1);

    // A second click on the tool puts it away: a drag inside moves the selection again.
    button(d.get(), u"ellipse_"_s)->click();
    QCOMPARE(toolbar->tool(), CaptureToolbar::kNoTool);
    drag(d.get(), QPoint(200, 200), QPoint(210, 205));
    QCOMPARE(d->selection(), QRect(110, 105, 300, 200));
    QCOMPARE(d->annotations().annotations().size(), 1);

    // Right click drops the selection and its marks, as before.
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton, Qt::NoButton);
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Idle));
    QVERIFY(!d->annotations().canUndo());
}

void TestCaptureTools::annotationsClippedToTheSelection()
{
    auto d = overlay();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    button(d.get(), u"pen_"_s)->click();
    // A stroke from inside to far outside the selection.
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(200, 175));
    mouse(d.get(), QEvent::MouseMove, QPoint(500, 175));
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(500, 175));
    QCOMPARE(d->annotations().annotations().size(), 1);
    d->findChild<CaptureToolbar *>()->hide();
    const QImage shown = d->grab().toImage();
    const auto px = [this](int x, int y) { return QPoint(qRound(x * m_ratio), qRound(y * m_ratio)); };
    const QRgb ink = CaptureToolbar::palette().first().rgb();
    QCOMPARE(shown.pixel(px(250, 175)) | 0xff000000, ink);
    QVERIFY(shown.pixel(px(350, 175)) != ink);
    QVERIFY(shown.pixel(px(450, 175)) != ink);
    // The picture handed out has the selection's size and the stroke up to its edge.
    const QImage copy = d->selectedPixmap().toImage();
    QCOMPARE(copy.size(), QSize(200, 150) * m_ratio);
    QCOMPARE(at(copy, QPointF(199, 75)), ink);
}

void TestCaptureTools::annotationsInTheCopy()
{
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    button(d.get(), u"rectangle_"_s)->click();
    drag(d.get(), QPoint(120, 120), QPoint(200, 200));
    button(d.get(), u"copy_"_s)->click();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(200, 150) * m_ratio);
    const QRgb ink = CaptureToolbar::palette().first().rgb();
    QCOMPARE(copied.pixel(QPoint(20, 60) * m_ratio) | 0xff000000, ink);
    // Elsewhere the captured pixels are unchanged.
    const QImage shot = d->screenshot().toImage();
    QCOMPARE(copied.pixel(QPoint(60, 60) * m_ratio), shot.pixel(QPoint(160, 160) * m_ratio));

    QTemporaryDir dir;
    const QString path = dir.filePath(u"marked.png"_s);
    QVERIFY(d->saveSelection(path));
    QImage saved(path);
    QCOMPARE(saved.pixel(QPoint(20, 60) * m_ratio) | 0xff000000, ink);
}

void TestCaptureTools::nudging_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("times");
    QTest::addColumn<QRect>("expected");
    // The selection starts at (100, 100), 200x150, on an 800x600 overlay.
    QTest::newRow("left") << int(Qt::Key_Left) << false << 1 << QRect(99, 100, 200, 150);
    QTest::newRow("right") << int(Qt::Key_Right) << false << 3 << QRect(103, 100, 200, 150);
    QTest::newRow("up") << int(Qt::Key_Up) << false << 1 << QRect(100, 99, 200, 150);
    QTest::newRow("down") << int(Qt::Key_Down) << false << 2 << QRect(100, 102, 200, 150);
    QTest::newRow("stops at the left edge") << int(Qt::Key_Left) << false << 150 << QRect(0, 100, 200, 150);
    QTest::newRow("stops at the bottom") << int(Qt::Key_Down) << false << 500 << QRect(100, 450, 200, 150);
    QTest::newRow("wider") << int(Qt::Key_Right) << true << 2 << QRect(100, 100, 202, 150);
    QTest::newRow("narrower") << int(Qt::Key_Left) << true << 1 << QRect(100, 100, 199, 150);
    QTest::newRow("taller") << int(Qt::Key_Down) << true << 1 << QRect(100, 100, 200, 151);
    QTest::newRow("lower") << int(Qt::Key_Up) << true << 1 << QRect(100, 100, 200, 149);
    QTest::newRow("never below one pixel") << int(Qt::Key_Up) << true << 200 << QRect(100, 100, 200, 1);
    QTest::newRow("wider up to the edge") << int(Qt::Key_Right) << true << 600 << QRect(100, 100, 700, 150);
    QTest::newRow("other key") << int(Qt::Key_A) << false << 1 << QRect(100, 100, 200, 150);
}

void TestCaptureTools::nudging()
{
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(int, times);
    QFETCH(QRect, expected);
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    for (int i = 0; i < times; ++i)
        QTest::keyClick(d.get(), Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(d->selection(), expected);
    // The size label and the toolbar follow.
    const QSize pixels = expected.size() * m_ratio;
    QCOMPARE(d->findChild<QLabel *>(u"size_"_s)->text(), u"%1×%2"_s.arg(pixels.width()).arg(pixels.height()));
    QCOMPARE(d->findChild<CaptureToolbar *>()->x(),
             ScreenCaptureDialog::toolbarPosition(expected, d->findChild<CaptureToolbar *>()->size(), d->rect()).x());
    QVERIFY(d->isVisible());
}

void TestCaptureTools::handles_data()
{
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");
    using S = SelectionGeometry::Handle;
    // Start: (100, 100) 200x150 within (0, 0) 800x600.
    QTest::newRow("top left") << int(S::TopLeft) << QPoint(-10, -20) << QRect(90, 80, 210, 170);
    QTest::newRow("top") << int(S::Top) << QPoint(33, 10) << QRect(100, 110, 200, 140);
    QTest::newRow("top right") << int(S::TopRight) << QPoint(5, 5) << QRect(100, 105, 205, 145);
    QTest::newRow("right") << int(S::Right) << QPoint(-50, 99) << QRect(100, 100, 150, 150);
    QTest::newRow("bottom right") << int(S::BottomRight) << QPoint(1, 1) << QRect(100, 100, 201, 151);
    QTest::newRow("bottom") << int(S::Bottom) << QPoint(0, 50) << QRect(100, 100, 200, 200);
    QTest::newRow("bottom left") << int(S::BottomLeft) << QPoint(20, -20) << QRect(120, 100, 180, 130);
    QTest::newRow("left") << int(S::Left) << QPoint(-100, 0) << QRect(0, 100, 300, 150);
    QTest::newRow("left across the right edge") << int(S::Left) << QPoint(250, 0) << QRect(300, 100, 50, 150);
    QTest::newRow("left onto the right edge") << int(S::Left) << QPoint(200, 0) << QRect(299, 100, 1, 150);
    QTest::newRow("beyond the overlay") << int(S::BottomRight) << QPoint(900, 900) << QRect(100, 100, 700, 500);
    QTest::newRow("inside moves") << int(S::Inside) << QPoint(-30, 40) << QRect(70, 140, 200, 150);
    QTest::newRow("inside stops at the edge") << int(S::Inside) << QPoint(1000, -1000) << QRect(600, 0, 200, 150);
    QTest::newRow("nothing held") << int(S::None) << QPoint(10, 10) << QRect(100, 100, 200, 150);
}

void TestCaptureTools::handles()
{
    QFETCH(int, handle);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);
    const QRect start(100, 100, 200, 150);
    const QRect bounds(0, 0, 800, 600);
    QCOMPARE(SelectionGeometry::dragged(start, SelectionGeometry::Handle(handle), delta, bounds), expected);
    // Each handle is found where it is drawn.
    if (handle >= SelectionGeometry::TopLeft && handle <= SelectionGeometry::Left) {
        const QRect square = SelectionGeometry::handleRects(start).at(handle - SelectionGeometry::TopLeft);
        QCOMPARE(int(SelectionGeometry::hit(start, square.center())), handle);
    }
}

void TestCaptureTools::dragHandleAndMove()
{
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    // The bottom-right handle sits on the corner just past the last pixel.
    drag(d.get(), QPoint(300, 250), QPoint(350, 280));
    QCOMPARE(d->selection(), QRect(100, 100, 250, 180));
    drag(d.get(), QPoint(200, 200), QPoint(150, 190));
    QCOMPARE(d->selection(), QRect(50, 90, 250, 180));
    const QSize pixels = QSize(250, 180) * m_ratio;
    QCOMPARE(d->findChild<QLabel *>(u"size_"_s)->text(), u"%1×%2"_s.arg(pixels.width()).arg(pixels.height()));
    // A press outside the selection still does nothing.
    drag(d.get(), QPoint(600, 500), QPoint(700, 550));
    QCOMPARE(d->selection(), QRect(50, 90, 250, 180));
    QCOMPARE(d->selectedPixmap().size(), pixels);
}

void TestCaptureTools::dimmingAndHint()
{
    auto d = overlay();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    const QImage picture = d->screenshot().toImage();
    const auto px = [this](int x, int y) { return QPoint(qRound(x * m_ratio), qRound(y * m_ratio)); };
    const auto darker = [](QRgb shown, QRgb original) {
        return qRed(shown) <= qRed(original) && qGreen(shown) <= qGreen(original)
               && qRed(shown) + qGreen(shown) < qRed(original) + qGreen(original);
    };
    // Before the first press: all of it veiled, and the hint at the top of the screen.
    QImage shown = d->grab().toImage();
    QVERIFY(darker(shown.pixel(px(700, 500)), picture.pixel(px(700, 500))));
    const auto lightInTheHintBand = [&](const QImage &image) {
        int n = 0;
        for (int y = 40; y < 80; ++y) {
            for (int x = 250; x < 550; ++x)
                n += qGray(image.pixel(px(x, y))) > 200;
        }
        return n;
    };
    QVERIFY2(lightInTheHintBand(shown) > 20, "no hint text");

    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    d->findChild<CaptureToolbar *>()->hide();
    shown = d->grab().toImage();
    // Inside at full brightness, pixel for pixel; outside darker; the hint gone.
    for (const QPoint &p : {px(150, 150), px(280, 230), px(200, 200)})
        QCOMPARE(shown.pixel(p), picture.pixel(p));
    for (const QPoint &p : {px(50, 50), px(500, 400), px(700, 500)})
        QVERIFY(darker(shown.pixel(p), picture.pixel(p)));
    QCOMPARE(lightInTheHintBand(shown), 0);
    // The outline and the handles stay red.
    QCOMPARE(shown.pixel(px(150, 100)), qRgb(255, 0, 0));
}

void TestCaptureTools::magnifierColour_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::newRow("top left") << QPoint(3, 4);
    QTest::newRow("middle") << QPoint(337, 245);
    QTest::newRow("bottom right") << QPoint(799, 599);
}

void TestCaptureTools::magnifierColour()
{
    QFETCH(QPoint, cursor);
    auto d = overlay();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    QVERIFY(!d->colorUnderCursor().isValid());
    mouse(d.get(), QEvent::MouseMove, cursor, Qt::NoButton, Qt::NoButton);
    const QImage picture = d->screenshot().toImage();
    const QPoint pixel = cursor * m_ratio;
    const QColor expected = QColor(picture.pixel(pixel));
    QCOMPARE(d->colorUnderCursor(), expected);
    QCOMPARE(Magnifier::colorAt(picture, cursor), expected);
    QCOMPARE(Magnifier::rgbText(expected), u"RGB(%1, %2, %3)"_s.arg(expected.red()).arg(expected.green()).arg(expected.blue()));

    // The enlarged middle cell shows that colour, the cell below right of it the next pixel there.
    const QRect box = Magnifier::geometry(cursor, d->rect());
    const QImage shown = d->grab().toImage();
    const QPoint middle = box.topLeft() + QPoint(1, 1) * (Magnifier::kCells / 2 * Magnifier::kCellSize + 2);
    QCOMPARE(QColor(shown.pixel(middle * m_ratio)), expected);
    if (picture.valid(pixel + QPoint(1, 1))) {
        QCOMPARE(QColor(shown.pixel((middle + QPoint(1, 1) * Magnifier::kCellSize) * m_ratio)),
                 QColor(picture.pixel(pixel + QPoint(1, 1))));
    }

    // C copies the colour as #RRGGBB.
    QTest::keyClick(d.get(), Qt::Key_C);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected.name().toUpper());
    QVERIFY(d->isVisible());
}

void TestCaptureTools::magnifierStaysOnScreen_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::newRow("middle") << QPoint(400, 300);
    QTest::newRow("right edge") << QPoint(795, 300);
    QTest::newRow("bottom edge") << QPoint(400, 598);
    QTest::newRow("corner") << QPoint(799, 599);
    QTest::newRow("origin") << QPoint(0, 0);
}

void TestCaptureTools::magnifierStaysOnScreen()
{
    QFETCH(QPoint, cursor);
    const QRect screen(0, 0, 800, 600);
    const QRect box = Magnifier::geometry(cursor, screen);
    QVERIFY(screen.contains(box));
    QVERIFY(!box.contains(cursor));
    // At DPR 2 the pixel under a logical point is its doubled position.
    const QImage picture = patternImage(QSize(1600, 1200), 2);
    QCOMPARE(Magnifier::pixelAt(picture, cursor), cursor * 2);
    QVERIFY(!Magnifier::colorAt(picture, QPoint(800, 10)).isValid());
}

void TestCaptureTools::screenRemovedWhileUp()
{
    // The picture stays; the toolbar and the magnifier fall back to the picture's own bounds.
    auto d = overlay();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    mouse(d.get(), QEvent::MouseMove, QPoint(790, 590), Qt::NoButton, Qt::NoButton);
    drag(d.get(), QPoint(600, 500), QPoint(790, 590));
    emit qApp->screenRemoved(QGuiApplication::primaryScreen());
    QVERIFY(d->isVisible());
    auto *toolbar = d->findChild<CaptureToolbar *>();
    QVERIFY(d->rect().contains(toolbar->geometry()));
    QTest::keyClick(d.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(d->selection(), QRect(600, 500, 191, 90));
    QVERIFY(!d->grab().isNull());
}

void TestCaptureTools::textThroughInputMethod()
{
    auto d = overlay();
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    QSignalSpy finished(d.get(), &QDialog::finished);
    drag(d.get(), QPoint(100, 100), QPoint(400, 300));
    button(d.get(), u"text_"_s)->click();
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(150, 150));
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(150, 150));
    auto *edit = d->findChild<QPlainTextEdit *>();
    QVERIFY(edit);
    QVERIFY(edit->testAttribute(Qt::WA_InputMethodEnabled));
    // What an input method sends: a preedit, then the committed words.
    QInputMethodEvent preedit(u"jietu"_s, {});
    QCoreApplication::sendEvent(edit, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(u"截图"_s);
    QCoreApplication::sendEvent(edit, &commit);
    QTest::keyClicks(edit, u"ok"_s);
    QTest::keyClick(edit, Qt::Key_Escape);
    // Escape ends the typing, not the capture.
    QCOMPARE(finished.size(), 0);
    QCOMPARE(d->annotations().annotations().size(), 1);
    const Annotation a = d->annotations().annotations().first();
    QCOMPARE(a.kind, Annotation::Text);
    QCOMPARE(a.text, u"截图ok"_s);
    QCOMPARE(a.points.first(), QPointF(50, 50));
    QTRY_VERIFY(!d->findChild<QPlainTextEdit *>());
    // The next Escape closes the overlay.
    QTest::keyClick(d.get(), Qt::Key_Escape);
    QCOMPARE(finished.size(), 1);
}

void TestCaptureTools::emptyTextAddsNothing()
{
    auto d = overlay();
    d->show();
    drag(d.get(), QPoint(100, 100), QPoint(400, 300));
    button(d.get(), u"text_"_s)->click();
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(150, 150));
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(150, 150));
    QVERIFY(d->findChild<QPlainTextEdit *>());
    // A click elsewhere ends the typing; nothing was typed, so nothing is added.
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(300, 250));
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(300, 250));
    QVERIFY(d->annotations().annotations().isEmpty());
    // Text being typed when the selection is dropped goes with it.
    mouse(d.get(), QEvent::MouseButtonPress, QPoint(200, 200));
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(200, 200));
    auto *edit = d->findChild<QPlainTextEdit *>();
    QVERIFY(edit);
    QTest::keyClicks(edit, u"abc"_s);
    mouse(d.get(), QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton, Qt::NoButton);
    QVERIFY(d->annotations().annotations().isEmpty());
    QCOMPARE(d->captureState(), int(ScreenCaptureDialog::Idle));
}

void TestCaptureTools::pinShowsTheCapturedPixels()
{
    QPixmap picture = QPixmap::fromImage(patternImage(QSize(120, 80) * m_ratio, m_ratio));
    picture.setDevicePixelRatio(m_ratio);
    auto *pin = new PinWindow(picture, QPoint(200, 150));
    QPointer<PinWindow> guard(pin);
    pin->show();
    QVERIFY(QTest::qWaitForWindowExposed(pin));
    QVERIFY(pin->windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
    QCOMPARE(pin->mapToGlobal(pin->pictureRect().topLeft()), QPoint(200, 150));
    QCOMPARE(pin->pictureRect().size(), QSize(120, 80));
    const QImage shown = pin->grab(pin->pictureRect()).toImage().convertToFormat(QImage::Format_RGB32);
    QImage expected = picture.toImage().convertToFormat(QImage::Format_RGB32);
    expected.setDevicePixelRatio(shown.devicePixelRatio());
    QCOMPARE(shown, expected);
    QVERIFY(PinWindow::openPins().contains(pin));

    pin->copy();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), picture.size());
    QTest::keyClick(pin, Qt::Key_Escape);
    QTRY_VERIFY(guard.isNull());
    QVERIFY(PinWindow::openPins().isEmpty());
}

void TestCaptureTools::pinFromTheOverlay()
{
    auto d = overlay();
    d->show();
    QSignalSpy finished(d.get(), &QDialog::finished);
    drag(d.get(), QPoint(100, 100), QPoint(300, 250));
    button(d.get(), u"arrow_"_s)->click();
    drag(d.get(), QPoint(120, 120), QPoint(250, 200));
    button(d.get(), u"pin_"_s)->click();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
    QCOMPARE(PinWindow::openPins().size(), 1);
    PinWindow *pin = PinWindow::openPins().first();
    QVERIFY(pin->isVisible());
    QCOMPARE(pin->mapToGlobal(pin->pictureRect().topLeft()), d->mapToGlobal(QPoint(100, 100)));
    // The pin holds the marked picture.
    QCOMPARE(pin->picture().toImage(), d->selectedPixmap().toImage());
    QCOMPARE(at(pin->picture().toImage(), QPointF(80, 57)), CaptureToolbar::palette().first().rgb());
    // Several pins at once; the program's end closes them all.
    auto *second = new PinWindow(pin->picture(), QPoint(10, 10));
    second->show();
    QCOMPARE(PinWindow::openPins().size(), 2);
    PinWindow::closeAll();
    QVERIFY(PinWindow::openPins().isEmpty());
}

void TestCaptureTools::pinZoomAndClose()
{
    QPixmap picture = QPixmap::fromImage(patternImage(QSize(100, 60) * m_ratio, m_ratio));
    picture.setDevicePixelRatio(m_ratio);
    auto *pin = new PinWindow(picture, QPoint(50, 50));
    QPointer<PinWindow> guard(pin);
    pin->show();
    const QPoint topLeft = pin->pos();
    QWheelEvent up(QPointF(10, 10), QPointF(pin->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(pin, &up);
    QCOMPARE(pin->pictureRect().size(), QSize(110, 66));
    for (int i = 0; i < 60; ++i) {
        QWheelEvent down(QPointF(10, 10), QPointF(pin->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(pin, &down);
    }
    QCOMPARE(pin->zoom(), 0.1);
    QCOMPARE(pin->pictureRect().size(), QSize(10, 6));
    QCOMPARE(pin->pos(), topLeft);
    pin->setZoom(1);
    // Dragged with the left button.
    mouse(pin, QEvent::MouseButtonPress, QPoint(20, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), QPointF(pin->mapToGlobal(QPoint(20, 20)) + QPoint(30, 15)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pin, &move);
    mouse(pin, QEvent::MouseButtonRelease, QPoint(20, 20));
    QCOMPARE(pin->pos(), topLeft + QPoint(30, 15));
    pin->setOpacityPercent(40);
    QCOMPARE(pin->windowOpacity(), 0.4);
    mouse(pin, QEvent::MouseButtonDblClick, QPoint(20, 20));
    QTRY_VERIFY(guard.isNull());
}

void TestCaptureTools::pinClosedWithItsMenuOpen()
{
    QPixmap picture(40, 30);
    picture.fill(Qt::darkCyan);
    auto *pin = new PinWindow(picture, QPoint(50, 50));
    QPointer<PinWindow> guard(pin);
    pin->show();
    QVERIFY(QTest::qWaitForWindowExposed(pin));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), pin->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(pin, &menuEvent);
    QPointer<QMenu> menu = pin->findChild<QMenu *>(u"pinMenu_"_s);
    QVERIFY(menu && menu->isVisible());
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    QVERIFY(texts.contains(u"复制"_s) && texts.contains(u"保存"_s) && texts.contains(u"关闭"_s));
    PinWindow::closeAll();
    QVERIFY(guard.isNull());
    QVERIFY(menu.isNull());
}

void TestCaptureTools::pngIsCompressed()
{
    // A flat 400x250 picture: a few hundred bytes compressed, 300 KB if written uncompressed.
    QTemporaryDir dir;
    QImage picture(400, 250, QImage::Format_RGB32);
    picture.fill(qRgb(40, 90, 160));
    const QString png = dir.filePath(u"flat.png"_s);
    QVERIFY(ImageFile::write(picture, png));
    QVERIFY2(QFileInfo(png).size() < 20 * 1024, qPrintable(QString::number(QFileInfo(png).size())));
    QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), picture);
    // JPEG keeps the best quality: a flat colour comes back exactly.
    const QString jpg = dir.filePath(u"flat.jpg"_s);
    QVERIFY(ImageFile::write(picture, jpg));
    const QColor back = QImage(jpg).pixelColor(200, 125);
    QVERIFY(qAbs(back.red() - 40) <= 2 && qAbs(back.blue() - 160) <= 2);
    QVERIFY(!ImageFile::write(QImage(), dir.filePath(u"null.png"_s)));
}

QPA_TEST_MAIN(TestCaptureTools)
#include "tst_capture_tools.moc"

#include "ScreenCaptureDialog.h"

#include "AnnotationTextEdit.h"
#include "CaptureToolbar.h"
#include "DesktopGrab.h"
#include "ImageFile.h"
#include "Magnifier.h"
#include "PinWindow.h"
#include "ProgramFont.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

const QColor kVeil(0, 0, 0, 110);
const QColor kOutline(255, 0, 0);
const QString kHint = u"拖动选择区域，Esc 退出"_s;

QFont hintFont()
{
    QFont font = ProgramFont::sans();
    font.setPixelSize(15);
    return font;
}

// Tool tips and menus of this program must not end up in the picture. A tip is hidden by the press
// that starts the capture, yet the windows under it show it until the program has handled what the
// window system reported since (the expose of the uncovered part). A round trip to the display
// brings those reports in; handling them repaints the windows before the grab. Input and sockets
// wait, so no second capture request can start in the middle of this one.
QPixmap grabWithoutOwnPopups()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (w->windowType() == Qt::ToolTip || w->windowType() == Qt::Popup))
            w->hide();
    }
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0, 0, 0, 1, 1);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    return DesktopGrab::grabAll();
}

} // namespace

ScreenCaptureDialog::ScreenCaptureDialog(QWidget *parent)
    : ScreenCaptureDialog(grabWithoutOwnPopups(), DesktopGrab::virtualGeometry(),
                          DesktopGrab::screenGeometries(), parent)
{
    // With one screen the window manager's full-screen state also lifts the overlay above
    // panels; several screens are covered by the geometry alone, which full-screen would undo.
    if (m_screens.size() == 1)
        setWindowState(Qt::WindowFullScreen);
}

ScreenCaptureDialog::ScreenCaptureDialog(const QPixmap &screenshot, const QRect &area,
                                         const QList<QRect> &screens, QWidget *parent)
    : QDialog(parent), m_screenshot(screenshot), m_picture(screenshot.toImage())
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    m_selection = QRect();
    setupForm();
    setGeometry(area);
    for (const QRect &screen : screens)
        m_screens.append(screen.translated(-area.topLeft()));
    m_hint = hintRect(screenAt(QCursor::pos() - area.topLeft()));
    toolbar_->hide();
    // The picture covers the whole window; nothing needs to be cleared under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The magnifier follows the cursor before any button is pressed.
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(&m_annotations, &AnnotationModel::changed, this, &ScreenCaptureDialog::onAnnotationsChanged);
    connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenCaptureDialog::onScreenRemoved);
}

void ScreenCaptureDialog::setupForm()
{
    setObjectName(u"ScreenCaptureDialog"_s);
    setWindowTitle(u"screen_capture_widget"_s);
    resize(400, 300);
    setWindowModality(Qt::WindowModal);
    setCursor(Qt::CrossCursor);

    toolbar_ = new CaptureToolbar(this);
    connect(toolbar_, &CaptureToolbar::copyClicked, this, &ScreenCaptureDialog::onCopy);
    connect(toolbar_, &CaptureToolbar::saveClicked, this, &ScreenCaptureDialog::onSave);
    connect(toolbar_, &CaptureToolbar::shareClicked, this, &ScreenCaptureDialog::onShare);
    connect(toolbar_, &CaptureToolbar::closeClicked, this, &ScreenCaptureDialog::close);
    connect(toolbar_, &CaptureToolbar::pinClicked, this, &ScreenCaptureDialog::onPin);
    connect(toolbar_, &CaptureToolbar::undoClicked, this, &ScreenCaptureDialog::onUndo);
    connect(toolbar_, &CaptureToolbar::redoClicked, this, &ScreenCaptureDialog::onRedo);
    connect(toolbar_, &CaptureToolbar::toolChanged, this, [this] { finishText(); });
    connect(toolbar_, &CaptureToolbar::resized, this, [this] {
        if (m_captureState == Selected)
            placeToolbar();
    });
}

bool ScreenCaptureDialog::hasSelection() const
{
    return m_selection.isValid() && !m_selection.isNull();
}

const QImage &ScreenCaptureDialog::composed() const
{
    if (m_composed.isNull() && hasSelection()) {
        const qreal ratio = m_picture.devicePixelRatio();
        QImage part = m_picture.copy(DesktopGrab::toPixels(m_selection, ratio));
        part.setDevicePixelRatio(ratio);
        m_composed = AnnotationPainter::render(part, m_annotations.annotations());
    }
    return m_composed;
}

void ScreenCaptureDialog::invalidateComposed()
{
    m_composed = QImage();
}

QPixmap ScreenCaptureDialog::selectedPixmap() const
{
    if (!hasSelection())
        return QPixmap();
    QPixmap part = QPixmap::fromImage(composed());
    part.setDevicePixelRatio(m_picture.devicePixelRatio());
    return part;
}

QColor ScreenCaptureDialog::colorUnderCursor() const
{
    return m_cursorKnown ? Magnifier::colorAt(m_picture, m_cursor) : QColor();
}

QRect ScreenCaptureDialog::selectionFromPoints(const QPoint &press, const QPoint &current, bool *ok)
{
    const int left = qMin(press.x(), current.x());
    const int top = qMin(press.y(), current.y());
    const int right = qMax(press.x(), current.x());
    const int bottom = qMax(press.y(), current.y());
    const QRect rect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (ok)
        *ok = rect.width() >= 1 && rect.height() >= 1;
    return rect;
}

QPoint ScreenCaptureDialog::toolbarPosition(const QRect &selection, const QSize &toolbar,
                                            const QRect &screen)
{
    QRect bar(QPoint(selection.left(), 0), toolbar);
    if (screen.bottom() - selection.bottom() >= toolbar.height())
        bar.moveTop(selection.bottom() + 1);
    else if (selection.top() - screen.top() >= toolbar.height())
        bar.moveBottom(selection.top() - 1);
    else {
        bar.moveBottom(selection.bottom());
        // Inside a selection narrower than the toolbar the buttons would hide the picture.
        if (selection.width() < toolbar.width())
            bar.moveLeft(selection.right());
    }
    // A selection at the right edge must not push the buttons off the screen.
    if (bar.right() > screen.right())
        bar.moveRight(screen.right());
    if (bar.left() < screen.left())
        bar.moveLeft(screen.left());
    return bar.topLeft();
}

QString ScreenCaptureDialog::suggestedFileName(const QDateTime &time)
{
    return ImageFile::suggestedFileName(time);
}

QString ScreenCaptureDialog::suggestedFilePath(const QDateTime &time)
{
    return ImageFile::suggestedFilePath(time);
}

void ScreenCaptureDialog::onShare()
{
}

void ScreenCaptureDialog::onWeiboLogin()
{
    accept();
}

void ScreenCaptureDialog::onCopy()
{
    finishText();
    if (hasSelection())
        QApplication::clipboard()->setPixmap(selectedPixmap(), QClipboard::Clipboard);
}

void ScreenCaptureDialog::onSave()
{
    finishText();
    ImageFile::askAndWrite(this, hasSelection() ? selectedPixmap().toImage() : QImage());
}

bool ScreenCaptureDialog::saveSelection(const QString &path) const
{
    return hasSelection() && ImageFile::write(selectedPixmap().toImage(), path);
}

void ScreenCaptureDialog::onPin()
{
    finishText();
    if (!hasSelection())
        return;
    auto *pin = new PinWindow(selectedPixmap(), mapToGlobal(m_selection.topLeft()));
    pin->show();
    pin->raise();
    // It takes the keyboard, so Escape closes it right away.
    pin->activateWindow();
    accept();
}

void ScreenCaptureDialog::onUndo()
{
    finishText();
    m_annotations.undo();
}

void ScreenCaptureDialog::onRedo()
{
    finishText();
    m_annotations.redo();
}

void ScreenCaptureDialog::onAnnotationsChanged()
{
    invalidateComposed();
    if (hasSelection())
        update(m_selection);
    toolbar_->setHistory(m_annotations.canUndo(), m_annotations.canRedo());
}

bool ScreenCaptureDialog::updateSelection(const QPoint &current)
{
    bool ok = false;
    const QRect old = m_selection;
    m_selection = selectionFromPoints(m_pressPoint, current, &ok);
    // The outline is drawn one pixel past the rectangle's right and bottom edges.
    QRect dirty = m_selection.adjusted(0, 0, 1, 1);
    if (old.isValid())
        dirty |= old.adjusted(0, 0, 1, 1);
    if (ok || old.isValid())
        update(dirty);
    return ok;
}

void ScreenCaptureDialog::setSelection(const QRect &selection)
{
    if (selection == m_selection)
        return;
    // Handles stick out of the rectangle by half their size.
    const int margin = SelectionGeometry::kHandleSize;
    update(m_selection.adjusted(-margin, -margin, margin, margin));
    m_selection = selection;
    invalidateComposed();
    update(m_selection.adjusted(-margin, -margin, margin, margin));
    placeToolbar();
}

QRect ScreenCaptureDialog::screenAt(const QPoint &point) const
{
    for (const QRect &screen : m_screens) {
        if (screen.contains(point))
            return screen;
    }
    return QRect(QPoint(0, 0), m_screenshot.deviceIndependentSize().toSize());
}

QRect ScreenCaptureDialog::screenAround(const QRect &selection) const
{
    return screenAt(selection.bottomLeft());
}

void ScreenCaptureDialog::onScreenRemoved(QScreen *screen)
{
    // The picture keeps showing what the screen showed; the toolbar and the magnifier just no
    // longer count on its room.
    m_screens.removeAll(screen->geometry().translated(-geometry().topLeft()));
    if (m_captureState == Selected)
        placeToolbar();
    update();
}

void ScreenCaptureDialog::placeToolbar()
{
    const QSize pixels = DesktopGrab::toPixels(m_selection, m_picture.devicePixelRatio()).size();
    toolbar_->setSizeText(u"%1×%2"_s.arg(pixels.width()).arg(pixels.height()));
    toolbar_->layout()->activate();
    toolbar_->move(toolbarPosition(m_selection, toolbar_->size(), screenAround(m_selection)));
    toolbar_->show();
    toolbar_->raise();
}

void ScreenCaptureDialog::clearSelection()
{
    if (m_textEdit) {
        // Thrown away with the selection it was typed on.
        AnnotationTextEdit *edit = m_textEdit;
        m_textEdit = nullptr;
        disconnect(edit, nullptr, this, nullptr);
        edit->hide();
        edit->deleteLater();
    }
    const int margin = SelectionGeometry::kHandleSize;
    update(m_selection.adjusted(-margin, -margin, margin, margin));
    m_selection = QRect();
    m_drag = NoDrag;
    m_captureState = Idle;
    m_annotations.clear();
    invalidateComposed();
    toolbar_->hide();
    setCursor(Qt::CrossCursor);
}

bool ScreenCaptureDialog::magnifierShown() const
{
    if (!m_cursorKnown)
        return false;
    if (m_captureState == Idle || m_captureState == Selecting)
        return true;
    // Resizing by a handle is selecting again; moving the whole selection is not.
    return m_drag == Adjusting && m_handle != SelectionGeometry::Inside;
}

QRect ScreenCaptureDialog::magnifierRect() const
{
    return m_cursorKnown ? Magnifier::geometry(m_cursor, screenAt(m_cursor)) : QRect();
}

QRect ScreenCaptureDialog::hintRect(const QRect &screen) const
{
    const QSize text = QFontMetrics(hintFont()).size(Qt::TextSingleLine, kHint);
    QRect box(QPoint(0, 0), text + QSize(32, 16));
    box.moveCenter(QPoint(screen.center().x(), screen.top() + 40 + box.height() / 2));
    return box;
}

void ScreenCaptureDialog::moveCursorMark(const QPoint &point)
{
    if (magnifierShown())
        update(magnifierRect());
    m_cursor = point;
    m_cursorKnown = true;
    if (magnifierShown())
        update(magnifierRect());
}

void ScreenCaptureDialog::updateCursor(const QPoint &point)
{
    using namespace SelectionGeometry;
    const Handle handle = hit(m_selection, point);
    if (handle == Inside && toolbar_->tool() != CaptureToolbar::kNoTool)
        setCursor(toolbar_->tool() == Annotation::Text ? Qt::IBeamCursor : Qt::CrossCursor);
    else
        setCursor(cursorFor(handle));
}

void ScreenCaptureDialog::startAnnotation(const QPoint &point)
{
    const QPointF p = point - m_selection.topLeft();
    Annotation a;
    a.kind = Annotation::Kind(toolbar_->tool());
    a.color = toolbar_->color();
    a.size = toolbar_->lineSize();
    a.points = {p};
    if (a.kind == Annotation::Marker) {
        a.number = m_annotations.nextMarkerNumber();
        m_annotations.add(a);
        return;
    }
    if (a.kind == Annotation::Text) {
        m_text = a;
        m_textEdit = new AnnotationTextEdit(point, a.size, a.color, this);
        connect(m_textEdit.data(), &AnnotationTextEdit::finished, this, &ScreenCaptureDialog::finishText);
        m_textEdit->show();
        m_textEdit->setFocus();
        return;
    }
    if (a.kind != Annotation::Pen && a.kind != Annotation::Highlighter)
        a.points.append(p);
    m_current = a;
    m_drag = Drawing;
}

void ScreenCaptureDialog::extendAnnotation(const QPoint &point)
{
    const QPointF p = point - m_selection.topLeft();
    if (m_current.kind == Annotation::Pen || m_current.kind == Annotation::Highlighter) {
        if (m_current.points.last() != p)
            m_current.points.append(p);
    } else {
        m_current.points.last() = p;
    }
    update(m_selection);
}

void ScreenCaptureDialog::finishText()
{
    if (!m_textEdit)
        return;
    AnnotationTextEdit *edit = m_textEdit;
    m_textEdit = nullptr;
    disconnect(edit, nullptr, this, nullptr);
    m_text.text = edit->toPlainText();
    edit->hide();
    // Later: this may run inside the editor's own event handler.
    edit->deleteLater();
    m_annotations.add(m_text);
    setFocus();
}

void ScreenCaptureDialog::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QRect loupe = magnifierShown() ? magnifierRect() : QRect();
    if (event->button() != Qt::LeftButton)
        return;
    if (m_captureState == Idle) {
        m_captureState = Selecting;
        if (!m_pressedOnce) {
            m_pressedOnce = true;
            update(m_hint);
        }
        m_selection = QRect();
        m_pressPoint = pos;
        toolbar_->hide();
    } else if (m_captureState == Selected && m_drag == NoDrag) {
        if (m_textEdit) {
            // The first click elsewhere ends the typing, nothing more.
            finishText();
            return;
        }
        using namespace SelectionGeometry;
        const Handle handle = hit(m_selection, pos);
        if (handle == Inside && toolbar_->tool() != CaptureToolbar::kNoTool) {
            startAnnotation(pos);
        } else if (handle != None) {
            // Presses outside the selection are ignored: one selection at a time.
            m_drag = Adjusting;
            m_handle = handle;
            m_dragStart = m_selection;
            m_pressPoint = pos;
        }
    }
    moveCursorMark(pos);
    update(loupe);
}

void ScreenCaptureDialog::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_captureState == Selecting) {
        updateSelection(pos);
    } else if (m_captureState == Selected) {
        if (m_drag == Adjusting)
            setSelection(SelectionGeometry::dragged(m_dragStart, m_handle, pos - m_pressPoint, rect()));
        else if (m_drag == Drawing)
            extendAnnotation(pos);
        else
            updateCursor(pos);
    }
    moveCursorMark(pos);
}

void ScreenCaptureDialog::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QRect loupe = magnifierShown() ? magnifierRect() : QRect();
    if (event->button() == Qt::LeftButton && m_captureState == Selecting) {
        if (updateSelection(pos)) {
            m_captureState = Selected;
            placeToolbar();
            setCursor(Qt::ArrowCursor);
        } else {
            m_selection = QRect();
            m_captureState = Idle;
        }
    } else if (event->button() == Qt::LeftButton && m_captureState == Selected) {
        if (m_drag == Drawing) {
            extendAnnotation(pos);
            m_drag = NoDrag;
            m_annotations.add(m_current);
            update(m_selection);
        }
        m_drag = NoDrag;
        updateCursor(pos);
    } else if (event->button() == Qt::RightButton) {
        if (m_captureState == Idle)
            reject();
        else if (m_captureState == Selected)
            clearSelection();
    }
    update(loupe);
    moveCursorMark(pos);
}

void ScreenCaptureDialog::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    // With a drawing tool in hand the clicks draw; without one a double click finishes the capture.
    if (m_captureState != Selected || !hasSelection() || toolbar_->tool() != CaptureToolbar::kNoTool)
        return;
    onCopy();
    onSave();
    clearSelection();
    accept();
}

void ScreenCaptureDialog::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::Undo)) {
        onUndo();
    } else if (event->matches(QKeySequence::Redo) || (ctrl && key == Qt::Key_Y)) {
        onRedo();
    } else if (m_captureState == Selected && m_drag == NoDrag && !ctrl
               && (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down)) {
        setSelection(SelectionGeometry::nudged(m_selection, key, event->modifiers() & Qt::ShiftModifier, rect()));
    } else if (key == Qt::Key_C && !ctrl && magnifierShown() && colorUnderCursor().isValid()) {
        QApplication::clipboard()->setText(Magnifier::hexText(colorUnderCursor()));
    } else {
        QDialog::keyPressEvent(event);
    }
}

void ScreenCaptureDialog::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, 0, m_screenshot);

    const bool selected = hasSelection();
    painter.save();
    QRegion veil = event->region();
    if (selected)
        veil -= QRegion(m_selection);
    painter.setClipRegion(veil);
    painter.fillRect(rect(), kVeil);
    painter.restore();

    if (selected) {
        if (m_captureState == Selected && (!m_annotations.annotations().isEmpty() || m_drag == Drawing)) {
            painter.save();
            painter.setClipRect(m_selection, Qt::IntersectClip);
            painter.drawImage(QRectF(m_selection), composed());
            if (m_drag == Drawing) {
                painter.translate(m_selection.topLeft());
                AnnotationPainter::paint(painter, m_current, composed());
            }
            painter.restore();
        }
        painter.setPen(kOutline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_selection);
        if (m_captureState == Selected) {
            for (const QRect &handle : SelectionGeometry::handleRects(m_selection)) {
                // Red squares with a white rim: seen on dark and on red pictures alike.
                painter.fillRect(handle, Qt::white);
                painter.fillRect(handle.adjusted(1, 1, -1, -1), kOutline);
            }
        }
    }

    if (!m_pressedOnce) {
        const QRect box = m_hint;
        painter.setRenderHint(QPainter::Antialiasing);
        // A light rim keeps the box apart from a dark desktop.
        painter.setPen(QColor(255, 255, 255, 120));
        painter.setBrush(QColor(0, 0, 0, 170));
        painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.setFont(hintFont());
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, kHint);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if (magnifierShown())
        Magnifier::paint(painter, m_picture, m_cursor, screenAt(m_cursor));
}

void ScreenCaptureDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The overlay takes the keyboard so Escape closes it even when another window was active.
    raise();
    activateWindow();
}

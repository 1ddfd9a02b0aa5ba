#include "PinWindow.h"

#include "ImageFile.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFrame = 1;
constexpr qreal kMinZoom = 0.1;
constexpr qreal kMaxZoom = 5;

QList<PinWindow *> &pins()
{
    static QList<PinWindow *> list;
    return list;
}

} // namespace

PinWindow::PinWindow(const QPixmap &picture, const QPoint &topLeft)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(picture)
{
    setObjectName(u"PinWindow"_s);
    setWindowTitle(u"贴图"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeAllCursor);
    setToolTip(u"拖动移动，滚轮缩放，双击或 Esc 关闭，右键菜单"_s);
    setZoom(1);
    move(topLeft - QPoint(kFrame, kFrame));

    // Pins have no parent that would end them; the program's end closes them.
    static bool connected = false;
    if (!connected && QCoreApplication::instance()) {
        connected = true;
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &PinWindow::closeAll);
    }
    pins().append(this);
}

PinWindow::~PinWindow()
{
    pins().removeAll(this);
}

QList<PinWindow *> PinWindow::openPins()
{
    return pins();
}

void PinWindow::closeAll()
{
    // Deleted at once: at the program's end no event loop is left to run a later deletion.
    const QList<PinWindow *> open = pins();
    for (PinWindow *pin : open)
        delete pin;
}

QRect PinWindow::pictureRect() const
{
    return rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
}

void PinWindow::setZoom(qreal factor)
{
    m_zoom = qBound(kMinZoom, factor, kMaxZoom);
    const QSizeF logical = m_picture.deviceIndependentSize() * m_zoom;
    const QSize inner(qMax(1, int(std::lround(logical.width()))), qMax(1, int(std::lround(logical.height()))));
    setFixedSize(inner + QSize(2 * kFrame, 2 * kFrame));
    update();
}

void PinWindow::copy()
{
    QApplication::clipboard()->setPixmap(m_picture, QClipboard::Clipboard);
}

void PinWindow::save()
{
    ImageFile::askAndWrite(this, m_picture.toImage());
}

void PinWindow::setOpacityPercent(int percent)
{
    setWindowOpacity(qBound(10, percent, 100) / 100.0);
}

void PinWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QColor(78, 153, 210));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // At 100% the pixels are copied as they are; only a zoomed picture is resampled.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !qFuzzyCompare(m_zoom, 1.0));
    painter.drawPixmap(QRectF(pictureRect()), m_picture, QRectF(m_picture.rect()));
}

void PinWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - pos();
        activateWindow();
    }
}

void PinWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        move(event->globalPosition().toPoint() - m_dragOffset);
}

void PinWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

void PinWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        close();
}

void PinWindow::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        setZoom(m_zoom * std::pow(1.1, steps));
    event->accept();
}

void PinWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else if (event->matches(QKeySequence::Copy))
        copy();
    else
        QWidget::keyPressEvent(event);
}

void PinWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // Not exec(): the pin may be closed while its menu is open, and the menu is its child.
    if (!m_menu)
        m_menu = buildMenu();
    m_menu->popup(event->globalPos());
}

QMenu *PinWindow::buildMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(u"pinMenu_"_s);
    menu->addAction(u"复制"_s, this, &PinWindow::copy);
    menu->addAction(u"保存"_s, this, &PinWindow::save);
    QMenu *opacity = menu->addMenu(u"不透明度"_s);
    auto *group = new QActionGroup(opacity);
    for (int percent : {100, 80, 60, 40}) {
        QAction *action = opacity->addAction(u"%1%"_s.arg(percent));
        action->setCheckable(true);
        action->setChecked(percent == 100);
        action->setData(percent);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, percent] { setOpacityPercent(percent); });
    }
    menu->addAction(u"原始大小"_s, this, [this] { setZoom(1); });
    menu->addSeparator();
    menu->addAction(u"关闭"_s, this, &QWidget::close);
    return menu;
}

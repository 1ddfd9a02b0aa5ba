#include "MiniMainDialog.h"

#include "GlobalSettings.h"
#include "ScreenPosition.h"
#include "ShowHideHotKey.h"
#include "WindowEffects.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {
const QString kProductName = u"Quorvik桌面助手"_s;
const QString kLogo = u":/icon/logo48"_s;
} // namespace

const QPixmap &MiniMainDialog::logo()
{
    if (m_logo.isNull())
        m_logo = QPixmap(kLogo);
    return m_logo;
}

MiniMainDialog::MiniMainDialog()
    : FramelessDialog(nullptr)
{
    setObjectName(u"MiniMainDialog"_s);
    resize(96, 80);
    setMinimumSize(80, 80);
    setMaximumSize(96, 80);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setWindowOpacity(1.0);
    setAutoFillBackground(false);
    setStyleSheet(QString());
    auto *horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(u"horizontalLayout"_s);
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    setWindowTitle(kProductName);
    setToolTip(kProductName);
    // The window is a tool window that is hardly ever active; Qt shows tool tips of inactive
    // windows only when asked to.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    connect(this, &QWidget::customContextMenuRequested, this, &MiniMainDialog::onContextMenu);
    QCoreApplication::instance()->installEventFilter(this);

    setWindowFlags(windowFlags() | Qt::Tool | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);

    // The size from the picture's header; the picture itself is decoded when first shown.
    resize(QImageReader(kLogo).size());

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        move(desktop.x() + desktop.width() - 150, desktop.y() + desktop.height() / 2);
    }
}

bool MiniMainDialog::event(QEvent *event)
{
    // Written when it is about to show, so it names the hot key chosen last.
    if (event->type() == QEvent::ToolTip) {
        const QString key = ShowHideHotKey::displayText(GlobalSettings::instance()->hotKey());
        setToolTip(key.isEmpty() ? kProductName : kProductName + u"\n显示/隐藏主窗口："_s + key);
    }
    return FramelessDialog::event(event);
}

int MiniMainDialog::hitTest(const QPoint &) const
{
    return HitNowhere;
}

void MiniMainDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, logo());
}

void MiniMainDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void MiniMainDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QDialog::mouseMoveEvent(event);
        return;
    }
    move(event->globalPosition().toPoint() - dragOffset);
    event->accept();
}

void MiniMainDialog::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit toggleRequested();
}

void MiniMainDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape would close it behind the main window's back, leaving the setting and the menu text
    // saying it is shown.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    FramelessDialog::keyPressEvent(event);
}

bool MiniMainDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Qt closes every window when the application quits; those closes must neither be refused
    // nor taken for the user's 隐藏浮窗.
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        m_applicationQuitting = true;
    return FramelessDialog::eventFilter(watched, event);
}

void MiniMainDialog::closeEvent(QCloseEvent *event)
{
    if (m_applicationQuitting) {
        FramelessDialog::closeEvent(event);
        return;
    }
    // Closed by the window manager (Alt+F4): the same as 隐藏浮窗, so that the setting and the
    // menu entry keep telling the truth.
    event->ignore();
    emit hideRequested();
}

void MiniMainDialog::showEvent(QShowEvent *event)
{
    FramelessDialog::showEvent(event);
    // Show events come before the window is mapped, which is when the window manager reads this.
    winId();
    WindowEffects::skipTaskbar(windowHandle());
    // Without a compositing manager the transparent corners would show black: cut the window
    // to the logo's shape instead (checked at each showing, as a compositor may come and go).
    if (WindowEffects::composited())
        clearMask();
    else
        setMask(QBitmap::fromImage(logo().toImage().createAlphaMask()));
}

void MiniMainDialog::onContextMenu(const QPoint &pos)
{
    emit menuRequested(ScreenPosition::toScreen(this, pos));
}

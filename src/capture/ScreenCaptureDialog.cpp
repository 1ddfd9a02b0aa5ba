#include "ScreenCaptureDialog.h"

#include "DesktopGrab.h"
#include "KnownFolders.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString kImageFilter = u"图像文件 (*.png);;图像文件 (*.jpg);;图像文件 (*.bmp)"_s;

ScreenCaptureDialog::SaveFileNameProvider &saveFileNameProvider()
{
    static ScreenCaptureDialog::SaveFileNameProvider provider =
        [](QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
           QString *selectedFilter) {
            return QFileDialog::getSaveFileName(parent, caption, suggested, filter, selectedFilter);
        };
    return provider;
}

// "图像文件 (*.jpg)" -> "jpg"; png when the filter names nothing.
QString suffixOfFilter(const QString &filter)
{
    const QRegularExpressionMatch match = QRegularExpression(u"\\*\\.(\\w+)"_s).match(filter);
    return match.hasMatch() ? match.captured(1) : u"png"_s;
}

} // namespace

ScreenCaptureDialog::ScreenCaptureDialog(QWidget *parent)
    : ScreenCaptureDialog(DesktopGrab::grabAll(), DesktopGrab::virtualGeometry(),
                          DesktopGrab::screenGeometries(), parent)
{
    // With one screen the window manager's full-screen state also lifts the overlay above
    // panels; several screens are covered by the geometry alone, which full-screen would undo.
    if (m_screens.size() == 1)
        setWindowState(Qt::WindowFullScreen);
}

ScreenCaptureDialog::ScreenCaptureDialog(const QPixmap &screenshot, const QRect &area,
                                         const QList<QRect> &screens, QWidget *parent)
    : QDialog(parent), m_screenshot(screenshot)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    m_selection = QRect();
    setupForm();
    setGeometry(area);
    for (const QRect &screen : screens)
        m_screens.append(screen.translated(-area.topLeft()));
    toolbar_->hide();
    // The picture covers the whole window; nothing needs to be cleared under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScreenCaptureDialog::setupForm()
{
    setObjectName(u"ScreenCaptureDialog"_s);
    setWindowTitle(u"screen_capture_widget"_s);
    resize(400, 300);
    setWindowModality(Qt::WindowModal);
    setCursor(Qt::CrossCursor);

    toolbar_ = new QWidget(this);
    toolbar_->setObjectName(u"toolbar_"_s);
    toolbar_->setGeometry(80, 70, 162, 26);
    // Keeps the arrow over the buttons while the overlay shows the cross.
    toolbar_->setCursor(Qt::ArrowCursor);
    toolbar_->setAttribute(Qt::WA_StyledBackground);
    toolbar_->setStyleSheet(
        u"QWidget{background-color: rgba(222, 238, 255, 255);border: 1px solid rgb(78,153,210);}\n"
        u"QToolButton{background-color: rgba(209, 226, 242, 0);border:0px;}QToolButton:hover{background-color: rgba(165, 225, 253, 255);border:0px;}QToolButton:pressed{background-color: rgba(165, 225, 253, 255);border:0px;}QToolButton:checked{background-color: rgba(165, 225, 253, 255);border:0px;}\n"
        u"QLabel{border:0px;}"_s);

    auto *row = new QHBoxLayout(toolbar_);
    row->setObjectName(u"horizontalLayout"_s);
    row->setContentsMargins(5, 1, 1, 1);

    size_ = new QLabel(toolbar_);
    size_->setObjectName(u"size_"_s);
    QFont font = size_->font();
    font.setPointSize(9);
    size_->setFont(font);
    QPalette palette = size_->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    size_->setPalette(palette);
    size_->setStyleSheet(u"QLabel{border:0px;color: rgb(0, 0, 255);}"_s);
    size_->setText(u"1024 X 1024"_s);
    row->addWidget(size_);

    copy_ = makeToolButton(u"copy_"_s, u":/icon/icon_copy"_s, QSize(20, 17), u"复制到剪切板"_s);
    save_ = makeToolButton(u"save_"_s, u":/icon/icon_save"_s, QSize(15, 17), u"保存文件"_s);
    share_ = makeToolButton(u"share_"_s, u":/icon/icon_mini_weibo"_s, QSize(24, 24), u"分享到微博"_s);
    close_ = makeToolButton(u"close_"_s, u":/icon/screencut_close"_s, QSize(16, 16), u"关闭截图"_s);
    for (QToolButton *button : {copy_, save_, share_, close_})
        row->addWidget(button);

    connect(copy_, &QToolButton::clicked, this, &ScreenCaptureDialog::onCopy);
    connect(save_, &QToolButton::clicked, this, &ScreenCaptureDialog::onSave);
    connect(share_, &QToolButton::clicked, this, &ScreenCaptureDialog::onShare);
    connect(close_, &QToolButton::clicked, this, &ScreenCaptureDialog::close);
}

QToolButton *ScreenCaptureDialog::makeToolButton(const QString &objectName, const QString &icon,
                                                 const QSize &iconSize, const QString &toolTip)
{
    auto *button = new QToolButton(toolbar_);
    button->setObjectName(objectName);
    button->setFixedSize(24, 24);
    button->setAutoRaise(true);
    button->setIcon(QIcon(icon));
    button->setIconSize(iconSize);
    button->setToolTip(toolTip);
    return button;
}

bool ScreenCaptureDialog::hasSelection() const
{
    return m_selection.isValid() && !m_selection.isNull();
}

QPixmap ScreenCaptureDialog::selectedPixmap() const
{
    if (!hasSelection())
        return QPixmap();
    const qreal ratio = m_screenshot.devicePixelRatio();
    QPixmap part = m_screenshot.copy(DesktopGrab::toPixels(m_selection, ratio));
    part.setDevicePixelRatio(ratio);
    return part;
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
    // Milliseconds without leading zeros (…-33-5, …-33-50); Qt 6's "z" would write 005 and 05.
    return time.toString(u"yyyy-MM-dd hh-mm-ss-"_s) + QString::number(time.time().msec()) + u".png"_s;
}

QString ScreenCaptureDialog::suggestedFilePath(const QDateTime &time)
{
    QString folder = KnownFolders::desktop();
    if (!QFileInfo(folder).isDir() || folder == QDir::homePath()) {
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
            folder = pictures;
        else if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    return QDir(folder).filePath(suggestedFileName(time));
}

void ScreenCaptureDialog::setSaveFileNameProvider(SaveFileNameProvider provider)
{
    saveFileNameProvider() = std::move(provider);
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
    if (hasSelection())
        QApplication::clipboard()->setPixmap(selectedPixmap(), QClipboard::Clipboard);
}

void ScreenCaptureDialog::onSave()
{
    QString selectedFilter;
    QString path = saveFileNameProvider()(this, u"保存图片"_s,
                                          suggestedFilePath(QDateTime::currentDateTime()),
                                          kImageFilter, &selectedFilter);
    if (path.isEmpty())
        return;
    // A name typed without a suffix gets the one of the chosen file type.
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffixOfFilter(selectedFilter);
    saveSelection(path);
}

bool ScreenCaptureDialog::saveSelection(const QString &path) const
{
    if (!hasSelection())
        return false;
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(format))
        return false;
    // Written aside and renamed, so a failed write never leaves a broken file in place of an old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, format);
    writer.setQuality(100);
    if (!writer.write(selectedPixmap().toImage())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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

QRect ScreenCaptureDialog::screenAround(const QRect &selection) const
{
    const QPoint corner = selection.bottomLeft();
    for (const QRect &screen : m_screens) {
        if (screen.contains(corner))
            return screen;
    }
    return QRect(QPoint(0, 0), m_screenshot.deviceIndependentSize().toSize());
}

void ScreenCaptureDialog::placeToolbar()
{
    toolbar_->move(toolbarPosition(m_selection, toolbar_->size(), screenAround(m_selection)));
    const QSize pixels = DesktopGrab::toPixels(m_selection, m_screenshot.devicePixelRatio()).size();
    size_->setText(u"%1×%2"_s.arg(pixels.width()).arg(pixels.height()));
    toolbar_->show();
    toolbar_->raise();
    share_->hide();
}

void ScreenCaptureDialog::clearSelection()
{
    update(m_selection.adjusted(0, 0, 1, 1));
    m_selection = QRect();
    m_captureState = Idle;
    toolbar_->hide();
    setCursor(Qt::CrossCursor);
}

void ScreenCaptureDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_captureState != Idle)
        return;
    m_captureState = Selecting;
    m_selection = QRect();
    m_pressPoint = event->position().toPoint();
    toolbar_->hide();
}

void ScreenCaptureDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (m_captureState == Selecting)
        updateSelection(event->position().toPoint());
}

void ScreenCaptureDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_captureState == Selecting) {
        if (updateSelection(event->position().toPoint())) {
            m_captureState = Selected;
            placeToolbar();
            setCursor(Qt::ArrowCursor);
        } else {
            m_selection = QRect();
            m_captureState = Idle;
        }
    } else if (event->button() == Qt::RightButton) {
        if (m_captureState == Idle)
            reject();
        else if (m_captureState == Selected)
            clearSelection();
    }
}

void ScreenCaptureDialog::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    if (m_captureState != Selected || !hasSelection())
        return;
    onCopy();
    onSave();
    clearSelection();
    accept();
}

void ScreenCaptureDialog::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, 0, m_screenshot);
    if (hasSelection()) {
        painter.setPen(QColor(255, 0, 0));
        painter.drawRect(m_selection);
    }
}

void ScreenCaptureDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The overlay takes the keyboard so Escape closes it even when another window was active.
    raise();
    activateWindow();
}

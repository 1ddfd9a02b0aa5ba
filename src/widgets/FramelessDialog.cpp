#include "FramelessDialog.h"

#include "GlobalSettings.h"
#include "ProgramFont.h"
#include "ScreenPosition.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

FramelessDialog::FramelessDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    // The main window is hidden most of the time; closing any dialog must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
}

int FramelessDialog::hitTest(const QPoint &globalPos) const
{
    if (!geometry().contains(globalPos))
        return HitNowhere;
    return childAt(ScreenPosition::toWindow(this, globalPos)) ? HitNowhere : HitCaption;
}

namespace {

void paintWithPicture(QWidget *widget, const QString &fileName)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window,
                     QBrush(QPixmap(GlobalSettings::instance()->resourcesDirectory() + fileName)));
    widget->setPalette(palette);
}

// Decodes a background picture when its widget is first shown, right before its first paint:
// windows and pages made ahead of time, or never shown, cost no decoding.
class PictureOnFirstShow : public QObject
{
public:
    PictureOnFirstShow(QWidget *widget, const QString &fileName)
        : QObject(widget)
        , m_fileName(fileName)
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            paintWithPicture(static_cast<QWidget *>(watched), m_fileName);
            deleteLater();
        }
        return false;
    }

private:
    QString m_fileName;
};

} // namespace

void FramelessDialog::setBackgroundImage(QWidget *widget, const QString &fileName)
{
    if (!widget->isWindow())
        widget->setAutoFillBackground(true);
    if (widget->isVisible())
        paintWithPicture(widget, fileName);
    else
        new PictureOnFirstShow(widget, fileName);
}

QToolButton *FramelessDialog::makeCloseButton(QWidget *parent)
{
    auto *close = new QToolButton(parent);
    close->setObjectName(u"close_"_s);
    close->setAutoRaise(true);
    close->setIcon(QIcon(u":/icon/icon_close"_s));
    close->setIconSize(QSize(12, 12));
    close->setToolTip(u"关闭"_s);
    return close;
}

FramelessDialog::CloseBar FramelessDialog::addCloseBar(QVBoxLayout *layout)
{
    auto *widget = new QWidget(this);
    widget->setObjectName(u"widget_"_s);
    auto *horizontalLayout_3 = new QHBoxLayout(widget);
    horizontalLayout_3->setObjectName(u"horizontalLayout_3"_s);
    horizontalLayout_3->setContentsMargins(0, 0, 0, 0);
    QToolButton *close = makeCloseButton(widget);
    horizontalLayout_3->addWidget(close, 0, Qt::AlignTop);
    layout->addWidget(widget, 0, Qt::AlignRight);
    return {widget, close};
}

FramelessDialog::DialogFrame FramelessDialog::buildDialogFrame(const QString &name, const QString &title,
                                                               int leftMargin)
{
    setObjectName(name);
    setWindowTitle(title);
    resize(640, 480);
    setMinimumSize(640, 480);
    setBackgroundImage(this, u"bg_dialog.png"_s);

    // Beside the logo in the picture's 40-pixel band; the band stays a handle to drag by.
    auto *caption = new QLabel(title, this);
    caption->setObjectName(u"caption_"_s);
    caption->setFont(ProgramFont::sans(11));
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    caption->setPalette(palette);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    caption->move(44, 0);
    caption->resize(caption->sizeHint().width(), 40);

    auto *verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(u"verticalLayout"_s);
    verticalLayout->setContentsMargins(leftMargin, 0, 0, 0);
    return {verticalLayout, addCloseBar(verticalLayout)};
}

void FramelessDialog::mousePressEvent(QMouseEvent *event)
{
    const QPoint globalPos = event->globalPosition().toPoint();
    if (event->button() != Qt::LeftButton || hitTest(globalPos) != HitCaption) {
        QDialog::mousePressEvent(event);
        return;
    }
    event->accept();
    // The window moves itself rather than through QWindow::startSystemMove: on X11 Qt can hand
    // the window manager a press position from a stale window geometry right after the window's
    // first showing, and the window then lands off by its own position.
    m_manualDrag = true;
    m_dragOffset = globalPos - frameGeometry().topLeft();
}

void FramelessDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (m_manualDrag && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void FramelessDialog::mouseReleaseEvent(QMouseEvent *event)
{
    m_manualDrag = false;
    QDialog::mouseReleaseEvent(event);
}

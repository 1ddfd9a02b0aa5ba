#include "FramelessDialog.h"

#include "GlobalSettings.h"

#include <QMouseEvent>
#include <QPixmap>
#include <QWindow>

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
    return childAt(mapFromGlobal(globalPos)) ? HitNowhere : HitCaption;
}

void FramelessDialog::setBackgroundImage(QWidget *widget, const QString &fileName)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window,
                     QBrush(QPixmap(GlobalSettings::instance()->resourcesDirectory() + fileName)));
    widget->setPalette(palette);
    if (!widget->isWindow())
        widget->setAutoFillBackground(true);
}

void FramelessDialog::mousePressEvent(QMouseEvent *event)
{
    const QPoint globalPos = event->globalPosition().toPoint();
    if (event->button() != Qt::LeftButton || hitTest(globalPos) != HitCaption) {
        QDialog::mousePressEvent(event);
        return;
    }
    event->accept();
    QWindow *window = windowHandle();
    if (window && window->startSystemMove())
        return;
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

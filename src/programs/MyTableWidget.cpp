#include "MyTableWidget.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

MyTableWidget::MyTableWidget(QWidget *parent)
    : QTableWidget(parent)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void MyTableWidget::setCellWidget(int row, int column, QWidget *widget)
{
    if (!cellWidget(row, column))
        ++m_cellCount;
    QTableWidget::setCellWidget(row, column, widget);
}

void MyTableWidget::clearCellWidget(int row, int column)
{
    if (cellWidget(row, column))
        --m_cellCount;
    removeCellWidget(row, column);
}

void MyTableWidget::mousePressEvent(QMouseEvent *event)
{
    // Cells are buttons; the table itself neither selects nor starts drags.
    event->accept();
}

void MyTableWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if ((event->buttons() | event->button()) & Qt::RightButton
        && contextMenuPolicy() == Qt::CustomContextMenu)
        emit customContextMenuRequested(event->position().toPoint());
}

bool MyTableWidget::viewportEvent(QEvent *event)
{
    // The release above already asks for the menu; a mouse context-menu event (sent on the
    // press on X11) would pop up a second one.
    if (event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return true;
    }
    return QTableWidget::viewportEvent(event);
}

// A table of widget cells filled without gaps, with the context menu on the right-button release.
#pragma once

#include <QTableWidget>

class MyTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    explicit MyTableWidget(QWidget *parent = nullptr);

    // Number of occupied cells.
    int cellCount() const { return m_cellCount; }

    // Puts widget in the cell; the count grows only when the cell was empty.
    void setCellWidget(int row, int column, QWidget *widget);
    // Empties the cell (its widget is deleted); the count shrinks only when it was occupied.
    void clearCellWidget(int row, int column);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

    int m_cellCount = 0;
};

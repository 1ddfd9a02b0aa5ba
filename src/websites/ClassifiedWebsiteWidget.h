// One category block of the website page: a title cell and an eight-column grid of website buttons.
#pragma once

#include "WebsiteCategory.h"

#include <QWidget>

struct XmlNode;
class QLabel;
class QTableWidget;
class QToolButton;

class ClassifiedWebsiteWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 8;

    explicit ClassifiedWebsiteWidget(QWidget *parent = nullptr);

    // Reads a category element of the remote list; false (nothing changed) when it has no title.
    bool setCategory(const XmlNode &element);
    // Takes a category as it is.
    void setCategory(const WebsiteCategory &category);
    const WebsiteCategory &category() const { return m_category; }

    // Creates the layout, title cell and grid, filled from the category; call once.
    bool build();

    // Appends an entry and its button; the grid grows by a row when the last one is full.
    void addEntry(const WebsiteEntry &entry);
    // Replaces entry index and its button; ignored when index is out of range.
    void modifyEntry(int index, const WebsiteEntry &entry);
    // Removes entry index and renumbers the buttons after it; ignored when index is out of range.
    void deleteEntry(int index);

    // The grid (null before build()).
    QTableWidget *grid() const { return m_grid; }
    // The index of the website whose button covers pos (block coordinates), or -1. Also makes the
    // cell where the search stopped the grid's current cell.
    int hitTest(const QPoint &pos);

    // How many blocks were built in this process; the next block is white when even.
    static int blockColorCounter();
    // Gives back the colours of the last count blocks built, when they are removed again, so that
    // the blocks built in their place go on alternating.
    static void releaseBlockColors(int count);

signals:
    void websiteClicked(const WebsiteEntry &entry);

public slots:
    void onToolButtonClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void fillGrid();
    void placeButton(int index);
    void updateGridHeight();

    WebsiteCategory m_category;
    QLabel *m_title = nullptr;
    QTableWidget *m_grid = nullptr;
};

// A captured picture pinned on the screen: frameless, on top, dragged, zoomed with the wheel,
// made translucent, copied or saved from its menu, closed with Escape or a double click.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QMenu;

class PinWindow : public QWidget
{
    Q_OBJECT

public:
    // Shows picture (at its device pixel ratio) with its top-left pixel at topLeft, in global
    // logical coordinates. The window deletes itself when closed, and at the latest when the
    // program quits.
    PinWindow(const QPixmap &picture, const QPoint &topLeft);
    ~PinWindow() override;

    const QPixmap &picture() const { return m_picture; }
    // Where the picture is shown inside the window (inside the one-pixel frame).
    QRect pictureRect() const;
    qreal zoom() const { return m_zoom; }
    // Shows the picture at factor times its size (between 10% and 500%); the top-left stays.
    void setZoom(qreal factor);
    // The pins open now.
    static QList<PinWindow *> openPins();
    // Closes every pin (the program's end).
    static void closeAll();

public slots:
    void copy();
    void save();
    void setOpacityPercent(int percent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QMenu *buildMenu();

    QPixmap m_picture;
    qreal m_zoom = 1;
    bool m_dragging = false;
    QPoint m_dragOffset;
    QPointer<QMenu> m_menu;
};

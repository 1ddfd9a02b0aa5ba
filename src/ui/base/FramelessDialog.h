// Base of the borderless windows: no frame, never ends the program, dragged by its bare background.
#pragma once

#include <QDialog>
#include <QPoint>

class FramelessDialog : public QDialog
{
    Q_OBJECT

public:
    // Hit-test answers, with the values the native caption test uses.
    enum HitTestCode { HitNowhere = 0, HitCaption = 2 };

    explicit FramelessDialog(QWidget *parent = nullptr);

    // Decides whether a press at a screen position drags the window: HitCaption when the point
    // is inside the window and no child widget covers it, HitNowhere otherwise.
    virtual int hitTest(const QPoint &globalPos) const;

    // Paints widget's background with a picture of the Resources folder (auto-filled for children).
    static void setBackgroundImage(QWidget *widget, const QString &fileName);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Offset of the press from the window's corner while the window moves itself; used when the
    // window system cannot move the window for us.
    QPoint m_dragOffset;
    bool m_manualDrag = false;
};

// Base of the borderless windows: no frame, never ends the program, dragged by its bare background.
#pragma once

#include <QDialog>
#include <QPoint>

class QToolButton;
class QVBoxLayout;

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

    // Paints widget's background with a picture of the Resources folder (auto-filled for children),
    // decoded when the widget is first shown.
    static void setBackgroundImage(QWidget *widget, const QString &fileName);

    // The close button every borderless dialog carries: "close_", auto-raise, the close icon at
    // 12 × 12 and the tool tip "关闭". The caller places and connects it.
    static QToolButton *makeCloseButton(QWidget *parent);

protected:
    // The close bar of the full-size dialogs: "widget_" holding close_ at its top, added to the
    // layout aligned right, so the rest of the top edge stays bare background to drag by.
    struct CloseBar {
        QWidget *widget;
        QToolButton *close;
    };
    CloseBar addCloseBar(QVBoxLayout *layout);

    // The frame of the 640 × 480 dialogs (settings, about): object name, the Chinese window title
    // (also written in the picture's blue title band), size (also the minimum), the picture
    // "bg_dialog.png", "verticalLayout" with the given left margin and the close bar at its top.
    // The body goes into the returned layout below the bar.
    struct DialogFrame {
        QVBoxLayout *layout;
        CloseBar closeBar;
    };
    DialogFrame buildDialogFrame(const QString &name, const QString &title, int leftMargin);

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Offset of the press from the window's corner while the window is dragged by its caption.
    QPoint m_dragOffset;
    bool m_manualDrag = false;
};

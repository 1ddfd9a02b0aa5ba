// The small always-on-top floating logo: drag it, double-click to show or hide the main window.
// It knows nothing of the main window: it asks through its signals, which the main window answers.
#pragma once

#include "FramelessDialog.h"

#include <QPixmap>

class MiniMainDialog : public FramelessDialog
{
    Q_OBJECT

public:
    // No parent: a window of its own, on top of the others.
    MiniMainDialog();

    // Moves by its own mouse handling, so the base never treats a press as a caption drag.
    int hitTest(const QPoint &globalPos) const override;

signals:
    // A left double click: show or hide the main window.
    void toggleRequested();
    // A right click: the floating-window menu, at a screen position.
    void menuRequested(const QPoint &globalPos);
    // Closed by the window manager (Alt+F4): the same as choosing 隐藏浮窗.
    void hideRequested();

public slots:
    void onContextMenu(const QPoint &pos);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const QPixmap &logo();

    QPixmap m_logo;
    QPoint dragOffset;
    // Set once the application has begun to quit (it then closes every window).
    bool m_applicationQuitting = false;
};

// The small always-on-top floating logo: drag it, double-click to show or hide the main window.
#pragma once

#include "FramelessDialog.h"

#include <QPixmap>

class MainDialog;
class QMenu;

class MiniMainDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit MiniMainDialog(MainDialog *mainDialog);

    // The floating-window menu; created by the main window on the first right click.
    QMenu *contextMenu = nullptr;

    // Moves by its own mouse handling, so the base never treats a press as a caption drag.
    int hitTest(const QPoint &globalPos) const override;

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
    MainDialog *mainDialog;
    QPixmap m_logo;
    QPoint dragOffset;
    // Set once the application has begun to quit (it then closes every window).
    bool m_applicationQuitting = false;
};

// The first-run message beside the tray icon, kept clear of the screen's edges.
#pragma once

#include <QFrame>

class TrayBalloon : public QFrame
{
    Q_OBJECT

public:
    // Shows title and text beside the tray icon at icon (screen coordinates) for msecs, then goes.
    static TrayBalloon *showNear(const QRect &icon, const QString &title, const QString &text, int msecs);

    // Top-left corner for a balloon of size beside icon: above an icon in the lower half of area
    // (else below), its right end a little past the icon's centre, and kMargin inside area.
    static QPoint placement(const QRect &icon, const QSize &size, const QRect &area);

    static constexpr int kMargin = 12;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    TrayBalloon(const QString &title, const QString &text);
};

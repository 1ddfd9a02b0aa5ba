// A picture of the whole virtual desktop, at the full pixel resolution of its screens.
#pragma once

#include <QList>
#include <QPixmap>
#include <QRect>

namespace DesktopGrab {

// One screen's picture and where the screen lies on the desktop (logical coordinates).
struct ScreenShot
{
    QRect geometry;
    QPixmap pixmap;
};

// The logical rectangle covered by all screens together.
QRect virtualGeometry();
// The logical rectangle of every screen.
QList<QRect> screenGeometries();
// Grabs every screen and joins the pictures; the result covers virtualGeometry().
QPixmap grabAll();
// Joins screen pictures into one covering area. Its device pixel ratio is the highest of the
// screens', so no screen loses resolution; uncovered parts of area stay black.
QPixmap compose(const QList<ScreenShot> &shots, const QRect &area);
// The pixel rectangle of pixmap that shows the logical rectangle rect (edges rounded, so
// neighbouring rectangles share no pixel and leave none out).
QRect toPixels(const QRect &rect, qreal devicePixelRatio);

} // namespace DesktopGrab

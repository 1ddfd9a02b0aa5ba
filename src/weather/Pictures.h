// Fits the page's pictures to their labels, sharp on high-density screens.
#pragma once

#include <QPixmap>

class QWidget;

// pixmap stretched to target's size (aspect ignored, smooth), in target's device pixels.
QPixmap fitPicture(const QPixmap &pixmap, const QWidget *target);

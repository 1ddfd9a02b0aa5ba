// Helpers shared by the capture tests: a desktop picture that catches shifted copies, and mouse input.
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

// Every pixel differs from its neighbours, so a shifted or resampled copy is caught.
inline QImage patternImage(const QSize &pixels, qreal ratio = 1)
{
    QImage image(pixels, QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            line[x] = qRgb(x & 0xff, y & 0xff, ((x >> 8) << 4 | (y >> 8)) & 0xff);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

// Sends one mouse event at pos: a press holds button, a move holds held, a release holds none.
inline void mouse(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::MouseButtons held = Qt::LeftButton)
{
    Qt::MouseButtons buttons = button;
    if (type == QEvent::MouseButtonRelease)
        buttons = Qt::NoButton;
    if (type == QEvent::MouseMove) {
        buttons = held;
        button = Qt::NoButton;
    }
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

// A left-button drag from from to to, through the middle.
inline void drag(QWidget *w, const QPoint &from, const QPoint &to)
{
    mouse(w, QEvent::MouseButtonPress, from);
    mouse(w, QEvent::MouseMove, (from + to) / 2);
    mouse(w, QEvent::MouseMove, to);
    mouse(w, QEvent::MouseButtonRelease, to);
}

// The full-screen capture overlay: drag out a rectangle of the desktop, adjust it, mark it up,
// then copy, save or pin it.
#pragma once

#include "AnnotationModel.h"
#include "SelectionGeometry.h"

#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QPointer>

class AnnotationTextEdit;
class CaptureToolbar;
class QScreen;

class ScreenCaptureDialog : public QDialog
{
    Q_OBJECT

public:
    enum CaptureState { Idle = 0, Selecting = 1, Selected = 2 };

    // Photographs every screen now, before the overlay is shown, and covers them all.
    explicit ScreenCaptureDialog(QWidget *parent = nullptr);
    // An overlay over a given picture of the desktop; area is where it lies (logical coordinates),
    // screens the parts of area that are screens. Tests use it to know the picture.
    ScreenCaptureDialog(const QPixmap &screenshot, const QRect &area, const QList<QRect> &screens,
                        QWidget *parent = nullptr);

    int captureState() const { return m_captureState; }
    // The selected rectangle in overlay coordinates; null when there is none.
    QRect selection() const { return m_selection; }
    bool hasSelection() const;
    const QPixmap &screenshot() const { return m_screenshot; }
    // The selected part of the screenshot with its annotations, at the screens' full resolution.
    QPixmap selectedPixmap() const;
    // Writes the selected part to path in the format of its suffix; false when nothing was written.
    bool saveSelection(const QString &path) const;
    // The annotations drawn on the selection (in its coordinates), with their undo history.
    AnnotationModel &annotations() { return m_annotations; }
    // The colour under the cursor as the magnifier shows it; invalid before the mouse moved.
    QColor colorUnderCursor() const;

    // The selection spanned by two points: from (min, min) to (max - 1, max - 1). ok tells whether
    // it is at least one pixel wide and high.
    static QRect selectionFromPoints(const QPoint &press, const QPoint &current, bool *ok);
    // Where the toolbar goes for a selection: below it, else above it, else inside its bottom edge;
    // always kept inside screen horizontally.
    static QPoint toolbarPosition(const QRect &selection, const QSize &toolbar, const QRect &screen);
    // "yyyy-MM-dd hh-mm-ss-z.png" for the given time.
    static QString suggestedFileName(const QDateTime &time);
    // The user's desktop folder (or pictures, or home when there is none) and the time-stamp name.
    static QString suggestedFilePath(const QDateTime &time);

signals:
    void requestLoginWeibo(QWidget *parent);

public slots:
    void onShare();
    void onSave();
    void onCopy();
    void onWeiboLogin();
    // Puts the selected picture on the screen in a pin window and closes the overlay.
    void onPin();
    void onUndo();
    void onRedo();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    enum Drag { NoDrag, Adjusting, Drawing };

    void setupForm();
    bool updateSelection(const QPoint &current);
    void setSelection(const QRect &selection);
    void placeToolbar();
    void clearSelection();
    QRect screenAround(const QRect &selection) const;
    QRect screenAt(const QPoint &point) const;
    void onAnnotationsChanged();
    void onScreenRemoved(QScreen *screen);

    void startAnnotation(const QPoint &point);
    void extendAnnotation(const QPoint &point);
    void finishText();
    void updateCursor(const QPoint &point);
    void moveCursorMark(const QPoint &point);
    bool magnifierShown() const;
    QRect magnifierRect() const;
    // Where the hint line goes: at the top of the screen the cursor was on when the overlay opened.
    QRect hintRect(const QRect &screen) const;
    // The selected part of the screenshot with the finished annotations, cached until either changes.
    const QImage &composed() const;
    void invalidateComposed();

    CaptureToolbar *toolbar_ = nullptr;

    QPixmap m_screenshot;
    QImage m_picture;
    // Screens in overlay coordinates, so the toolbar stays on the screen of its selection.
    QList<QRect> m_screens;
    int m_captureState = Idle;
    QRect m_selection;
    QPoint m_pressPoint;

    bool m_pressedOnce = false;
    QRect m_hint;
    QPoint m_cursor;
    bool m_cursorKnown = false;
    Drag m_drag = NoDrag;
    SelectionGeometry::Handle m_handle = SelectionGeometry::None;
    QRect m_dragStart;
    AnnotationModel m_annotations;
    // The annotation being drawn, and the text one being typed.
    Annotation m_current;
    Annotation m_text;
    QPointer<AnnotationTextEdit> m_textEdit;
    mutable QImage m_composed;
};

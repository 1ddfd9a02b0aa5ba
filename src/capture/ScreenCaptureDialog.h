// The full-screen capture overlay: drag out a rectangle of the desktop, then copy or save it.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QPixmap>

#include <functional>

class QLabel;
class QToolButton;

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
    // The selected part of the screenshot at the screens' full pixel resolution.
    QPixmap selectedPixmap() const;
    // Writes the selected part to path in the format of its suffix; false when nothing was written.
    bool saveSelection(const QString &path) const;

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

    // Asks for the file to save to; returns an empty string when cancelled. Replaceable so tests
    // answer without a dialog.
    using SaveFileNameProvider = std::function<QString(QWidget *parent, const QString &caption,
                                                       const QString &suggested,
                                                       const QString &filter, QString *selectedFilter)>;
    static void setSaveFileNameProvider(SaveFileNameProvider provider);

signals:
    void requestLoginWeibo(QWidget *parent);

public slots:
    void onShare();
    void onSave();
    void onCopy();
    void onWeiboLogin();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setupForm();
    QToolButton *makeToolButton(const QString &objectName, const QString &icon, const QSize &iconSize,
                                const QString &toolTip);
    bool updateSelection(const QPoint &current);
    void placeToolbar();
    void clearSelection();
    QRect screenAround(const QRect &selection) const;

    QWidget *toolbar_ = nullptr;
    QLabel *size_ = nullptr;
    QToolButton *copy_ = nullptr;
    QToolButton *save_ = nullptr;
    QToolButton *share_ = nullptr;
    QToolButton *close_ = nullptr;

    QPixmap m_screenshot;
    // Screens in overlay coordinates, so the toolbar stays on the screen of its selection.
    QList<QRect> m_screens;
    int m_captureState = Idle;
    QRect m_selection;
    QPoint m_pressPoint;
};

// The panel under a capture selection: size label, drawing tools, undo/redo, pin, copy, save, close;
// a second row with colours and line widths shows while a drawing tool is chosen.
#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QToolButton;

class CaptureToolbar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kNoTool = -1;

    explicit CaptureToolbar(QWidget *parent = nullptr);

    // The chosen drawing tool (an Annotation::Kind), or kNoTool.
    int tool() const;
    void setTool(int tool);
    QColor color() const;
    // 0 thin, 1 medium, 2 thick.
    int lineSize() const;
    void setSizeText(const QString &text);
    void setHistory(bool canUndo, bool canRedo);

    // The colours offered, the first one chosen at the start.
    static QList<QColor> palette();

signals:
    void copyClicked();
    void saveClicked();
    void shareClicked();
    void closeClicked();
    void pinClicked();
    void undoClicked();
    void redoClicked();
    void toolChanged(int tool);
    // The options row was shown or hidden: the panel changed its size.
    void resized();

private:
    void buildActionRow();
    void buildOptionsRow();
    QToolButton *makeToolButton(QWidget *parent, const QString &objectName, const QIcon &icon,
                                const QSize &iconSize, const QString &toolTip);
    void onToolClicked(int id);

    QLabel *size_ = nullptr;
    QWidget *options_ = nullptr;
    QButtonGroup *m_tools = nullptr;
    QButtonGroup *m_colors = nullptr;
    QButtonGroup *m_sizes = nullptr;
    QToolButton *undo_ = nullptr;
    QToolButton *redo_ = nullptr;
    int m_tool = kNoTool;
};

// The editor a text annotation is typed in, in place on the capture; input methods work in it.
#pragma once

#include <QPlainTextEdit>

class AnnotationTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    // An empty editor with its text's top-left at topLeft (parent coordinates), in the font and
    // colour the annotation will have.
    AnnotationTextEdit(const QPoint &topLeft, int size, const QColor &color, QWidget *parent);

signals:
    // Return (Shift+Return starts a new line), Escape or a click elsewhere ends the typing.
    void finished();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void fitText();
    bool m_finished = false;
};

// The frame the two small editors share (a website, a program): a borderless tool window of
// 640 × 150 on the small dialog picture, modal, with a close button at the top right and two
// centred rows, each a caption and a line edit, the confirm button closing the second row.
#pragma once

#include "FramelessDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class EditorDialog : public FramelessDialog
{
    Q_OBJECT

protected:
    EditorDialog(QWidget *parent, const QString &objectName, const QString &title);

    // A white caption in the program's font at 16 points.
    QLabel *makeCaption(const QString &text, const QString &objectName);
    // Lays out the rows: nameCaption before name_, urlCaption before url_ and confirm_.
    void addRows(QWidget *nameCaption, QWidget *urlCaption);
    // confirm_ is enabled exactly when both fields hold more than blanks.
    void updateConfirm();

    // Opened over its owner: a tool window is not placed by every window manager.
    void showEvent(QShowEvent *event) override;

    QToolButton *close_ = nullptr;
    QLineEdit *name_ = nullptr;
    QLineEdit *url_ = nullptr;
    QPushButton *confirm_ = nullptr;

private:
    QLineEdit *makeLineEdit(const QString &objectName);
};

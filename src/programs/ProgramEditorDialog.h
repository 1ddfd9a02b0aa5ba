// The small borderless editor for a user program's name and file path.
#pragma once

#include "FramelessDialog.h"

class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

class ProgramEditorDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit ProgramEditorDialog(QWidget *parent = nullptr);

    QString name() const;
    QString path() const;
    // Prefill the fields (the confirm button follows).
    void setName(const QString &name);
    void setPath(const QString &path);

public slots:
    void onConfirm();
    void onBrowse();
    void onTextEdited(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildTitleRow(QVBoxLayout *layout);
    void buildNameRow(QVBoxLayout *layout);
    void buildPathRow(QVBoxLayout *layout);
    void updateConfirm();

    QToolButton *close_ = nullptr;
    QLineEdit *name_ = nullptr;
    QToolButton *browseProgram_ = nullptr;
    QLineEdit *url_ = nullptr;
    QPushButton *confirm_ = nullptr;
};

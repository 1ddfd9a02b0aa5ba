// The small borderless editor for a user program's name and file path.
#pragma once

#include "EditorDialog.h"

class ProgramEditorDialog : public EditorDialog
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

private:
    QToolButton *browseProgram_ = nullptr;
};

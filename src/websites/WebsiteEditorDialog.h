// Small borderless dialog that edits a website's name and address.
#pragma once

#include "EditorDialog.h"

class WebsiteEditorDialog : public EditorDialog
{
    Q_OBJECT

public:
    explicit WebsiteEditorDialog(QWidget *parent = nullptr);

    QString name() const;
    QString url() const;
    // Prefill a field; the confirm button follows.
    void setName(const QString &name);
    void setUrl(const QString &url);

public slots:
    void onConfirm();
    void onTextEdited(const QString &text);
};

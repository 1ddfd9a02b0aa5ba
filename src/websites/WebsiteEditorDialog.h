// Small borderless dialog that edits a website's name and address.
#pragma once

#include "FramelessDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

class WebsiteEditorDialog : public FramelessDialog
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

private:
    void buildCloseRow(QVBoxLayout *layout);
    void buildNameRow(QVBoxLayout *layout);
    void buildUrlRow(QVBoxLayout *layout);
    QLabel *createLabel(const QString &text, const QString &objectName);
    QLineEdit *createLineEdit(const QString &objectName);
    void updateConfirm();

    QToolButton *close_ = nullptr;
    QLineEdit *name_ = nullptr;
    QLineEdit *url_ = nullptr;
    QPushButton *confirm_ = nullptr;
};

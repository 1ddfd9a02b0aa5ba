#include "WebsiteEditorDialog.h"

#include "Endpoints.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

WebsiteEditorDialog::WebsiteEditorDialog(QWidget *parent)
    : EditorDialog(parent, u"WebsiteEditorDialog"_s, u"编辑网站"_s)
{
    name_->setMaxLength(10);
    name_->setPlaceholderText(u"如：Quorvik软件"_s);
    url_->setPlaceholderText(u"如："_s + Endpoints::makerSite());
    addRows(makeCaption(u"网站名称:"_s, u"nameLabel"_s), makeCaption(u"网站地址:"_s, u"urlLabel"_s));

    connect(confirm_, &QPushButton::clicked, this, &WebsiteEditorDialog::onConfirm);
    connect(name_, &QLineEdit::textEdited, this, &WebsiteEditorDialog::onTextEdited);
    connect(url_, &QLineEdit::textEdited, this, &WebsiteEditorDialog::onTextEdited);
    updateConfirm();
    name_->setFocus();
}

QString WebsiteEditorDialog::name() const
{
    return name_->text();
}

QString WebsiteEditorDialog::url() const
{
    return url_->text();
}

void WebsiteEditorDialog::setName(const QString &name)
{
    name_->setText(name);
    updateConfirm();
}

void WebsiteEditorDialog::setUrl(const QString &url)
{
    url_->setText(url);
    updateConfirm();
}

void WebsiteEditorDialog::onConfirm()
{
    accept();
}

void WebsiteEditorDialog::onTextEdited(const QString &)
{
    updateConfirm();
}

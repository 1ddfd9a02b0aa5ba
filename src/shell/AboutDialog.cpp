#include "AboutDialog.h"

#include "Endpoints.h"
#include "GlobalSettings.h"
#include "ProgramFont.h"

#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, int pointSize)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(ProgramFont::sans(pointSize));
    return label;
}
} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    const DialogFrame frame = buildDialogFrame(u"AboutDialog"_s, u"关于"_s, 188);
    QVBoxLayout *verticalLayout = frame.layout;
    widget_ = frame.closeBar.widget;
    close_ = frame.closeBar.close;
    connect(close_, &QToolButton::clicked, this, &QWidget::close);

    auto *verticalLayout_2 = new QVBoxLayout;
    verticalLayout_2->setObjectName(u"verticalLayout_2"_s);
    auto *label_2 = new QLabel(this);
    label_2->setObjectName(u"label_2"_s);
    // From the resources folder, not the working directory: a login item or a menu starts the
    // program elsewhere.
    label_2->setPixmap(QPixmap(GlobalSettings::instance()->resourcesDirectory() + u"logo_bar.png"_s));
    verticalLayout_2->addWidget(label_2);
    verticalLayout_2->addWidget(makeLabel(this, u"label_3"_s, u"让你的电脑更快一些！"_s, 18));

    auto *verticalLayout_3 = new QVBoxLayout;
    verticalLayout_3->setObjectName(u"verticalLayout_3"_s);
    version = makeLabel(this, u"version"_s, QString(), 11);
    verticalLayout_3->addWidget(version);
    verticalLayout_3->addWidget(makeLabel(this, u"label_4"_s, u"Copyright © 2026 Quorvik 软件工作室 版权所有"_s, 11));
    verticalLayout_3->addWidget(makeLabel(this, u"label_5"_s, u"官方网站："_s + QUrl(Endpoints::makerSite()).host(), 11));
    verticalLayout_3->addWidget(makeLabel(this, u"label_6"_s, u"意见反馈：欢迎在官方网站的留言板告诉我们"_s, 11));
    QLabel *label_7 = makeLabel(this, u"label_7"_s,
                                u"本软件基于优秀的开源软件<a href=\"https://www.qt.io/\">Qt</a>开发，由衷感谢!"_s, 11);
    label_7->setTextFormat(Qt::RichText);
    label_7->setOpenExternalLinks(true);
    verticalLayout_3->addWidget(label_7);
    verticalLayout_2->addLayout(verticalLayout_3);
    verticalLayout_2->addStretch();
    verticalLayout->addLayout(verticalLayout_2);

    version->setText(u"Quorvik桌面助手 "_s + QCoreApplication::applicationVersion());
}

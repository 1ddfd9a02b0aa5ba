#include "SoftwareWidget.h"

#include "Endpoints.h"
#include "GlobalSettings.h"
#include "Network.h"
#include "SingleSoftwareWidget.h"
#include "XmlTree.h"

#include <QBoxLayout>
#include <QLabel>
#include <QNetworkReply>

using namespace Qt::StringLiterals;

SoftwareWidget::SoftwareWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"SoftwareWidget"_s);
    setWindowTitle(u"SoftwareWidget"_s);
    resize(900, 470);
    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, Qt::white);
        pal.setColor(group, QPalette::Window, Qt::white);
    }
    setPalette(pal);
    setAutoFillBackground(true);

    m_layout = new QHBoxLayout(this);
    m_layout->setObjectName(u"horizontalLayout"_s);
    m_layout->setSpacing(0);
    m_layout->setContentsMargins(0, 0, 0, 0);
}

void SoftwareWidget::requestPromotions()
{
    if (m_requested)
        return;
    m_requested = true;
    QNetworkReply *reply = networkGet(Endpoints::makerSiteUrl(u"promotions.xml"_s), RequestKind::List);
    if (!reply)
        return;
    reply->setParent(this);
    connect(reply, &QNetworkReply::finished, this, &SoftwareWidget::onProfileRequestFinished);
}

void SoftwareWidget::onProfileRequestFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    // A failed, hung or oversized reply has an empty body, which leaves the page empty.
    loadPromotions(replyBody(reply));
}

void SoftwareWidget::loadPromotions(const QByteArray &body)
{
    if (m_filled)
        return;
    // A real list is a handful of items two levels deep; the limits refuse floods and nesting.
    constexpr XmlLimits limits{2 * 1024 * 1024, 32, 1000, 16};
    XmlNode root;
    if (readXmlTree(body, limits, &root) != XmlReadStatus::Ok)
        return;
    m_filled = true;

    int count = 0;
    for (const XmlNode &item : root.children) {
        if (item.name != u"item")
            continue;
        if (count == kMaxPanels)
            break;
        if (count++ > 0)
            m_layout->addWidget(createSeparator());
        auto *panel = new SingleSoftwareWidget(this);
        panel->fillFromItem(item);
        m_layout->addWidget(panel);
    }
}

QLabel *SoftwareWidget::createSeparator()
{
    auto *separator = new QLabel(this);
    separator->setObjectName(u"separator"_s);
    separator->setMinimumHeight(height());
    separator->setMaximumHeight(height());
    separator->setPixmap(QPixmap(GlobalSettings::instance()->resourcesDirectory() + u"vline450.png"_s));
    return separator;
}

QList<SingleSoftwareWidget *> SoftwareWidget::panels() const
{
    return findChildren<SingleSoftwareWidget *>(Qt::FindDirectChildrenOnly);
}

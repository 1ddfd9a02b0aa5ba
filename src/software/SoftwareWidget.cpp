#include "SoftwareWidget.h"

#include "Endpoints.h"
#include "GlobalSettings.h"
#include "Network.h"
#include "ProgramFont.h"
#include "SingleSoftwareWidget.h"
#include "XmlTree.h"

#include <QBoxLayout>
#include <QLabel>
#include <QNetworkReply>
#include <QPushButton>

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
    buildPlaceholder();
}

void SoftwareWidget::requestPromotions()
{
    if (m_requestRunning || m_fresh)
        return;
    if (!m_savedTried) {
        m_savedTried = true;
        const SavedPromotions saved = PromotionCache::load(cachePath());
        m_savedPictures = saved.pictures;
        if (!saved.list.isEmpty())
            showList(saved.list, saved.pictures, false);
    }
    QNetworkReply *reply = networkGet(Endpoints::makerSiteUrl(u"promotions.xml"_s), RequestKind::List);
    if (!reply) {
        updatePlaceholder();
        return;
    }
    m_requestRunning = true;
    updatePlaceholder();
    reply->setParent(this);
    connect(reply, &QNetworkReply::finished, this, &SoftwareWidget::onProfileRequestFinished);
}

void SoftwareWidget::onProfileRequestFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    m_requestRunning = false;
    const QByteArray body = replyBody(reply);
    // A failed, hung, oversized or useless reply keeps what is shown: the saved list or the placeholder.
    if (loadPromotions(body)) {
        m_toSave = SavedPromotions{body, {}};
        PromotionCache::save(cachePath(), m_toSave);
    }
    updatePlaceholder();
}

bool SoftwareWidget::loadPromotions(const QByteArray &body)
{
    if (m_fresh || body.size() > MaxListBytes)
        return false;
    // Pictures the network cannot give come from the saved ones of the same addresses.
    if (!showList(body, m_savedPictures, true))
        return false;
    m_fresh = true;
    updatePlaceholder();
    return true;
}

bool SoftwareWidget::showList(const QByteArray &body, const QHash<QString, QByteArray> &pictures, bool fetch)
{
    // A real list is a handful of items two levels deep; the limits refuse floods and nesting.
    constexpr XmlLimits limits{2 * 1024 * 1024, 32, 1000, 16};
    XmlNode root;
    if (readXmlTree(body, limits, &root) != XmlReadStatus::Ok || !root.child(u"item"))
        return false;

    while (QLayoutItem *item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    int count = 0;
    for (const XmlNode &item : root.children) {
        if (item.name != u"item")
            continue;
        if (count == kMaxPanels)
            break;
        if (count++ > 0)
            m_layout->addWidget(createSeparator());
        auto *panel = new SingleSoftwareWidget(this);
        connect(panel, &SingleSoftwareWidget::pictureFetched, this, &SoftwareWidget::onPictureFetched);
        panel->fillFromItem(item, pictures, fetch);
        m_layout->addWidget(panel);
    }
    return true;
}

void SoftwareWidget::onPictureFetched(const QString &address, const QByteArray &bytes)
{
    if (!m_fresh || m_toSave.pictures.value(address) == bytes)
        return;
    m_toSave.pictures.insert(address, bytes);
    PromotionCache::save(cachePath(), m_toSave);
}

QString SoftwareWidget::cachePath() const
{
    return GlobalSettings::instance()->dataFilePath(u"promotions.xml"_s);
}

void SoftwareWidget::buildPlaceholder()
{
    // Not in the layout: the panels alone fill it, the placeholder covers the page while there are none.
    m_placeholder = new QWidget(this);
    m_placeholder->setObjectName(u"placeholder_"_s);
    auto *column = new QVBoxLayout(m_placeholder);
    column->addStretch(1);
    m_placeholderText = new QLabel(m_placeholder);
    m_placeholderText->setObjectName(u"placeholderText_"_s);
    m_placeholderText->setFont(ProgramFont::sans(14));
    m_placeholderText->setStyleSheet(u"color: rgb(120, 120, 120);"_s);
    m_placeholderText->setAlignment(Qt::AlignCenter);
    column->addWidget(m_placeholderText, 0, Qt::AlignHCenter);
    column->addSpacing(12);
    m_retry = new QPushButton(u"重试"_s, m_placeholder);
    m_retry->setObjectName(u"retry_"_s);
    m_retry->setFont(ProgramFont::sans(12));
    m_retry->setFixedSize(90, 30);
    m_retry->setCursor(Qt::PointingHandCursor);
    column->addWidget(m_retry, 0, Qt::AlignHCenter);
    column->addStretch(1);
    connect(m_retry, &QPushButton::clicked, this, &SoftwareWidget::requestPromotions);
    m_placeholder->hide();
}

void SoftwareWidget::updatePlaceholder()
{
    const bool empty = panels().isEmpty();
    m_placeholder->setVisible(empty && (m_requestRunning || m_savedTried));
    m_placeholderText->setText(m_requestRunning ? u"正在获取推荐内容…"_s : u"暂时无法获取推荐内容"_s);
    m_retry->setVisible(!m_requestRunning);
    m_placeholder->setGeometry(rect());
    m_placeholder->raise();
}

void SoftwareWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_placeholder->setGeometry(rect());
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

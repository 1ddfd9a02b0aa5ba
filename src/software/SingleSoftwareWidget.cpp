#include "SingleSoftwareWidget.h"

#include "Network.h"
#include "ProgramFont.h"
#include "WebLink.h"
#include "XmlTree.h"

#include <QBoxLayout>
#include <QBuffer>
#include <QEvent>
#include <QImageReader>
#include <QRegularExpression>
#include <QLabel>
#include <QNetworkReply>
#include <QSpacerItem>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QPalette whitePalette(QPalette palette)
{
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Window, Qt::white);
    }
    return palette;
}

QFont yaHei(int pointSize)
{
    return ProgramFont::sans(pointSize);
}

QLabel *makeLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    // Texts from the network are never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A picture from the network: a valid file of at most 4096 x 4096 pixels, else nothing (a
// 16000 x 16000 image would take a gigabyte once decoded).
QPixmap readPicture(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > 4096 || size.height() > 4096)
        return QPixmap();
    return QPixmap::fromImage(reader.read());
}

} // namespace

SingleSoftwareWidget::SingleSoftwareWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"SingleSoftwareWidget"_s);
    resize(450, 470);
    setPalette(whitePalette(palette()));

    auto *outer = new QVBoxLayout(this);
    outer->setObjectName(u"verticalLayout_2"_s);
    // Air around the panel and between its parts: the icon, the preview and the text would
    // otherwise touch each other and the page's edges.
    outer->setContentsMargins(16, 14, 16, 8);
    outer->setSpacing(12);
    buildTopRow(outer);
    buildPreview(outer);
    buildDescription(outer);

    // A panel shows nothing until it is filled.
    for (QLabel *label : {icon_, name_, size_, version_, image_, description_})
        label->clear();
}

void SingleSoftwareWidget::buildTopRow(QLayout *outer)
{
    auto *row = new QHBoxLayout;
    row->setObjectName(u"horizontalLayout"_s);
    row->setSpacing(12);

    icon_ = makeLabel(u"icon_"_s, this);
    icon_->setFixedSize(55, 55);
    icon_->setScaledContents(true);
    row->addWidget(icon_, 0, Qt::AlignTop);

    auto *text = new QVBoxLayout;
    text->setObjectName(u"verticalLayout"_s);

    auto *nameRow = new QHBoxLayout;
    nameRow->setObjectName(u"horizontalLayout_3"_s);
    name_ = makeLabel(u"name_"_s, this);
    name_->setFont(yaHei(14));
    nameRow->addWidget(name_);
    text->addLayout(nameRow);

    auto *infoRow = new QHBoxLayout;
    infoRow->setObjectName(u"horizontalLayout_2"_s);
    // The panel's layouts have no spacing; size and version must not run together.
    infoRow->setSpacing(12);
    size_ = makeLabel(u"size_"_s, this);
    version_ = makeLabel(u"version_"_s, this);
    infoRow->addWidget(size_);
    infoRow->addWidget(version_);
    infoRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

    download_ = new QToolButton(this);
    // Until the panel is filled; afterwards the object name carries the download address.
    download_->setObjectName(u"download_"_s);
    download_->setText(u"下载"_s);
    download_->setFixedSize(90, 30);
    download_->setFont(yaHei(12));
    QPalette buttonPalette = download_->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        buttonPalette.setColor(group, QPalette::ButtonText, Qt::white);
        buttonPalette.setColor(group, QPalette::Button, QColor(5, 196, 0));
    }
    buttonPalette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    buttonPalette.setColor(QPalette::Disabled, QPalette::Button, QColor(5, 196, 0));
    download_->setPalette(buttonPalette);
    download_->setStyleSheet(
        u"QToolButton{background-color: rgb(5, 196, 0);border-color: rgb(4, 157, 0);border-width: 1px;border-style:solid;}"
        u"QToolButton:hover{background-color: rgba(18, 217, 13, 255);border-width: 1px;border-color:rgb(120,174,229);border-style:solid;}"_s);
    infoRow->addWidget(download_, 0, Qt::AlignRight);
    text->addLayout(infoRow);

    row->addLayout(text);
    outer->addItem(row);

    connect(download_, &QToolButton::clicked, this, &SingleSoftwareWidget::onDownload);
}

void SingleSoftwareWidget::buildPreview(QLayout *outer)
{
    image_ = makeLabel(u"image_"_s, this);
    image_->setPalette(whitePalette(image_->palette()));
    image_->setAlignment(Qt::AlignCenter);
    // The picture is fitted to the label, so the label must not ask for the picture's size.
    image_->setMinimumSize(1, 1);
    image_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    image_->installEventFilter(this);
    outer->addWidget(image_);
}

void SingleSoftwareWidget::buildDescription(QLayout *outer)
{
    description_ = makeLabel(u"description_"_s, this);
    // Room for four lines; the preview above takes the rest of the panel's height.
    description_->setFont(yaHei(10));
    description_->setFixedHeight(description_->fontMetrics().lineSpacing() * 4 + 4);
    description_->setTextFormat(Qt::RichText);
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description_->setWordWrap(true);
    description_->setMargin(0);
    // Links go through the same check as the download address instead of straight to the shell.
    description_->setOpenExternalLinks(false);
    description_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    outer->addWidget(description_);
    connect(description_, &QLabel::linkActivated, this,
            &SingleSoftwareWidget::onDescriptionLinkActivated);
}

void SingleSoftwareWidget::fillFromItem(const XmlNode &item, const QHash<QString, QByteArray> &saved, bool fetch)
{
    for (const char16_t *name : {u"icon", u"images"}) {
        const QString address = item.attribute(name);
        if (saved.contains(address))
            m_saved.insert(address, saved.value(address));
    }
    request(item.attribute(u"icon"), &SingleSoftwareWidget::onIconRequestFinished, fetch);
    request(item.attribute(u"images"), &SingleSoftwareWidget::onImageRequestFinished, fetch);

    name_->setText(item.attribute(u"name"));
    size_->setText(u"大小："_s + item.attribute(u"size"));
    version_->setText(u"版本："_s + item.attribute(u"version"));
    description_->setText(descriptionHtml(item.attribute(u"description")));
    download_->setObjectName(item.attribute(u"url"));
}

void SingleSoftwareWidget::request(const QString &address, void (SingleSoftwareWidget::*slot)(),
                                   bool fetch)
{
    if (address.isEmpty())
        return;
    if (!fetch) {
        const QPixmap pixmap = readPicture(m_saved.value(address));
        if (slot == &SingleSoftwareWidget::onIconRequestFinished) {
            icon_->setPixmap(pixmap);
        } else {
            m_preview = pixmap;
            showPreview();
        }
        return;
    }
    // Only http/https addresses are fetched (never a local file), through the size-limited helper.
    const QUrl url = WebLink::fromText(address);
    if (!WebLink::isWebAddress(url))
        return;
    QNetworkReply *reply = networkGet(url, RequestKind::Picture);
    if (!reply)
        return;
    reply->setProperty("qpaPictureAddress", address);
    // A panel that goes away aborts its pending pictures instead of leaking the replies.
    reply->setParent(this);
    connect(reply, &QNetworkReply::finished, this, slot);
}

QPixmap SingleSoftwareWidget::replyPicture(QNetworkReply *reply)
{
    const QString address = reply->property("qpaPictureAddress").toString();
    const QByteArray bytes = replyBody(reply);
    const QPixmap pixmap = readPicture(bytes);
    if (!pixmap.isNull()) {
        emit pictureFetched(address, bytes);
        return pixmap;
    }
    return readPicture(m_saved.value(address));
}

void SingleSoftwareWidget::onIconRequestFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    icon_->setPixmap(replyPicture(reply));
}

void SingleSoftwareWidget::onImageRequestFinished()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    m_preview = replyPicture(reply);
    showPreview();
}

QString SingleSoftwareWidget::descriptionHtml(const QString &text)
{
    // The description may carry links (<a href="...">); everything else is shown as the text it
    // is, so no markup of the reply is rendered and no picture (not even a local one) is loaded.
    static const QRegularExpression link(
        uR"(<a\s+href\s*=\s*["']([^"'<>]*)["']\s*>([^<]*)</a\s*>)"_s,
        QRegularExpression::CaseInsensitiveOption);
    QString html;
    qsizetype at = 0;
    for (QRegularExpressionMatchIterator it = link.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        html += text.mid(at, match.capturedStart() - at).toHtmlEscaped();
        const QUrl url = WebLink::fromText(match.captured(1));
        if (WebLink::isWebAddress(url))
            html += u"<a href=\""_s + url.toString(QUrl::FullyEncoded).toHtmlEscaped() + u"\">"_s
                + match.captured(2).toHtmlEscaped() + u"</a>"_s;
        else
            html += match.captured(0).toHtmlEscaped();
        at = match.capturedEnd();
    }
    html += text.mid(at).toHtmlEscaped();
    return html.replace(u'\n', u"<br>"_s);
}

QPixmap SingleSoftwareWidget::fitPreview(const QPixmap &pixmap, const QSize &area)
{
    if (pixmap.isNull() || area.isEmpty())
        return pixmap;
    const double fw = double(area.width()) / pixmap.width();
    const double fh = double(area.height()) / pixmap.height();
    if (fw >= 1 && fh >= 1)
        return pixmap;
    if (fw <= fh)
        return pixmap.scaledToWidth(area.width(), Qt::SmoothTransformation);
    return pixmap.scaledToHeight(area.height(), Qt::SmoothTransformation);
}

void SingleSoftwareWidget::showPreview()
{
    image_->setPixmap(fitPreview(m_preview, image_->size()));
}

bool SingleSoftwareWidget::eventFilter(QObject *watched, QEvent *event)
{
    // A reply can arrive before the page has its final layout; fit again to the real size.
    if (watched == image_ && event->type() == QEvent::Resize && !m_preview.isNull())
        showPreview();
    return QWidget::eventFilter(watched, event);
}

void SingleSoftwareWidget::onDownload()
{
    if (QObject *button = sender())
        WebLink::open(button->objectName());
}

void SingleSoftwareWidget::onDescriptionLinkActivated(const QString &link)
{
    WebLink::open(link);
}

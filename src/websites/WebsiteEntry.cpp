#include "WebsiteEntry.h"

#include "XmlTree.h"

using namespace Qt::StringLiterals;

void registerWebsiteEntryType()
{
    qRegisterMetaType<WebsiteEntry>("WebsiteEntry");
}

quint32 parseWebsiteColor(const QString &text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 16);
    return ok ? quint32(value) : 0u;
}

QString formatWebsiteColor(quint32 color)
{
    return QString::number(color & 0xFFFFFFu, 16);
}

QColor paintColor(quint32 color)
{
    return QColor::fromRgb(QRgb(color | 0xFF000000u));
}

WebsiteEntry websiteEntryFromElement(const XmlNode &element)
{
    WebsiteEntry entry;
    entry.text = element.attribute(u"text");
    entry.url = element.attribute(u"url");
    entry.color = parseWebsiteColor(element.attribute(u"color"));
    return entry;
}

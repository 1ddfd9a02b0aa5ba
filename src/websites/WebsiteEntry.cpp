#include "WebsiteEntry.h"

#include <QDomElement>

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

WebsiteEntry websiteEntryFromElement(const QDomElement &element)
{
    WebsiteEntry entry;
    entry.text = element.attribute(u"text"_s);
    entry.url = element.attribute(u"url"_s);
    entry.color = parseWebsiteColor(element.attribute(u"color"_s));
    return entry;
}

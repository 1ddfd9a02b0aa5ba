#include "WebsiteCategory.h"

#include <QDomElement>

using namespace Qt::StringLiterals;

bool readWebsiteCategory(const QDomElement &element, WebsiteCategory *category)
{
    const QString title = element.attribute(u"text"_s);
    if (title.isEmpty())
        return false;
    WebsiteCategory read;
    read.text = title;
    read.color = parseWebsiteColor(element.attribute(u"color"_s));
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        const WebsiteEntry entry = websiteEntryFromElement(child);
        if (entry.isValid())
            read.entries.append(entry);
    }
    *category = read;
    return true;
}

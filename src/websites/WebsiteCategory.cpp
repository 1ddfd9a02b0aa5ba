#include "WebsiteCategory.h"

#include "XmlTree.h"

using namespace Qt::StringLiterals;

bool readWebsiteCategory(const XmlNode &element, WebsiteCategory *category)
{
    const QString title = element.attribute(u"text");
    if (title.isEmpty())
        return false;
    WebsiteCategory read;
    read.text = title;
    read.color = parseWebsiteColor(element.attribute(u"color"));
    for (const XmlNode &child : element.children) {
        const WebsiteEntry entry = websiteEntryFromElement(child);
        if (entry.isValid())
            read.entries.append(entry);
    }
    *category = read;
    return true;
}

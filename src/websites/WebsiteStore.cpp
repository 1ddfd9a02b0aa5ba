#include "WebsiteStore.h"

#include "DataFile.h"
#include "Endpoints.h"

#include <QDomDocument>
#include <QDomElement>

using namespace Qt::StringLiterals;

namespace {

// A real list is a few dozen categories of a few dozen sites; far larger replies are hostile
// and would freeze the page building tens of thousands of buttons.
constexpr qsizetype MaxRemoteBytes = 2 * 1024 * 1024;
constexpr qsizetype MaxRemoteCategories = 100;
constexpr qsizetype MaxRemoteEntries = 400;

QDomDocument personalDocument(const QVector<WebsiteEntry> &entries)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(u"root"_s);
    doc.appendChild(root);
    QDomElement website = doc.createElement(u"website"_s);
    root.appendChild(website);
    for (const WebsiteEntry &entry : entries) {
        QDomElement ws = doc.createElement(u"ws"_s);
        ws.setAttribute(u"text"_s, entry.text);
        ws.setAttribute(u"url"_s, entry.url);
        ws.setAttribute(u"color"_s, formatWebsiteColor(entry.color));
        website.appendChild(ws);
    }
    return doc;
}

} // namespace

namespace WebsiteStore {

QString personalTitle()
{
    return u"个人"_s;
}

WebsiteCategory defaultPersonalCategory()
{
    WebsiteCategory category;
    category.text = personalTitle();
    category.entries.append({u"右键添加"_s, Endpoints::makerSite(), 0xFFFF0000});
    return category;
}

WebsiteCategory loadPersonal(const QString &path, bool *fromFile)
{
    QDomDocument doc;
    const bool loaded = DataFile::load(path, &doc) == DataFile::Loaded;
    if (fromFile)
        *fromFile = loaded;
    if (!loaded)
        return defaultPersonalCategory();

    WebsiteCategory category;
    category.text = personalTitle();
    const QDomElement website = doc.documentElement().firstChildElement(u"website"_s);
    for (QDomElement child = website.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        WebsiteEntry entry = websiteEntryFromElement(child);
        if (!entry.isValid())
            continue;
        if (entry.color == 0)
            entry.color = 0xFF000000;
        category.entries.append(entry);
    }
    return category;
}

QByteArray personalFileContents(const QVector<WebsiteEntry> &entries)
{
    return personalDocument(entries).toByteArray(4);
}

bool savePersonal(const QString &path, const QVector<WebsiteEntry> &entries)
{
    return DataFile::save(path, personalDocument(entries));
}

bool parseRemote(const QByteArray &body, QVector<WebsiteCategory> *categories)
{
    if (body.isEmpty() || body.size() > MaxRemoteBytes)
        return false;
    QDomDocument doc;
    if (!doc.setContent(body))
        return false;
    const QDomElement website = doc.documentElement().firstChildElement(u"website"_s);
    for (QDomElement child = website.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        WebsiteCategory category;
        if (!readWebsiteCategory(child, &category))
            continue;
        if (category.entries.size() > MaxRemoteEntries)
            category.entries.resize(MaxRemoteEntries);
        categories->append(category);
        if (categories->size() >= MaxRemoteCategories)
            break;
    }
    return true;
}

} // namespace WebsiteStore

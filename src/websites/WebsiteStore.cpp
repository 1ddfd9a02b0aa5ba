#include "WebsiteStore.h"

#include "DataFile.h"
#include "Endpoints.h"
#include "XmlWriter.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

using WebsiteStore::MaxRemoteBytes;
constexpr qsizetype MaxRemoteCategories = 24;
constexpr qsizetype MaxRemoteEntries = 48;

// Depth and element count cover the list and its wrapper elements; a nesting deeper than that
// is no list (the network's XML is given less depth than the local files).
constexpr XmlLimits RemoteLimits{MaxRemoteBytes, 32, 8192, 64};

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

qsizetype maxPersonalEntries()
{
    return 1000;
}

WebsiteCategory loadPersonal(const QString &path, bool *fromFile)
{
    XmlNode root;
    const bool loaded =
        DataFile::load(path, DataFile::limits(maxPersonalEntries()), &root) == DataFile::Loaded;
    if (fromFile)
        *fromFile = loaded;
    if (!loaded)
        return defaultPersonalCategory();

    WebsiteCategory category;
    category.text = personalTitle();
    const XmlNode *website = root.child(u"website");
    for (const XmlNode &child : website ? website->children : QList<XmlNode>()) {
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
    XmlWriter xml;
    xml.startElement(u"root"_s);
    xml.startElement(u"website"_s);
    for (const WebsiteEntry &entry : entries) {
        xml.startElement(u"ws"_s);
        xml.attribute(u"text"_s, entry.text);
        xml.attribute(u"url"_s, entry.url);
        xml.attribute(u"color"_s, formatWebsiteColor(entry.color));
        xml.endElement();
    }
    return xml.finish();
}

bool savePersonal(const QString &path, const QVector<WebsiteEntry> &entries)
{
    return DataFile::save(path, personalFileContents(entries));
}

bool parseRemote(const QByteArray &body, QVector<WebsiteCategory> *categories)
{
    XmlNode root;
    if (body.isEmpty() || readXmlTree(body, RemoteLimits, &root) != XmlReadStatus::Ok)
        return false;
    const XmlNode *website = root.child(u"website");
    for (const XmlNode &child : website ? website->children : QList<XmlNode>()) {
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

QVector<WebsiteCategory> builtinCategories()
{
    return loadSavedRemote(u":/websites/builtin_websites.xml"_s);
}

QVector<WebsiteCategory> loadSavedRemote(const QString &path)
{
    QVector<WebsiteCategory> categories;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxRemoteBytes
        || !parseRemote(file.read(MaxRemoteBytes), &categories))
        categories.clear();
    return categories;
}

bool saveRemote(const QString &path, const QByteArray &body)
{
    QVector<WebsiteCategory> categories;
    if (!parseRemote(body, &categories) || categories.isEmpty())
        return false;
    return DataFile::writeAtomically(path, body);
}

} // namespace WebsiteStore

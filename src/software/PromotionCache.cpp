#include "PromotionCache.h"

#include "DataFile.h"
#include "XmlTree.h"
#include "XmlWriter.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// Base64 makes the file a third larger than what it holds; room for the markup besides.
constexpr qint64 MaxFileBytes = PromotionCache::MaxBytes / 3 * 4 + 64 * 1024;

} // namespace

namespace PromotionCache {

SavedPromotions load(const QString &path)
{
    SavedPromotions saved;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return saved;
    XmlNode root;
    // A list and a few pictures; anything nested or longer is not ours.
    if (readXmlTree(file.read(MaxFileBytes), XmlLimits{MaxFileBytes, 4, 64}, &root) != XmlReadStatus::Ok
        || root.name != u"promotions"_s)
        return saved;
    qint64 total = 0;
    const auto decode = [&total](const XmlNode *element, QByteArray *out) {
        if (!element)
            return false;
        const auto result = QByteArray::fromBase64Encoding(element->text.trimmed().toLatin1(),
                                                           QByteArray::AbortOnBase64DecodingErrors);
        if (!result || total + result.decoded.size() > MaxBytes)
            return false;
        total += result.decoded.size();
        *out = result.decoded;
        return true;
    };
    QByteArray list;
    if (!decode(root.child(u"list"), &list) || list.isEmpty())
        return saved;
    for (const XmlNode &e : root.children) {
        QByteArray bytes;
        if (e.name == u"picture"_s && !e.attribute(u"url").isEmpty() && decode(&e, &bytes))
            saved.pictures.insert(e.attribute(u"url"), bytes);
    }
    saved.list = list;
    return saved;
}

bool save(const QString &path, const SavedPromotions &saved)
{
    if (saved.list.isEmpty() || saved.list.size() > MaxBytes)
        return false;
    XmlWriter xml;
    xml.startElement(u"promotions"_s);
    xml.textElement(u"list"_s, QString::fromLatin1(saved.list.toBase64()));
    qint64 total = saved.list.size();
    for (auto it = saved.pictures.cbegin(); it != saved.pictures.cend(); ++it) {
        if (total + it.value().size() > MaxBytes)
            continue;
        total += it.value().size();
        xml.startElement(u"picture"_s);
        xml.attribute(u"url"_s, it.key());
        xml.text(QString::fromLatin1(it.value().toBase64()));
        xml.endElement();
    }
    return DataFile::writeAtomically(path, xml.finish());
}

} // namespace PromotionCache

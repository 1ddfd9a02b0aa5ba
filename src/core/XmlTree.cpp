#include "XmlTree.h"

#include <QXmlStreamReader>

QString XmlNode::attribute(QStringView attributeName) const
{
    for (const auto &attribute : attributes) {
        if (attribute.first == attributeName)
            return attribute.second;
    }
    return QString();
}

bool XmlNode::hasAttribute(QStringView attributeName) const
{
    for (const auto &attribute : attributes) {
        if (attribute.first == attributeName)
            return true;
    }
    return false;
}

const XmlNode *XmlNode::child(QStringView childName) const
{
    for (const XmlNode &node : children) {
        if (node.name == childName)
            return &node;
    }
    return nullptr;
}

XmlReadStatus readXmlTree(const QByteArray &bytes, const XmlLimits &limits, XmlNode *root)
{
    if (bytes.size() > limits.maxBytes)
        return XmlReadStatus::TooLarge;
    QXmlStreamReader reader(bytes);
    // As the data files were always read: names as written, prefixes without declarations.
    reader.setNamespaceProcessing(false);
    XmlNode document;
    // The open elements, outermost first. Only the innermost one's child list grows, so the
    // pointers to its ancestors stay valid.
    QList<XmlNode *> open;
    open.reserve(limits.maxDepth + 1);
    qsizetype elements = 0;
    bool haveRoot = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.size() >= limits.maxDepth)
                return XmlReadStatus::TooDeep;
            if (limits.maxChildren > 0 && !open.isEmpty()
                && open.last()->children.size() >= limits.maxChildren) {
                reader.skipCurrentElement();
                break;
            }
            if (++elements > limits.maxElements)
                return XmlReadStatus::TooLarge;
            XmlNode node;
            node.name = reader.qualifiedName().toString();
            const QXmlStreamAttributes attributes = reader.attributes();
            node.attributes.reserve(attributes.size());
            for (const QXmlStreamAttribute &attribute : attributes)
                node.attributes.append({attribute.qualifiedName().toString(), attribute.value().toString()});
            if (open.isEmpty()) {
                document = std::move(node);
                open.append(&document);
                haveRoot = true;
            } else {
                QList<XmlNode> &siblings = open.last()->children;
                siblings.append(std::move(node));
                open.append(&siblings.last());
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            open.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (!open.isEmpty())
                open.last()->text += reader.text();
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || !haveRoot)
        return XmlReadStatus::Malformed;
    *root = std::move(document);
    return XmlReadStatus::Ok;
}

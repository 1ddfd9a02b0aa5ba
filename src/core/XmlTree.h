// A small element tree read in one pass with QXmlStreamReader under limits: the reader of every
// data file and of the XML the network sends.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

struct XmlNode
{
    QString name;
    QList<std::pair<QString, QString>> attributes; // in document order
    QString text;            // the character data directly inside, joined
    QList<XmlNode> children; // child elements in document order

    // The attribute's value; empty when it is missing.
    QString attribute(QStringView attributeName) const;
    bool hasAttribute(QStringView attributeName) const;
    // The first child element with that name, or null.
    const XmlNode *child(QStringView childName) const;
};

// What a document may cost. A real data file or list is far below each; a hostile one is
// refused whole instead of freezing the program or exhausting memory.
struct XmlLimits
{
    qsizetype maxBytes = 0;    // size of the document
    int maxDepth = 0;          // nesting of elements; the root is depth 1
    qsizetype maxElements = 0; // elements kept in the tree
    // Child elements kept per element (0: all). Further ones are read past without being kept,
    // so a flood of entries in a list from the network costs time linear in its size and no
    // memory; a local file never sets it, since dropping its entries would lose them.
    qsizetype maxChildren = 0;
};

enum class XmlReadStatus {
    Ok,
    Malformed, // not well-formed XML (or no root element)
    TooDeep,   // nested beyond maxDepth
    TooLarge,  // more bytes or elements than allowed
};

// Reads bytes into *root (the document element). Time and memory are linear in the input and
// bounded by the limits; reading stops at the first element past them.
XmlReadStatus readXmlTree(const QByteArray &bytes, const XmlLimits &limits, XmlNode *root);

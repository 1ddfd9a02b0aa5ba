// Writes the data files: elements and attributes exactly in the order they are added (the same
// data gives the same bytes), indented by 4 spaces, no XML declaration, and every text cleaned
// by XmlText::clean so that what is written always parses again.
#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

class XmlWriter
{
public:
    XmlWriter();

    void startElement(const QString &name);
    // An attribute of the element just started.
    void attribute(const QString &name, const QString &value);
    // An element holding only text.
    void textElement(const QString &name, const QString &text);
    // Text inside the element just started (after its attributes).
    void text(const QString &text);
    void endElement();

    // Closes what is still open and returns the document.
    QByteArray finish();

private:
    QByteArray m_bytes;
    QXmlStreamWriter m_writer;
};

#include "XmlWriter.h"

#include "XmlText.h"

XmlWriter::XmlWriter()
    : m_writer(&m_bytes)
{
    m_writer.setAutoFormatting(true);
    m_writer.setAutoFormattingIndent(4);
}

void XmlWriter::startElement(const QString &name)
{
    m_writer.writeStartElement(name);
}

void XmlWriter::attribute(const QString &name, const QString &value)
{
    m_writer.writeAttribute(name, XmlText::clean(value));
}

void XmlWriter::textElement(const QString &name, const QString &text)
{
    m_writer.writeTextElement(name, XmlText::clean(text));
}

void XmlWriter::text(const QString &text)
{
    m_writer.writeCharacters(XmlText::clean(text));
}

void XmlWriter::endElement()
{
    m_writer.writeEndElement();
}

QByteArray XmlWriter::finish()
{
    m_writer.writeEndDocument();
    // Without a declaration the auto-formatting still starts the root on a new line.
    if (m_bytes.startsWith('\n'))
        m_bytes.remove(0, 1);
    if (!m_bytes.endsWith('\n'))
        m_bytes.append('\n');
    return m_bytes;
}

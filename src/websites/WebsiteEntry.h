// A website shortcut and the colour and element rules its two XML lists share.
#pragma once

#include <QColor>
#include <QMetaType>
#include <QString>

struct XmlNode;

struct WebsiteEntry
{
    QString text;             // button text; also the name of an exported shortcut
    QString url;              // address opened on click
    quint32 color = 0xFF000000; // 0xAARRGGBB; only the RGB part is painted

    // Both text and url are needed for an entry to be kept.
    bool isValid() const { return !text.isEmpty() && !url.isEmpty(); }

    bool operator==(const WebsiteEntry &other) const
    {
        return text == other.text && url == other.url && color == other.color;
    }
    bool operator!=(const WebsiteEntry &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(WebsiteEntry)

// Registers WebsiteEntry with the meta-object system (queued connections, QVariant); idempotent.
void registerWebsiteEntryType();

// Parses a stored "color" attribute: hexadecimal into a signed 32-bit value, 0 when it does not
// parse or does not fit.
quint32 parseWebsiteColor(const QString &text);
// Formats a colour as stored: the RGB part in lower-case hexadecimal, no prefix.
QString formatWebsiteColor(quint32 color);
// The colour as painted: the RGB part, opaque.
QColor paintColor(quint32 color);

// Reads an entry from any element with "text", "url" and "color" attributes.
WebsiteEntry websiteEntryFromElement(const XmlNode &element);

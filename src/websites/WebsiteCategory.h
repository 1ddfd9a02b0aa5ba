// One block of the website page: a titled, coloured, ordered list of websites.
#pragma once

#include "WebsiteEntry.h"

#include <QVector>

struct XmlNode;

struct WebsiteCategory
{
    QString text;               // title shown in the block's title cell; never empty when shown
    quint32 color = 0xFF000000; // title colour, painted as opaque RGB
    QVector<WebsiteEntry> entries; // the index here is the index of button, cell and menu action
};

// Reads a category element of the remote list: title and colour from its attributes, one entry per
// child element, invalid entries dropped. Returns false, leaving category untouched, when the title
// is empty.
bool readWebsiteCategory(const XmlNode &element, WebsiteCategory *category);

// The personal list "luw.dat" and the remote list "websites.xml": reading, defaults and writing.
#pragma once

#include "WebsiteCategory.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace WebsiteStore {

// Largest websites.xml read: a real list is a few dozen categories of a few dozen sites; far
// larger replies are hostile and would freeze the page building tens of thousands of buttons.
constexpr qsizetype MaxRemoteBytes = 2 * 1024 * 1024;

// Title of the user's own block.
QString personalTitle();
// The block shown when luw.dat is missing or unreadable: one red "右键添加" to the maker's site.
WebsiteCategory defaultPersonalCategory();

// The most entries luw.dat may hold; a larger file is refused whole (DataFile::TooLarge) and the
// editor adds no more.
qsizetype maxPersonalEntries();
// Reads luw.dat tolerantly. A missing, empty or malformed file gives the default block; a file
// without a "website" element gives the title and no entries. *fromFile tells which it was.
WebsiteCategory loadPersonal(const QString &path, bool *fromFile = nullptr);
// luw.dat's bytes for entries: root/website/ws with "text", "url", "color" in that order,
// indent 4, no declaration.
QByteArray personalFileContents(const QVector<WebsiteEntry> &entries);
// Replaces luw.dat atomically; false (old file intact) when it cannot be written.
bool savePersonal(const QString &path, const QVector<WebsiteEntry> &entries);

// Reads the body of websites.xml. Returns false when the body is empty, oversized (2 MiB or more
// elements than the caps below allow), nested deeper than 32 or not well-formed XML; otherwise true with every category that has a title, in document order
// (at most 24 categories of at most 48 entries; the rest is dropped, so the page never builds
// more than 1152 buttons).
bool parseRemote(const QByteArray &body, QVector<WebsiteCategory> *categories);

// The categories compiled into the program, shown until a remote list has arrived.
QVector<WebsiteCategory> builtinCategories();
// The categories of a saved copy of websites.xml; empty when it is missing, oversized or broken.
QVector<WebsiteCategory> loadSavedRemote(const QString &path);
// Keeps a remote list that was read well (at least one category) for the next start, atomically.
bool saveRemote(const QString &path, const QByteArray &body);

} // namespace WebsiteStore

// Loading and atomic saving of the program's small XML data files.
#pragma once

#include "XmlTree.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace DataFile {

enum LoadResult {
    Loaded,   // parsed into the tree
    Missing,  // no file, or an empty one: nothing to lose
    Broken,   // exists but unreadable, malformed or nested too deep; the first save keeps a copy
    TooLarge, // more than the list may hold: refused whole, copied aside at once, the user told
};

// The limits of a local data file holding at most maxEntries entries: 16 MiB, a nesting depth
// of 64 (a real file has 3), and the entries plus a few structural elements.
XmlLimits limits(qsizetype maxEntries);

// Reads path into root under limits. Characters XML cannot carry are first cleaned by the rule
// of XmlText::cleanUtf8, so files that hold them raw load again.
LoadResult load(const QString &path, const XmlLimits &limits, XmlNode *root);

// Writes document (from XmlWriter) to path through QSaveFile, so a crash or full disk never
// leaves a truncated file. A file that failed to load in this process is first copied to
// "<path>.broken". Returns false, leaving the old file intact, when it cannot be written.
bool save(const QString &path, const QByteArray &document);

// Writes raw bytes atomically (the same guarantee, for files that are not data files). Every
// write is flushed and checked before the temporary file replaces the old one, so a full disk,
// a quota or an I/O error leaves the old file byte for byte; *error then says why.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The user-facing text for a failed save: "保存失败：磁盘空间不足" when the disk or a size
// limit is full, else "保存失败：" followed by the system's reason.
QString saveFailureMessage(const QString &systemReason);

// Receives messages the user should read: a failed save (once; later failures stay quiet until
// a save succeeds again) and a data file refused as too large. Without a receiver nothing shows.
using Reporter = std::function<void(const QString &message)>;
void setReporter(Reporter reporter);

} // namespace DataFile

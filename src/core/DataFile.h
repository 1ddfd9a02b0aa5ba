// Loading and atomic saving of the program's small XML data files.
#pragma once

#include <QString>

#include <functional>

class QDomDocument;

namespace DataFile {

enum LoadResult {
    Loaded,  // parsed into the document
    Missing, // no file, or an empty one: nothing to lose
    Broken,  // exists but unreadable or malformed; the first save keeps a copy of it
};

// Reads and parses path into doc.
LoadResult load(const QString &path, QDomDocument *doc);

// Writes doc (indent 4, no declaration) to path through QSaveFile, so a crash or full disk
// never leaves a truncated file. A file that failed to load in this process is first copied
// to "<path>.broken". Returns false, leaving the old file intact, when it cannot be written.
bool save(const QString &path, const QDomDocument &doc);

// Writes raw bytes atomically (the same guarantee, for files that are not data files). Every
// write is flushed and checked before the temporary file replaces the old one, so a full disk,
// a quota or an I/O error leaves the old file byte for byte; *error then says why.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The user-facing text for a failed save: "保存失败：磁盘空间不足" when the disk or a size
// limit is full, else "保存失败：" followed by the system's reason.
QString saveFailureMessage(const QString &systemReason);

// Receives messages the user should read (a failed save). save() reports a failure once: later
// failures stay quiet until a save succeeds again. Without a receiver nothing is shown.
using Reporter = std::function<void(const QString &message)>;
void setReporter(Reporter reporter);

} // namespace DataFile

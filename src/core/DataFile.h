// Loading and atomic saving of the program's small XML data files.
#pragma once

#include <QString>

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

// Writes raw bytes atomically (the same guarantee, for files that are not data files).
bool writeAtomically(const QString &path, const QByteArray &bytes);

} // namespace DataFile

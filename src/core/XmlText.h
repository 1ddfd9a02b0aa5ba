// The one rule for characters XML 1.0 cannot carry, for the data files and the editors.
#pragma once

#include <QByteArray>
#include <QString>

namespace XmlText {

// XML 1.0 allows tab, line feed, carriage return, U+0020 to U+D7FF, U+E000 to U+FFFD and the
// planes above. The rule of the data files: every other character (the remaining C0 controls
// such as U+0001 or the U+000B of a copied manual line break, U+FFFE, U+FFFF, and halves of
// surrogate pairs) is replaced by U+FFFD, so a stored text always parses and shows where
// something was lost.
QString clean(const QString &text);

// The same rule on UTF-8 bytes, applied before parsing a data file: files written before the
// rule held carry such characters raw, and would otherwise fail to load as a whole.
QByteArray cleanUtf8(const QByteArray &bytes);

// What a one-line field keeps of typed, pasted or dropped text: line breaks, tabs and the other
// line and paragraph separators become a space; the other characters XML cannot carry and
// halves of characters are dropped (the user sees exactly what is stored).
QString cleanLine(const QString &text);

} // namespace XmlText

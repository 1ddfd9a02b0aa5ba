// Keeps a line edit from holding half of a character outside the basic plane (an emoji).
#pragma once

class QLineEdit;
class QString;

// QLineEdit's length limit counts UTF-16 units and cuts a pasted or typed emoji in two when only
// one unit still fits; the lone half would then be stored as an invalid character. From this
// call on, the edit drops any such half as soon as it appears.
void keepWholeCharacters(QLineEdit *edit);

// The text without unpaired surrogates.
QString withoutBrokenCharacters(const QString &text);

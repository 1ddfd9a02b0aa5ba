// Keeps a line edit to text a data file can store: no half characters, no line breaks.
#pragma once

class QLineEdit;
class QString;

// QLineEdit's length limit counts UTF-16 units and cuts a pasted or typed emoji in two when only
// one unit still fits; the lone half would then be stored as an invalid character. Pasted text
// may carry line breaks and control characters XML cannot hold. From this call on, the edit
// cleans its text as it changes by XmlText::cleanLine: a line break becomes a space, the other
// characters and halves are dropped.
void keepStorableLine(QLineEdit *edit);

// The text without unpaired surrogates.
QString withoutBrokenCharacters(const QString &text);

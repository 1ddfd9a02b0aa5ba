#include "WholeCharacters.h"

#include "XmlText.h"

#include <QLineEdit>

QString withoutBrokenCharacters(const QString &text)
{
    QString whole;
    whole.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            whole.append(c);
            whole.append(text.at(++i));
        } else if (!c.isSurrogate()) {
            whole.append(c);
        }
    }
    return whole;
}

void keepStorableLine(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString &text) {
        const QString whole = XmlText::cleanLine(text);
        if (whole == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(whole);
        edit->setCursorPosition(qMin(cursor, int(whole.size())));
    });
}

// Reads JSON text into nested Qt variants (maps, lists, strings, numbers) with a success flag.
#pragma once

#include <QString>
#include <QVariant>

class JsonReader
{
public:
    // Deepest nesting of objects and arrays accepted; deeper text fails instead of exhausting the stack.
    static constexpr int MaxDepth = 512;

    // Parses the first value of text. ok is false when that value is malformed; text after it is
    // ignored. A null string gives an invalid variant with ok true.
    static QVariant parse(const QString &text, bool &ok);

private:
    enum Token {
        TokenNone,
        TokenObjectOpen,
        TokenObjectClose,
        TokenArrayOpen,
        TokenArrayClose,
        TokenColon,
        TokenComma,
        TokenString,
        TokenNumber,
        TokenTrue,
        TokenFalse,
        TokenNull
    };

    JsonReader(const QString &text) : m_text(text) {}

    QVariant parseValue(bool &ok);
    QVariant parseObject(bool &ok);
    QVariant parseArray(bool &ok);
    QVariant parseString(bool &ok);
    QVariant parseNumber();

    Token nextToken(int &index) const;
    Token lookAhead() const;
    void skipBlanks(int &index) const;

    const QString &m_text;
    int m_index = 0;
    int m_depth = 0;
};

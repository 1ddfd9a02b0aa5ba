#include "JsonReader.h"

#include <QVariantList>
#include <QVariantMap>

namespace {

bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r';
}

bool isNumberChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'.' || u == u'e' || u == u'E';
}

} // namespace

QVariant JsonReader::parse(const QString &text, bool &ok)
{
    ok = true;
    if (text.isNull())
        return QVariant();
    JsonReader reader(text);
    return reader.parseValue(ok);
}

void JsonReader::skipBlanks(int &index) const
{
    const int size = int(m_text.size());
    while (index < size && isBlank(m_text.at(index)))
        ++index;
}

JsonReader::Token JsonReader::nextToken(int &index) const
{
    skipBlanks(index);
    if (index >= m_text.size())
        return TokenNone;
    const char16_t c = m_text.at(index).unicode();
    ++index;
    switch (c) {
    case u'{': return TokenObjectOpen;
    case u'}': return TokenObjectClose;
    case u'[': return TokenArrayOpen;
    case u']': return TokenArrayClose;
    case u',': return TokenComma;
    case u':': return TokenColon;
    case u'"': return TokenString;
    case u'-':
    case u'0': case u'1': case u'2': case u'3': case u'4':
    case u'5': case u'6': case u'7': case u'8': case u'9':
        return TokenNumber;
    default:
        break;
    }
    --index;
    const QStringView rest = QStringView(m_text).mid(index);
    if (rest.startsWith(u"true")) {
        index += 4;
        return TokenTrue;
    }
    if (rest.startsWith(u"false")) {
        index += 5;
        return TokenFalse;
    }
    if (rest.startsWith(u"null")) {
        index += 4;
        return TokenNull;
    }
    return TokenNone;
}

JsonReader::Token JsonReader::lookAhead() const
{
    int index = m_index;
    return nextToken(index);
}

QVariant JsonReader::parseValue(bool &ok)
{
    switch (lookAhead()) {
    case TokenString:
        return parseString(ok);
    case TokenNumber:
        return parseNumber();
    case TokenObjectOpen:
        return parseObject(ok);
    case TokenArrayOpen:
        return parseArray(ok);
    case TokenTrue:
        nextToken(m_index);
        return true;
    case TokenFalse:
        nextToken(m_index);
        return false;
    case TokenNull:
        nextToken(m_index);
        return QVariant();
    default:
        ok = false;
        return QVariant();
    }
}

QVariant JsonReader::parseObject(bool &ok)
{
    // A hostile reply of nested brackets must not run the stack out; real replies nest a few levels.
    if (++m_depth > MaxDepth) {
        ok = false;
        return QVariantMap();
    }
    QVariantMap map;
    nextToken(m_index);
    for (;;) {
        const Token token = lookAhead();
        if (token == TokenNone) {
            ok = false;
            return QVariantMap();
        }
        if (token == TokenComma) {
            nextToken(m_index);
            continue;
        }
        if (token == TokenObjectClose) {
            nextToken(m_index);
            --m_depth;
            return map;
        }
        const QString key = parseString(ok).toString();
        if (!ok)
            return QVariantMap();
        if (nextToken(m_index) != TokenColon) {
            ok = false;
            return QVariantMap();
        }
        QVariant value = parseValue(ok);
        if (!ok)
            return QVariantMap();
        map.insert(key, std::move(value));
    }
}

QVariant JsonReader::parseArray(bool &ok)
{
    if (++m_depth > MaxDepth) {
        ok = false;
        return QVariantList();
    }
    QVariantList list;
    nextToken(m_index);
    for (;;) {
        const Token token = lookAhead();
        if (token == TokenNone) {
            ok = false;
            return QVariantList();
        }
        if (token == TokenComma) {
            nextToken(m_index);
            continue;
        }
        if (token == TokenArrayClose) {
            nextToken(m_index);
            --m_depth;
            return list;
        }
        QVariant value = parseValue(ok);
        if (!ok)
            return QVariantList();
        list.append(std::move(value));
    }
}

QVariant JsonReader::parseString(bool &ok)
{
    skipBlanks(m_index);
    ++m_index; // the opening quote, or whatever stands in its place
    const int size = int(m_text.size());
    const QChar *data = m_text.constData();
    QString result;
    for (;;) {
        // Copy plain runs in one go; only quotes and escapes need a look.
        int runEnd = m_index;
        while (runEnd < size && data[runEnd] != u'"' && data[runEnd] != u'\\')
            ++runEnd;
        if (runEnd > m_index)
            result.append(data + m_index, runEnd - m_index);
        m_index = runEnd;
        if (m_index >= size)
            break;
        const QChar c = data[m_index++];
        if (c == u'"')
            return result;
        // A backslash.
        if (m_index >= size)
            break;
        const char16_t escaped = data[m_index++].unicode();
        switch (escaped) {
        case u'"':
        case u'\\':
        case u'/':
            result.append(QChar(escaped));
            break;
        case u'b': result.append(QChar(8)); break;
        case u'f': result.append(QChar(12)); break;
        case u'n': result.append(QChar(10)); break;
        case u'r': result.append(QChar(13)); break;
        case u't': result.append(QChar(9)); break;
        case u'u': {
            if (size - m_index < 4) {
                ok = false;
                return QVariant();
            }
            bool hexOk = false;
            const ushort unit = QStringView(m_text).mid(m_index, 4).toUShort(&hexOk, 16);
            result.append(QChar(hexOk ? unit : ushort(0)));
            m_index += 4;
            break;
        }
        default:
            break; // an unknown escape adds nothing
        }
    }
    ok = false;
    return QVariant();
}

QVariant JsonReader::parseNumber()
{
    skipBlanks(m_index);
    const int size = int(m_text.size());
    int end = m_index;
    while (end < size && isNumberChar(m_text.at(end)))
        ++end;
    const QString number = m_text.mid(m_index, end - m_index);
    m_index = end;

    bool converted = false;
    if (number.contains(u'.'))
        return number.toDouble();
    if (number.startsWith(u'-')) {
        const int i = number.toInt(&converted);
        if (converted)
            return i;
        const qlonglong ll = number.toLongLong(&converted);
        if (converted)
            return ll;
        return number;
    }
    const uint u = number.toUInt(&converted);
    if (converted)
        return u;
    const qulonglong ull = number.toULongLong(&converted);
    if (converted)
        return ull;
    return number;
}

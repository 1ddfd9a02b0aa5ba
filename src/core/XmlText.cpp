#include "XmlText.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isForbiddenBmp(char16_t c)
{
    if (c < 0x20)
        return c != u'\t' && c != u'\n' && c != u'\r';
    return c == 0xFFFE || c == 0xFFFF;
}

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\t' || c == 0x0B || c == 0x0C || c == 0x85
        || c == 0x2028 || c == 0x2029;
}

// Walks text and appends, for each character, either itself (a whole surrogate pair at once)
// or what substitute() says for a forbidden one.
template<typename Substitute>
QString rewrite(const QString &text, Substitute substitute)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(QChar(c));
            out.append(text.at(++i));
        } else if (QChar::isSurrogate(c) || isForbiddenBmp(c)) {
            substitute(c, &out);
        } else {
            out.append(QChar(c));
        }
    }
    return out;
}

bool needsRewrite(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (isForbiddenBmp(c) || QChar::isSurrogate(c))
            return true;
    }
    return false;
}

} // namespace

namespace XmlText {

QString clean(const QString &text)
{
    if (!needsRewrite(text))
        return text;
    return rewrite(text, [](char16_t, QString *out) { out->append(QChar(kReplacement)); });
}

QByteArray cleanUtf8(const QByteArray &bytes)
{
    // A UTF-16 or UTF-32 file has zero bytes everywhere; it is left to the parser as it is.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return bytes;
    static const QByteArray replacement("\xEF\xBF\xBD");
    QByteArray out;
    qsizetype copied = 0;
    const auto replace = [&](qsizetype at, qsizetype length) {
        if (out.isNull())
            out.reserve(bytes.size() + 64);
        out.append(bytes.constData() + copied, at - copied);
        out.append(replacement);
        copied = at + length;
    };
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = uchar(bytes.at(i));
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') {
            replace(i, 1);
        } else if (b == 0xEF && i + 2 < n && uchar(bytes.at(i + 1)) == 0xBF
                   && (uchar(bytes.at(i + 2)) == 0xBE || uchar(bytes.at(i + 2)) == 0xBF)) {
            replace(i, 3); // U+FFFE, U+FFFF
            i += 2;
        } else if (b == 0xED && i + 2 < n && uchar(bytes.at(i + 1)) >= 0xA0
                   && (uchar(bytes.at(i + 2)) & 0xC0) == 0x80) {
            replace(i, 3); // an encoded surrogate half
            i += 2;
        }
    }
    if (copied == 0)
        return bytes;
    out.append(bytes.constData() + copied, n - copied);
    return out;
}

QString cleanLine(const QString &text)
{
    bool breaks = false;
    for (QChar c : text)
        breaks = breaks || isLineBreak(c.unicode());
    if (!breaks && !needsRewrite(text))
        return text;
    // A CR LF pair is one line break, so one space.
    QString spaced = text;
    spaced.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar &c : spaced) {
        if (isLineBreak(c.unicode()))
            c = u' ';
    }
    return rewrite(spaced, [](char16_t, QString *) {});
}

} // namespace XmlText

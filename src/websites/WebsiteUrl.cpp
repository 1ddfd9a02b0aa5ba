#include "WebsiteUrl.h"

#include "WebAddress.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// True when the text starts with a scheme of its own. A single letter is a drive ("C:\x"), and a
// "host:port" reads like a scheme to QUrl but not to fromUserInput, which knows ports.
bool hasOwnScheme(const QString &text, const QUrl &guessed)
{
    static const QRegularExpression schemePrefix(u"^([A-Za-z][A-Za-z0-9+.-]+):"_s);
    const QRegularExpressionMatch match = schemePrefix.match(text);
    return match.hasMatch() && match.captured(1).compare(guessed.scheme(), Qt::CaseInsensitive) == 0;
}

} // namespace

QUrl websiteUrlToOpen(const QString &address, bool typedByUser)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return QUrl();
    const QUrl guessed = QUrl::fromUserInput(text);
    if (!guessed.isValid())
        return QUrl();

    if (typedByUser && hasOwnScheme(text, guessed)) {
        const QUrl typed(text, QUrl::TolerantMode);
        return typed.isValid() ? typed : QUrl();
    }
    return WebAddress::isOpenable(guessed, WebAddress::Schemes::WebAndFtp) ? guessed : QUrl();
}

#include "WebAddress.h"

using namespace Qt::StringLiterals;

namespace WebAddress {

bool isOpenable(const QUrl &url, Schemes schemes)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    // QUrl keeps schemes in lower case, whatever the text said.
    const QString scheme = url.scheme();
    if (scheme == "http"_L1 || scheme == "https"_L1)
        return true;
    return schemes == Schemes::WebAndFtp && scheme == "ftp"_L1;
}

} // namespace WebAddress

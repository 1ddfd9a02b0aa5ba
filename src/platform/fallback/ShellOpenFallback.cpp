// Systems whose desktop service starts programs and opens documents alike (Windows: the
// shell's default action through ShellExecute).
#include "ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace ShellOpen {

bool openPath(const QString &path)
{
    return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace ShellOpen

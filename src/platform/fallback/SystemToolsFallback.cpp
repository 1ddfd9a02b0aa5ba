// Systems whose own tools the launcher does not know: no built-in cells.
#include "SystemTools.h"

#include <QDir>

namespace SystemTools {

ToolSearchPaths defaultSearchPaths()
{
    return {qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts), {}};
}

QList<SystemTool> builtInTools(const ToolSearchPaths &)
{
    return {};
}

} // namespace SystemTools

// Starting a program or opening a document the way the desktop's file manager would.
#pragma once

#include <QString>

namespace ShellOpen {

// Opens path with no arguments and no chosen working folder. Windows: the shell's default
// action. Elsewhere: an executable (binary or script) starts detached, a launcher entry runs
// its command, anything else goes to its default application. False when nothing started.
bool openPath(const QString &path);

} // namespace ShellOpen

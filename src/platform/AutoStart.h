// Starting the program when the user logs in: the desktop's per-user switch for it.
#pragma once

#include <QString>

namespace AutoStart {

// Whether this system has a per-user start-at-login switch the program can use.
bool isSupported();
// Whether the program starts at login now, as the desktop will read it.
bool isEnabled();
// Makes program (the executable's path) start at login, or stops it; true only when the desktop
// now reads what was asked.
bool setEnabled(bool enabled, const QString &program);

} // namespace AutoStart

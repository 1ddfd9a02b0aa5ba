// Where start-up time goes: with QPA_STARTUP_TRACE=1 in the environment each milestone is printed
// to stderr as "qpa-startup: <ms since the process started> <milestone> (cpu <ms used so far>)";
// otherwise nothing is.
#pragma once

class QObject;

namespace StartupTrace {

bool enabled();
// Milliseconds since the process started: the time before main as the system tells it, plus a
// clock started while the program's static objects are made.
double elapsedMs();
void mark(const char *milestone);
// Marks the milestone once the first paint of widget has ended, with its frame handed on.
void markAfterFirstPaint(QObject *widget, const char *milestone);

} // namespace StartupTrace

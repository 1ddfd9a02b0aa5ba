// What the system says when a file cannot grow.
#pragma once

#include <QList>

// The error codes (as qt_error_string takes them) that mean the disk or the user's quota is full.
QList<int> diskFullErrorCodes();

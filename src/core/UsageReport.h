// Anonymous, fire-and-forget report of one user action to the maker's statistics page.
#pragma once

#include <QString>

// Sends "stat.aspx?action=<action>"; nothing is waited for and no answer is read.
void reportAction(const QString &action);

#include "GlobalSettings.h"

void GlobalSettings::initKeyNames()
{
    // The table of keys the show/hide hot key may use arrives with the hot-key work.
}

#!/bin/sh
# Makes the Wine prefix WINEPREFIX (wine-prefix.sh WINE): Wine's first start, with no prompts for
# its .NET and browser engines. Wine links the user's Desktop, Documents, Pictures, ... to the Linux
# home folder; here they become folders of the prefix, so that nothing a Windows program or test
# writes or deletes there reaches the home of the user running it.
wine=${1:?usage: wine-prefix.sh WINE}
mkdir -p "$WINEPREFIX"
WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i </dev/null >/dev/null 2>&1
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm -f "$link"
    mkdir -p "$link"
  fi
done

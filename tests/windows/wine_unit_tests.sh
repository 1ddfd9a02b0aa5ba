#!/bin/sh
# Runs the unit tests of the Windows build (tools/windows/build.sh OUT) under Wine on the offscreen
# platform, one after another: they share one Wine prefix and so one data folder.
# Exit 77 (skipped) when there is no Windows build or no Wine.
set -u
out=$(cd "${1:?usage: wine_unit_tests.sh WINDOWS_OUT}" && pwd) || exit 1
wine=${QPA_WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || { echo "SKIPPED: $wine is missing (Debian package wine64)"; exit 77; }
[ -f "$out/build/CTestTestfile.cmake" ] || { echo "SKIPPED: no Windows build in $out (see windows_build)"; exit 77; }
export WINEPREFIX="$out/build/wine"
export WINEDEBUG=-all
# A fresh prefix each run, and one Wine server kept up for all tests (its stdio detached, or CTest
# would wait for it).
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
t=$(date +%s)
"${wine%/*}/wineserver" -p </dev/null >/dev/null 2>&1
trap '"${wine%/*}/wineserver" -k >/dev/null 2>&1' EXIT
sh "$(dirname "$0")/../../tools/windows/wine-prefix.sh" "$wine"
echo "Wine prefix ready: $(( $(date +%s) - t )) s"
# Left out, as they are written for the Linux desktop: the launcher's tests expect its Linux tools
# and .desktop entries (programs, programs_platform), and tst_app watches the lock file and socket
# file of the Unix single-instance guard (the Wine end-to-end check covers the second start).
ctest --test-dir "$out/build" --output-on-failure -j1 -E '^(programs|programs_platform|app)$'

#!/bin/sh
# Runs a program of the Windows build under Wine: wine-run.sh QT_PREFIX PROGRAM.exe [ARGS...].
# CTest's emulator for the cross build's tests. The Wine prefix is WINEPREFIX, else a "wine" folder
# beside the build's bin/; the Qt DLLs and the mingw runtime are found through WINEPATH.
# Each run starts from an empty data folder, as each Linux test run gets its own HOME.
set -eu
qt=${1:?usage: wine-run.sh QT_PREFIX PROGRAM [ARGS...]}
shift
program=$1
shift
wine=${QPA_WINE:-/usr/lib/wine/wine64}
: "${WINEPREFIX:=$(cd "$(dirname "$program")/.." && pwd)/wine}"
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# No prompts to install Wine's .NET and browser engines.
export WINEDLLOVERRIDES="mscoree,mshtml="
gcc_dir=$(dirname "$(x86_64-w64-mingw32-gcc-posix -print-libgcc-file-name)")
export WINEPATH="Z:$qt/bin;Z:$gcc_dir;Z:/usr/x86_64-w64-mingw32/lib"
export QT_PLUGIN_PATH="Z:$qt/plugins"
# Wine keeps QT_* variables from Windows programs (they would confuse a Windows Qt); WINEQT_* ones
# reach them as QT_*.
for var in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  eval "export WINE$var=\"\$$var\""
done
# Qt's offscreen platform reads fonts on Windows only from one folder (not the system's): it gets
# the faces the Linux tests have.
if [ "${QT_QPA_PLATFORM:-}" = offscreen ] && [ -z "${QT_QPA_FONTDIR:-}" ]; then
  mkdir -p "$WINEPREFIX/fonts"
  for f in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf; do
    [ -f "$f" ] && ln -sf "$f" "$WINEPREFIX/fonts/"
  done
  export WINEQT_QPA_FONTDIR="Z:$WINEPREFIX/fonts"
fi
[ -d "$WINEPREFIX/drive_c" ] || sh "$(dirname "$0")/wine-prefix.sh" "$wine"
for d in "$WINEPREFIX"/drive_c/users/*/AppData/Roaming "$WINEPREFIX"/drive_c/users/*/AppData/Local; do
  rm -rf "$d/QuorvikPcAssist"
done
case $(basename "$program") in
  tst_*)
    # What a test writes to its standard output does not come through Wine's console: the test
    # writes its log to a file, shown once it ends.
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    rc=0
    "$wine" "$program" "$@" -o "$log,txt" || rc=$?
    cat "$log"
    exit $rc ;;
esac
exec "$wine" "$program" "$@"

#!/bin/sh
# Windows build of the assistant, cross-compiled on Debian:
#   build.sh HOST_BUILD OUT
# 1. Qt Base for x86_64-w64-mingw32, built once into a cache outside the repository (build-qt.sh);
# 2. the program and its unit tests, cross-built into OUT/build with the pictures rendered by the
#    native build HOST_BUILD (its tools/svgrender);
# 3. the portable folder OUT/QuorvikPcAssist (program, Qt DLLs and plug-ins, mingw runtime,
#    Resources) and the installer OUT/QuorvikPcAssist-<version>-setup.exe (NSIS).
# Exits 77 with the reason when Qt for Windows cannot be had (download or build failed): that is
# no fault of the project. A failure of the program's own build exits 1.
# Cache: $QPA_WINDOWS_CACHE, else ~/.cache/quorvik-pc-assist/windows.
# QPA_WINDOWS_QT_BUDGET (seconds): the Qt build stops after that long and the Windows steps are
# skipped; the next run resumes it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
host=$(cd "${1:?usage: build.sh HOST_BUILD OUT}" && pwd)
mkdir -p "${2:?usage: build.sh HOST_BUILD OUT}"
out=$(cd "$2" && pwd)
cache=${QPA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/quorvik-pc-assist/windows}
qt=$cache/qt6-mingw
triple=x86_64-w64-mingw32
skip() { echo "SKIPPED: Windows build: $*"; exit 77; }
elapsed() { echo "$(( $(date +%s) - $1 )) s"; }

for tool in $triple-g++-posix $triple-objdump makensis; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[ -x "$host/tools/svgrender" ] || { echo "no native build with tools/svgrender in $host" >&2; exit 1; }

# --- 1. Qt -----------------------------------------------------------------------------------------
t=$(date +%s)
mkdir -p "$cache"
rc=0
[ -z "${QPA_WINDOWS_QT_BUDGET:-}" ] || export QPA_WINDOWS_QT_DEADLINE=$((t + QPA_WINDOWS_QT_BUDGET))
flock "$cache/lock" sh "$here/build-qt.sh" "$qt" || rc=$?
case $rc in
  0) echo "Qt for Windows ready: $(elapsed "$t")" ;;
  3) skip "Qt for Windows could not be fetched or built (see above)" ;;
  *) skip "the Qt build failed (logs in $cache/qtbase-build)" ;;
esac

# --- 2. The program and its unit tests ---------------------------------------------------------------
t=$(date +%s)
launcher=
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$root" -B "$out/build" -G Ninja $launcher \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_FIND_ROOT_PATH="$qt" -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQPA_HOST_BUILD_DIR="$host" -DQPA_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh;$qt" >"$out/configure.log" 2>&1 \
  || { cat "$out/configure.log"; exit 1; }
cmake --build "$out/build" || exit 1
echo "Program and unit tests for Windows built: $(elapsed "$t")"

# --- 3. Portable folder and installer ----------------------------------------------------------------
app=$out/QuorvikPcAssist
rm -rf "$app"
mkdir -p "$app/platforms" "$app/imageformats" "$app/styles" "$app/tls" "$app/translations"
cp "$out/build/bin/QuorvikPcAssist.exe" "$app/"
cp -r "$out/build/bin/Resources" "$app/"
cp "$qt/plugins/platforms/qwindows.dll" "$qt/plugins/platforms/qoffscreen.dll" "$app/platforms/"
cp "$qt/plugins/imageformats/qjpeg.dll" "$qt/plugins/imageformats/qico.dll" \
   "$qt/plugins/imageformats/qgif.dll" "$app/imageformats/"
cp "$qt/plugins/styles/"*.dll "$app/styles/"
cp "$qt/plugins/tls/qschannelbackend.dll" "$app/tls/"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$app/translations/" 2>/dev/null || true
# Plug-ins beside the program; the Chinese texts of Qt's own dialogs in translations/.
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$app/qt.conf"

# Every DLL the program and its plug-ins import, found among Qt's and the mingw runtime's.
dll_dirs="$qt/bin $(dirname "$($triple-gcc-posix -print-libgcc-file-name)") /usr/$triple/lib /usr/$triple/bin"
imports() { $triple-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
pending=$(find "$app" -name '*.exe' -o -name '*.dll')
while [ -n "$pending" ]; do
  next=
  for f in $pending; do
    for dll in $(imports "$f"); do
      [ -e "$app/$dll" ] && continue
      for d in $dll_dirs; do
        if [ -f "$d/$dll" ]; then
          cp "$d/$dll" "$app/"
          next="$next $app/$dll"
          break
        fi
      done
    done
  done
  pending=$next
done
for need in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  [ -f "$app/$need" ] || { echo "portable folder lacks $need" >&2; exit 1; }
done

version=$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
setup=$out/QuorvikPcAssist-$version-setup.exe
find "$app" -maxdepth 1 -type f -printf 'Delete "$INSTDIR\\%f"\n' >"$out/installed-files.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DAPP_DIR="$app" -DAPP_VERSION="$version" \
  -DAPP_ICON="$out/build/src/app/QuorvikPcAssist.ico" -DFILE_LIST="$out/installed-files.nsh" \
  -DOUT_FILE="$setup" "$here/installer.nsi" || exit 1
echo "Portable folder: $app ($(du -sh "$app" | cut -f1))"
echo "Installer: $setup ($(du -h "$setup" | cut -f1))"

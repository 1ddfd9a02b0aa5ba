#!/bin/sh
# Builds Qt Base 6.4.2 for x86_64-w64-mingw32 from Debian's qt6-base source package and installs it
# into PREFIX (a folder outside the repository). The Linux Qt serves as host Qt (moc, rcc, uic).
# Reuses an existing install whose recipe (this file, the toolchain file, the source version)
# matches; an interrupted build of the same recipe resumes.
# QPA_WINDOWS_QT_DEADLINE (seconds since the epoch): the build stops there, to resume next time.
# Exit status: 0 ready, 3 could not be had (reason on stderr, last line), anything else a fault.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=${1:?usage: build-qt.sh PREFIX}
cache=$(dirname "$prefix")
jobs=${QPA_JOBS:-$(nproc)}
skip() { echo "Qt for Windows unavailable: $*" >&2; exit 3; }

host_qt=$(dpkg-query -W -f '${Version}' qt6-base-dev 2>/dev/null) || skip "the Linux Qt (qt6-base-dev) is not installed"
upstream=${host_qt%%+*}
recipe=$(cat "$here/build-qt.sh" "$here/mingw-w64-x86_64.cmake"; echo "$host_qt")
recipe=$(printf '%s' "$recipe" | sha256sum | cut -d' ' -f1)
if [ -f "$prefix/recipe.sha256" ] && [ "$(cat "$prefix/recipe.sha256")" = "$recipe" ]; then
  echo "Qt for Windows: cached in $prefix"
  exit 0
fi
command -v x86_64-w64-mingw32-g++-posix >/dev/null || skip "g++-mingw-w64-x86-64-posix is not installed"

mkdir -p "$cache/src"
src=$cache/src
orig=$(ls "$src"/qt6-base_"${upstream}"*.orig.tar.* 2>/dev/null | head -n 1 || true)
if [ -z "$orig" ]; then
  # The source index needs a deb-src entry for the Debian archive this machine already uses.
  if ! (cd "$src" && apt-get source --download-only "qt6-base=$host_qt") >"$src/fetch.log" 2>&1; then
    [ "$(id -u)" = 0 ] || skip "apt-get source failed and adding a deb-src entry needs root (see $src/fetch.log)"
    list=/etc/apt/sources.list.d/qpa-deb-src.sources
    : >"$list.new"
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$list" ] || continue
      # deb822 stanzas of Debian's archive, turned into deb-src stanzas.
      awk 'BEGIN{RS=""; ORS="\n\n"} /Types:[^\n]*deb/ && /URIs:[^\n]*debian/ {sub(/Types:[^\n]*/, "Types: deb-src"); print}' "$f" >>"$list.new"
    done
    if [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' /etc/apt/sources.list >"${list%.sources}.list.new"
      mv "${list%.sources}.list.new" "${list%.sources}.list"
      [ -s "${list%.sources}.list" ] || rm -f "${list%.sources}.list"
    fi
    mv "$list.new" "$list"
    [ -s "$list" ] || rm -f "$list"
    apt-get update >>"$src/fetch.log" 2>&1 || skip "apt-get update failed (see $src/fetch.log)"
    (cd "$src" && apt-get source --download-only "qt6-base=$host_qt") >>"$src/fetch.log" 2>&1 \
      || skip "apt-get source qt6-base=$host_qt failed (see $src/fetch.log)"
  fi
  orig=$(ls "$src"/qt6-base_"${upstream}"*.orig.tar.* 2>/dev/null | head -n 1 || true)
  [ -n "$orig" ] || skip "the qt6-base source package has no upstream tarball"
fi

work=$cache/qtbase-build
rm -rf "$prefix"
if [ -f "$work/recipe.sha256" ] && [ "$(cat "$work/recipe.sha256")" = "$recipe" ] \
   && [ -f "$work/build/build.ninja" ]; then
  # An interrupted build of the same recipe goes on where it stopped.
  echo "Qt for Windows: resuming the build in $work"
else
  rm -rf "$work"
  mkdir -p "$work"
  tar -xf "$orig" -C "$work"
  srcdir=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  # Upstream sources as released; Debian's patches are for its Linux build.
  # The source package lacks the Windows-only iaccessible2 and wintab folders, hence no
  # accessibility and no tablet events. 6.4.2's Windows platform plugin needs OpenGL, and Direct2D
  # too (without it Qt Gui leaves out the DirectWrite font database the plug-in links to).
  cmake -S "$srcdir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_accessibility=OFF -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON \
    >"$work/configure.log" 2>&1 || { tail -n 30 "$work/configure.log" >&2; exit 1; }
  echo "$recipe" >"$work/recipe.sha256"
fi
if [ -n "${QPA_WINDOWS_QT_DEADLINE:-}" ]; then
  left=$((QPA_WINDOWS_QT_DEADLINE - $(date +%s)))
  [ "$left" -gt 0 ] || left=1
  rc=0
  timeout "$left" cmake --build "$work/build" -j "$jobs" >>"$work/build.log" 2>&1 || rc=$?
  [ $rc -ne 124 ] || skip "the build did not finish in the time given to it; the next run resumes it ($(grep -o '^\[[0-9]*/[0-9]*\]' "$work/build.log" | tail -n 1) steps done)"
  [ $rc -eq 0 ] || { tail -n 30 "$work/build.log" >&2; exit 1; }
else
  cmake --build "$work/build" -j "$jobs" >>"$work/build.log" 2>&1 || { tail -n 30 "$work/build.log" >&2; exit 1; }
fi
cmake --install "$work/build" >"$work/install.log" 2>&1 || { tail -n 30 "$work/install.log" >&2; exit 1; }
echo "$recipe" >"$prefix/recipe.sha256"
rm -rf "$work"
echo "Qt for Windows: built into $prefix"

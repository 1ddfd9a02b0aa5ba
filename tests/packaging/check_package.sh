#!/bin/sh
# Builds the .deb, unpacks it into a scratch root and checks the layout, the entries and that the
# program started through the bin/ link finds its pictures.
set -u
build=$1
work=$2
fail() { echo "FAIL: $*"; exit 1; }
command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb missing"; exit 77; }

rm -rf "$work" && mkdir -p "$work" || fail "cannot create $work"
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb produced"
echo "package: $deb"

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
dpkg-deb -c "$deb" | awk '{print $6, $7, $8}' > "$work/contents.txt"
cat "$work/contents.txt"

app=$root/usr/lib/quorvik-pc-assist
for f in "$app/QuorvikPcAssist" "$app/Resources/bg_dialog.png" \
         "$root/usr/share/applications/quorvik-pc-assist.desktop" \
         "$root/etc/xdg/autostart/quorvik-pc-assist.desktop" \
         "$root/usr/share/icons/hicolor/48x48/apps/quorvik-pc-assist.png" \
         "$root/usr/share/icons/hicolor/256x256/apps/quorvik-pc-assist.png" \
         "$root/usr/share/icons/hicolor/scalable/apps/quorvik-pc-assist.svg"; do
    [ -e "$f" ] || fail "missing ${f#$root}"
done
[ -L "$root/usr/bin/QuorvikPcAssist" ] || fail "usr/bin/QuorvikPcAssist is not a link"
[ "$(readlink -f "$root/usr/bin/QuorvikPcAssist")" = "$(readlink -f "$app/QuorvikPcAssist")" ] \
    || fail "launcher link points elsewhere"
# Nothing but the program, its pictures and the desktop integration.
extra=$(awk '{print $1}' "$work/contents.txt" | grep -v '/$' \
        | grep -v -E '^\./(usr/(bin|lib/quorvik-pc-assist|share/(applications|icons|doc))|etc/xdg/autostart)/')
[ -z "$extra" ] || fail "unexpected files: $extra"

# The program is stripped; its debug information is in the separate dbgsym package, found by the
# program's build id.
if command -v readelf >/dev/null; then
    readelf -S "$app/QuorvikPcAssist" | grep -q '\.debug_info' && fail "the packaged program carries debug information"
    ddeb=$(ls "$work"/*-dbgsym_*.ddeb 2>/dev/null | head -n 1)
    [ -n "$ddeb" ] || fail "no -dbgsym .ddeb produced"
    echo "debug package: $ddeb"
    buildid=$(readelf -n "$app/QuorvikPcAssist" | awk '/Build ID/ {print $3}')
    [ -n "$buildid" ] || fail "the program has no build id"
    dbg=./usr/lib/debug/.build-id/$(echo "$buildid" | cut -c1-2)/$(echo "$buildid" | cut -c3-).debug
    dpkg-deb -c "$ddeb" | awk '{print $6}' | grep -qx "$dbg" || fail "the debug package lacks $dbg"
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The data files and replies are read with QtCore's stream reader, so Qt XML is no dependency.
for dep in libqt6widgets6 libqt6network6 libqt6svg6 qt6-qpa-plugins fonts-wqy-microhei; do
    echo "$depends" | grep -q "$dep" || fail "Depends lacks $dep"
done

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/quorvik-pc-assist.desktop" || fail "desktop entry"
fi

# Started through the link from another working folder, the program must open its pictures from
# the unpacked Resources folder.
command -v strace >/dev/null || { echo "SKIP: strace missing for the start check"; exit 77; }
home=$work/home
mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
cd /
HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime \
QT_QPA_PLATFORM=offscreen http_proxy=http://127.0.0.1:9 \
    timeout 5 strace -f -e trace=openat -o "$work/strace.log" "$root/usr/bin/QuorvikPcAssist"
grep -E "openat\(.*$app/Resources/[^\"]+\", O_RDONLY.*= [0-9]+$" "$work/strace.log" | head -n 3 > "$work/opened.txt"
cat "$work/opened.txt"
[ -s "$work/opened.txt" ] || fail "the program opened no picture from $app/Resources"
echo "PASS"

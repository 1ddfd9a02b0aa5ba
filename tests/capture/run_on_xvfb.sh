#!/bin/sh
# Runs a program on a private Xvfb display (with openbox when installed); exits 77, "skipped",
# when Xvfb or the X tools the program drives are missing.
for tool in Xvfb xdotool xclip; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d) || exit 1
# Xvfb picks a free display itself and reports its number on file descriptor 3.
Xvfb -displayfd 3 -screen 0 ${QPA_XVFB_SCREEN:-1280x800x24} -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
wm=
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

i=0
while [ ! -s "$work/display" ]; do
    i=$((i + 1))
    if [ $i -gt 100 ] || ! kill -0 "$xvfb" 2>/dev/null; then
        echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
echo "running on display $DISPLAY"

if command -v openbox >/dev/null 2>&1; then
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 0.5
fi

QT_QPA_PLATFORM=xcb "$@"
exit $?

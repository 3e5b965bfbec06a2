#!/usr/bin/env bash
# Starts Vantrel.exe under Wine with a strings file, waits for its main window
# with the file and saves a screenshot; then, with a change unsaved, ends the
# Windows session (the close query must ask, and Cancel keep the program) and
# closes the window (No ends the program):
#   window-under-wine.sh VANTREL.EXE GRAB SCREENSHOT.png
# Run it under an X server (xvfb-run); needs xdotool and wine.
set -euo pipefail
vantrel=$1 grab=$2 screenshot=$3
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT

fail() {
    echo "window under Wine: $*" >&2
    exit 1
}

# Three rows, numbers 1 to 3, one of them outside ASCII: "Hello", "Café", "Bye".
printf '\xfe\xfe\xfe\xfe\x03\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0\x02\0\0\0\x03\0\0\0\x28\0\0\0\x2e\0\0\0\x34\0\0\0Hello\0Caf\xc3\xa9\0Bye\0' \
    >"$work/sample.eng"
wine "$vantrel" "$work/sample.eng" >/dev/null 2>&1 &
pid=$!
main=$(timeout 60 xdotool search --sync --onlyvisible --name '^Zelk Strings Editor - sample\.eng$' | head -n 1) \
    || fail "the main window did not show the file"
sleep 1 # let the first paint finish before the picture is taken
QT_QPA_PLATFORM=xcb "$grab" "$screenshot" || fail "no screenshot"
xdotool windowfocus --sync "$main"

# An unsaved change, then Windows' end of session: the close query asks, and
# Cancel keeps the program and its work.
xdotool key --window "$main" Down Tab
xdotool type --delay 20 "x"
wineboot --end-session >/dev/null 2>&1 &
ending=$!
confirm=$(timeout 30 xdotool search --sync --onlyvisible --name '^Confirm$' | head -n 1) \
    || fail "ending the session did not ask to save the changes"
xdotool windowfocus --sync "$confirm"
xdotool key Escape
wait "$ending" || true
kill -0 "$pid" 2>/dev/null || fail "the program ended although Cancel was answered"

# Closing the window asks again; No discards the change and the program ends.
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+F4
confirm=$(timeout 30 xdotool search --sync --onlyvisible --name '^Confirm$' | head -n 1) \
    || fail "closing the window did not ask to save the changes"
xdotool windowfocus --sync "$confirm"
xdotool key n
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end when its window was closed"
wait "$pid" || fail "the program ended with status $?"
pid=
echo "window under Wine: shown with sample.eng, screenshot $screenshot; the close query answered the end of the session and the close"

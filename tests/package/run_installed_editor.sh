#!/usr/bin/env bash
# Starts an installed editor with a file under an X server, waits for its
# window with the file's name, and ends it with File > Exit:
#   run_installed_editor.sh VANTREL FILE
set -euo pipefail
"$1" "$2" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Zelk Strings Editor - $(basename "$2")\$" | head -n 1)
xdotool windowfocus --sync "$window"
xdotool key alt+f x
timeout 20 tail --pid="$pid" -f /dev/null
wait "$pid"

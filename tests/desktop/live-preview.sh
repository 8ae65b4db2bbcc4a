#!/usr/bin/env bash
# The live preview in the built program under Xvfb + openbox. Started with --live-preview on a
# page, a div with a distinctive background typed at the end shows in the preview without a save
# (the time from the last key is printed), and the file stays as it was. Started without it, the
# colour does not show until F5 saves and reloads.
set -u
source "$(dirname "$0")/../../bench/desktop/private-display.sh" live-preview
PAGE='<html><body style="margin:0;background:#ffffff"><p>Страница</p></body></html>'
DIV='<div style="position:fixed;left:0;top:0;right:0;bottom:0;background:#00ff7f"></div>'
COLOUR=00ff7f
# How long the program without the option is watched for a colour it must not show.
QUIET_S=${QUIET_S:-3}

# Each run has its own page: the first run's typing, never saved, stays in its recovery journal.
start() { # NAME [OPTION]
    FILE=$T/$1
    printf '%s' "$PAGE" >"$FILE"
    (cd "$T" && exec "$PW" "${@:2}" "$FILE") >"$T/log" 2>&1 & PID=$!
    WIN=$(window_of $PID "$1" 60)
    [ -n "$WIN" ] || { echo "FAIL: no window"; cat "$T/log"; exit 1; }
    X=$(( $(xwininfo -id "$WIN" | awk '/Absolute upper-left X/{print $NF}') + 100 ))
    Y=$(( $(xwininfo -id "$WIN" | awk '/Absolute upper-left Y/{print $NF}') + 100 ))
    shows ffffff 60 || { echo "FAIL: the page is not shown"; cat "$T/log"; exit 1; }
    xdotool windowactivate --sync "$WIN"; sleep 1
}
stop() { kill $PID; wait $PID 2>/dev/null; PID=""; }
shows() { # COLOUR SECONDS: whether the preview shows COLOUR within SECONDS
    local end=$(( $(date +%s%N) + $2 * 1000000000 ))
    while [ "$(date +%s%N)" -lt $end ]; do
        [ "$(pixel $X $Y)" = "$1" ] && return 0
    done
    return 1
}
type_div() {
    xdotool key ctrl+End
    xdotool type --delay 15 "$DIV"
    LAST_KEY=$(date +%s%N)
}

# 1. Live: the colour comes without a save.
start live.html --live-preview
type_div
shows $COLOUR 30 || { echo "FAIL: the typed div does not show live"; cat "$T/log"; exit 1; }
echo "live: the colour shows $(( ($(date +%s%N) - LAST_KEY) / 1000000 )) ms after the last key"
[ "$(cat "$FILE")" = "$PAGE" ] || { echo "FAIL: the file was written"; exit 1; }
stop

# 2. Without the option: only F5 shows it.
start saved.html
type_div
if shows $COLOUR "$QUIET_S"; then echo "FAIL: the colour shows before F5"; exit 1; fi
xdotool key F5
shows $COLOUR 30 || { echo "FAIL: F5 does not show the typed div"; cat "$T/log"; exit 1; }
[ "$(cat "$FILE")" = "$PAGE$DIV" ] || { echo "FAIL: F5 did not save:"; cat "$FILE"; exit 1; }
stop
echo "OK: the live preview shows the text as typed, the saved preview only after F5"

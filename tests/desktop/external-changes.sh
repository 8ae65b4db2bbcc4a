#!/usr/bin/env bash
# Another program's change to the open file is never overwritten by the built program under
# Xvfb + openbox. Unmodified document, file replaced by a rename (as most editors save): the
# program reads it again, so a key and Ctrl+S keep the other program's text. Modified document,
# file appended to: Ctrl+S asks before writing over it, and No (Esc) leaves the file as the other
# program wrote it.
set -u
source "$(dirname "$0")/../../bench/desktop/private-display.sh" external-changes
# Long enough for the program to see a change and read the file (it waits for 200 ms of quiet).
SETTLE=${SETTLE:-3}

start() {
    (cd "$T" && exec "$PW" "$T/$1") >"$T/log" 2>&1 & PID=$!
    WIN=$(window_of $PID "$1")
    [ -n "$WIN" ] || { echo "FAIL: no window"; cat "$T/log"; exit 1; }
    xdotool windowactivate --sync "$WIN"; sleep 1
}
stop() { kill $PID; wait $PID 2>/dev/null; PID=""; }
expect_file() { # NAME EXPECTED WHAT
    for _ in $(seq 50); do
        [ "$(cat "$T/$1")" = "$2" ] && return 0
        sleep 0.2
    done
    echo "FAIL: $3; the file holds:"; cat "$T/$1"; echo; cat "$T/log"; exit 1
}

# 1. Unmodified document, replaced by rename.
printf '<p>ours</p>' >"$T/one.html"
start one.html
printf '<p>theirs</p>' >"$T/one.html.new" && mv "$T/one.html.new" "$T/one.html"
sleep "$SETTLE"
xdotool key --delay 100 ctrl+End x ctrl+s
expect_file one.html '<p>theirs</p>x' "the other program's text was not read again"
stop

# 2. Modified document, file appended to.
printf '<p>ours</p>' >"$T/two.html"
start two.html
xdotool key --delay 100 ctrl+End y
sleep 0.5
printf '<p>appended</p>' >>"$T/two.html"
sleep "$SETTLE"
xdotool key --delay 100 ctrl+s
QUESTION=$(window_of $PID "Подтверждение" 20)
[ -n "$QUESTION" ] || { echo "FAIL: no question before writing over"; cat "$T/log"; exit 1; }
xdotool windowactivate --sync "$QUESTION"; sleep 0.3
xdotool key Escape
sleep 1
expect_file two.html '<p>ours</p><p>appended</p>' "the other program's text was written over"
kill -0 $PID || { echo "FAIL: the program ended"; cat "$T/log"; exit 1; }
echo "OK: the other program's text is kept in both cases"

#!/usr/bin/env bash
# Accented letters typed with dead keys (the US international layout under Xvfb + openbox) reach
# the built program's editor composed, as one character each, and are saved so: the page is
# Windows-1251, which holds none of them, so each is written as its character reference.
set -u
source "$(dirname "$0")/../../bench/desktop/private-display.sh" dead-keys
setxkbmap -layout us -variant intl || { echo "FAIL: setxkbmap"; exit 1; }
printf '<p>x</p>\n' >"$T/doc.html"
(cd "$T" && exec env LANG=C.UTF-8 "$PW" "$T/doc.html") >"$T/log" 2>&1 & PID=$!
WIN=$(window_of $PID doc.html)
[ -n "$WIN" ] || { echo "FAIL: no window"; cat "$T/log"; exit 1; }
xdotool windowactivate --sync "$WIN"; sleep 0.5
# The caret after "<p>x": the editor has the focus with the caret at the start.
xdotool key --delay 100 ctrl+Home Right Right Right Right
for keys in "dead_acute e" "dead_grave a" "dead_diaeresis u" "dead_tilde n" "dead_circumflex o" \
            "dead_acute space"; do
    xdotool key --delay 100 $keys
done
xdotool key --delay 100 ctrl+s
expected="<p>x&#233;&#224;&#252;&#241;&#244;'</p>"
for _ in $(seq 50); do
    [ "$(cat "$T/doc.html")" = "$expected" ] && { echo "OK: composed and saved"; exit 0; }
    sleep 0.2
done
echo "FAIL: the file holds:"; od -c "$T/doc.html"; cat "$T/log"; exit 1

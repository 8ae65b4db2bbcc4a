#!/usr/bin/env bash
# The built program, started with a page on its command line under Xvfb + openbox, shows the page
# in its preview: the engine module is found and loaded, and draws the page's colour where the
# preview is. Reads the screen with xwd (x11-apps, through pixel).
set -u
source "$(dirname "$0")/../../bench/desktop/private-display.sh" page-shown
printf '<html><body style="background:#ff00ff"><p>Страница</p></body></html>' >"$T/page.html"
(cd "$T" && exec "$PW" "$T/page.html") >"$T/log" 2>&1 & PID=$!

WIN=$(window_of $PID page.html 60)
[ -n "$WIN" ] || { echo "FAIL: no window"; cat "$T/log"; exit 1; }
X=$(xwininfo -id "$WIN" | awk '/Absolute upper-left X/{print $NF}')
Y=$(xwininfo -id "$WIN" | awk '/Absolute upper-left Y/{print $NF}')
colour=""
for _ in $(seq 120); do
    colour=$(pixel $((X + 100)) $((Y + 100)))
    [ "$colour" = ff00ff ] && break
    sleep 0.5
done
if [ "$colour" != ff00ff ]; then
    echo "FAIL: the preview shows $colour at (100, 100) of the window, not the page's ff00ff"
    cat "$T/log"; exit 1
fi
if grep -q "Просмотр недоступен" "$T/log"; then cat "$T/log"; exit 1; fi
echo "OK: the page is shown in the preview"

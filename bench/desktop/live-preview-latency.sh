#!/usr/bin/env bash
# live-preview-latency.sh FILE [ROUNDS] — how soon the live preview shows what was typed, and
# where the time goes. Opens a copy of FILE with --live-preview under a private Xvfb + openbox,
# then ROUNDS times types at the end of the text a div that covers the preview in a colour of
# its own, and polls the screen until the colour shows. Prints, per round, the milliseconds from
# the last key to each step of the update the program traces (PAGEWRIGHT_LIVE_TRACE) and to the
# colour on the screen; then the median and the largest of the latter.
set -u
FILE=$(readlink -f "$1") ROUNDS=${2:-10}
source "$(dirname "$0")/private-display.sh" live-latency
cp "$FILE" "$T/page.html"
gcc -O2 -o "$T/pixel-watch" "$(dirname "$0")/pixel-watch.c" -lX11 || exit 1
(cd "$T" && PAGEWRIGHT_LIVE_TRACE=1 exec "$PW" --live-preview "$T/page.html") >"$T/log" 2>&1 & PID=$!
WIN=$(window_of $PID page.html 60)
[ -n "$WIN" ] || { echo "no window" >&2; cat "$T/log" >&2; exit 1; }
X=$(( $(xwininfo -id "$WIN" | awk '/Absolute upper-left X/{print $NF}') + 100 ))
Y=$(( $(xwininfo -id "$WIN" | awk '/Absolute upper-left Y/{print $NF}') + 100 ))
xdotool windowactivate --sync "$WIN"
for _ in $(seq 600); do grep -q "load-finished" "$T/log" && break; sleep 0.1; done
sleep 2
xdotool key ctrl+End
now_ms() { awk '{printf "%.3f\n", $1 * 1000}' /proc/uptime; }
: >"$T/results"
for round in $(seq "$ROUNDS"); do
    COLOUR=$(printf '%02x%02x%02x' $((round * 37 % 200 + 20)) $((255 - round * 11 % 100)) 40)
    sleep 1.5
    : >"$T/round.log"
    MARK=$(wc -l <"$T/log")
    # The watch starts with the typing: the colour cannot show before the last key.
    "$T/pixel-watch" $X $Y $COLOUR 30000 >"$T/shown" &
    WATCH=$!
    xdotool type --delay 15 "<div style=\"position:fixed;left:0;top:0;right:0;bottom:0;background:#$COLOUR\"></div>"
    wait $WATCH
    SHOWN=$(cat "$T/shown")
    sleep 1
    tail -n +"$((MARK + 1))" "$T/log" | grep '^live-trace' | awk -v shown="$SHOWN" \
        -v round="$round" '
        $3 == "edit" { last = $2; n = 0; delete seen; next }
        last && !($3 in seen) && $3 != "paint" { seen[$3] = 1; steps[++n] = sprintf("%s %.0f", $3, $2 - last) }
        last && $3 == "paint" && ("load-requested" in seen) && painted < 6 { painted++; steps[++n] = sprintf("paint %.0f", $2 - last) }
        END {
            line = "round " round ":"
            for (i = 1; i <= n; ++i) line = line "  " steps[i]
            if (shown != "") { s = shown - last; line = line "  SHOWN " int(s) }
            else line = line "  SHOWN never"
            print line
        }' | tee -a "$T/results"
done
awk '{ for (i = 1; i <= NF; ++i) if ($i == "SHOWN" && $(i+1) != "never") v[++n] = $(i+1) }
     END { for (i = 1; i <= n; ++i) print v[i] }' "$T/results" | sort -n | awk '
     { v[++n] = $1; if ($1 > 500) ++over }
     END { if (n) printf "shown after the last key: median %d ms, max %d ms, over 500 ms %d of %d\n", v[int((n + 1) / 2)], v[n], over, n }'

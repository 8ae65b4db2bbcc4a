#!/usr/bin/env bash
# live-typing-latency.sh FILE [KEYS] [DELAY_MS] — the latency of each key while typing in FILE:
# opens a copy of FILE under a private Xvfb + openbox with the options in PW_ARGS (for example
# --live-preview), puts the caret into the text (CARET_KEYS, default: Ctrl+End, then up ten
# lines), types KEYS letters in words of five, DELAY_MS apart with a pause of 0.3 to 1.2 s after
# each word and of LONG_PAUSE_S (default 6) after every fourth (so that live updates run between
# and during the words, also on a big page whose updates wait longer), and prints p50, p99 and the largest of the times
# from each key's event in the X server to the start of its repaint (PAGEWRIGHT_KEY_LATENCY).
# TRACE=1 also prints the live preview's trace.
set -u
FILE=$(readlink -f "$1") KEYS=${2:-200} DELAY=${3:-80}
source "$(dirname "$0")/private-display.sh" typing-latency
cp "$FILE" "$T/page.html"
(cd "$T" && PAGEWRIGHT_KEY_LATENCY=1 PAGEWRIGHT_LIVE_TRACE=${TRACE:-} exec "$PW" ${PW_ARGS:-} \
    "$T/page.html") >"$T/log" 2>&1 & PID=$!
WIN=$(window_of $PID page.html 60)
[ -n "$WIN" ] || { echo "no window" >&2; cat "$T/log" >&2; exit 1; }
xdotool windowactivate --sync "$WIN"
sleep "${SETTLE_S:-15}"
xdotool key ${CARET_KEYS:-ctrl+End Up Up Up Up Up Up Up Up Up Up End}
sleep 2
MARK=$(wc -l <"$T/log")
for i in $(seq $((KEYS / 5))); do
    xdotool type --delay "$DELAY" "abcd "
    sleep "0.$(( 3 + i * 7 % 7 ))$(( i * 3 % 10 ))"
    [ $((i % 4)) = 0 ] && sleep "${LONG_PAUSE_S:-6}"
done
sleep 3
tail -n +"$((MARK + 1))" "$T/log" >"$T/typed.log"
[ -n "${TRACE:-}" ] && head -n "$MARK" "$T/log" | grep -v " edit$"
[ -n "${TRACE:-}" ] && echo "--- typing"
[ -n "${TRACE:-}" ] && cat "$T/typed.log"
grep '^key-latency' "$T/typed.log" | awk '{print $2}' | sort -n | awk '
    { v[++n] = $1 }
    END { if (!n) { print "no keys measured"; exit 1 }
          i99 = int(n * 0.99); if (i99 < 1) i99 = 1
          printf "keys %d: p50 %d ms, p99 %d ms, max %d ms, over 16 ms: %d\n", n, v[int((n + 1) / 2)], v[i99], v[n], over(v, n) }
    function over(a, k,   c, j) { for (j = 1; j <= k; ++j) if (a[j] > 16) ++c; return c + 0 }'

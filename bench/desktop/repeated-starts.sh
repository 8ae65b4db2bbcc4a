#!/usr/bin/env bash
# repeated-starts.sh [STARTS] — where the main window comes up, over many starts.
# Starts the program STARTS times (default 100) under one private Xvfb + openbox, as a user
# starting it again and again would, reads the client area's position (xwininfo) and the frame
# extents the window manager set (_NET_FRAME_EXTENTS) once the window is shown and settled, and
# counts the starts whose frame is not at its designed place (top 0, left -3): those with the
# title bar above the screen edge are counted apart. Prints one line per bad start and a summary;
# exits with 1 if any start was not at the designed place.
# PW=binary (default ./build/src/pagewright); SETTLE=seconds to wait for the frame to reach its place
# after the window appears (default 6);
# SHOWLOG=1 prints the program's output of the starts with the title bar off screen.
set -u
STARTS=${1:-100} SETTLE=${SETTLE:-6}
source "$(dirname "$0")/private-display.sh" starts
good=0 off=0 other=0
for run in $(seq "$STARTS"); do
    (cd "$T" && exec "$PW") >"$T/log" 2>&1 & PID=$!
    W=$(window_of $PID Pagewright)
    if [ -z "$W" ]; then
        other=$((other + 1)); echo "start $run: no window in 30 s"
        kill $PID; wait $PID 2>/dev/null; PID=""
        continue
    fi
    # Look until the frame (with its title bar) is at its place, or the time is up; then look
    # once more a second later, as the window manager may still change the frame.
    deadline=$((SECONDS + SETTLE))
    read_frame() {
        x=$(xwininfo -id "$W" 2>/dev/null | awk '/Absolute upper-left X/{print $4}')
        y=$(xwininfo -id "$W" 2>/dev/null | awk '/Absolute upper-left Y/{print $4}')
        # left, right, top, bottom
        read -r l _ t _ <<<"$(xprop -id "$W" _NET_FRAME_EXTENTS 2>/dev/null |
                              sed -n 's/.*= //; s/,/ /gp')"
        fx=$((${x:-0} - ${l:-0})) fy=$((${y:-0} - ${t:-0}))
    }
    while :; do
        read_frame
        { [ "${t:-0}" -gt 0 ] && [ "$fx" -eq -3 ] && [ "$fy" -eq 0 ]; } && break
        [ $SECONDS -ge $deadline ] && break
        sleep 0.2
    done
    sleep 1; read_frame
    if [ "${t:-0}" -gt 0 ] && [ "$fx" -eq -3 ] && [ "$fy" -eq 0 ]; then
        good=$((good + 1))
    elif [ "$fy" -lt 0 ]; then
        off=$((off + 1)); echo "start $run: frame at $fx,$fy (client $x,$y, extents l=$l t=$t)"
        [ -n "${SHOWLOG:-}" ] && cat "$T/log"
    else
        other=$((other + 1)); echo "start $run: frame at $fx,$fy (client $x,$y, extents l=$l t=$t)"
    fi
    kill $PID; wait $PID 2>/dev/null; PID=""
done
echo "starts=$STARTS designed=$good title_bar_off_screen=$off elsewhere=$other"
[ $good -eq "$STARTS" ]

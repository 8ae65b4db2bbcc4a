#!/usr/bin/env bash
# preview-scroll-cost.sh FILE [WHEEL_STEPS] [DELAY_MS] — what scrolling the preview costs.
# Starts the program under a private Xvfb + openbox, opens FILE through the Open dialog (so the
# preview shows it), waits until idle, then turns the mouse wheel over the preview WHEEL_STEPS
# times down and as many up, DELAY_MS apart, and prints the CPU time of the whole process tree
# (main process plus the web engine's helpers) and of the main process alone.
# PW=binary (default ./build/src/pagewright); extra environment passes through (for example
# QT_QUICK_BACKEND=opengl to compare the scene graph back ends). SHOT=png takes a screenshot after the
# scroll down.
set -u
FILE=$(readlink -f "$1") STEPS=${2:-60} DELAY=${3:-50}
source "$(dirname "$0")/private-display.sh" scrollcost
tree_ticks() {
  local total=0 p t q=("$1")
  while [ ${#q[@]} -gt 0 ]; do
    p=${q[0]}; q=("${q[@]:1}")
    t=$(awk '{print $14+$15}' "/proc/$p/stat" 2>/dev/null); total=$((total + ${t:-0}))
    q+=($(pgrep -P "$p" 2>/dev/null))
  done
  echo $total; }
idle() { local a b t0=$SECONDS
  while :; do a=$(tree_ticks "$1"); sleep 1.2; b=$(tree_ticks "$1")
    [ $((b - a)) -le 3 ] && return 0; [ $((SECONDS - t0)) -ge "$2" ] && return 1; done; }
cp "$FILE" "$T/doc.html"
(cd "$T" && exec "$PW") >"$T/log" 2>&1 & PID=$!
W=$(window_of $PID Pagewright)
xdotool windowactivate --sync "$W" key ctrl+o
sleep 1.0; xdotool type --delay 5 "$T/doc.html"; xdotool key Return
sleep 2; idle $PID 180
# The middle of the preview, in screen coordinates (the window found again: some builds
# re-create it when the engine starts).
W=$(xdotool search --onlyvisible --pid $PID --name 'Pagewright' | tail -1)
eval "$(xdotool getwindowgeometry --shell "$W")"
xdotool mousemove $((X + 400)) $((Y + 150)); sleep 0.5; idle $PID 30
t0=$(tree_ticks $PID); m0=$(awk '{print $14+$15}' /proc/$PID/stat)
xdotool click --repeat "$STEPS" --delay "$DELAY" 5
[ -n "${SHOT:-}" ] && { sleep 0.5; import -window root "$SHOT"; }
xdotool click --repeat "$STEPS" --delay "$DELAY" 4
idle $PID 120
t1=$(tree_ticks $PID); m1=$(awk '{print $14+$15}' /proc/$PID/stat)
printf 'scroll\t%s\tsteps=%d\ttree_cpu_ms=%d\tmain_cpu_ms=%d\n' "$(basename "$FILE")" \
    $((2 * STEPS)) $(((t1 - t0) * 10)) $(((m1 - m0) * 10))

#!/usr/bin/env bash
# startup-side-by-side.sh [RUNS] [FILE] — start-up of Pagewright and FeatherPad, side by side.
# For each program, with no file, with FILE given as the argument (default: the 5 MB
# windows-1251 page of make-large-pages.py in /tmp/pages) and with a small page that takes its
# colour from a stylesheet beside it and shows a picture beside it, RUNS times (default 5),
# alternating, under one private Xvfb + openbox: the time from launch to the main window shown
# (visible, mapped and named: Pagewright's "Pagewright", or "/PATH/FILE - Pagewrighter" with a
# file; FeatherPad's names the file), for the small page the time until Pagewright's preview
# shows the page's colour, the time to idle (under 2.5 % of a core over 1.2 s; the idle time is
# the start of that quiet stretch), for the main process and for the whole process tree with the
# web engine's helpers, the main process's peak memory (VmHWM) and the process tree's resident
# memory at idle. Prints medians.
# PW=binary (default ./build/src/pagewright). Needs Xvfb, openbox, xdotool, featherpad.
set -u
RUNS=${1:-5} FILE=$(readlink -f "${2:-/tmp/pages/big_5m_cp1251.html}")
source "$(dirname "$0")/private-display.sh" startup
cp "$FILE" "$T/doc.html"
printf '<!doctype html><link rel=stylesheet href=page.css><img src=page.png><p>Страница</p>' \
    >"$T/page.html"
printf 'body { background: #ff00ff }' >"$T/page.css"
base64 -d >"$T/page.png" <<<"iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMB\
AQDJ/pLvAAAAAElFTkSuQmCC"
now_ms() { echo $(($(date +%s%N) / 1000000)); }
tree() { local q=("$1") p; while [ ${#q[@]} -gt 0 ]; do p=${q[0]}; q=("${q[@]:1}"); echo "$p"
         q+=($(pgrep -P "$p" 2>/dev/null)); done; }
tree_ticks() { local t=0 p v; for p in $(tree "$1"); do
               v=$(awk '{print $14+$15}' "/proc/$p/stat" 2>/dev/null); t=$((t + ${v:-0})); done
               echo $t; }
tree_rss_kb() { local t=0 p v; for p in $(tree "$1"); do
                v=$(awk '/VmRSS/{print $2}' "/proc/$p/status" 2>/dev/null); t=$((t + ${v:-0}))
                done; echo $t; }
# one KIND CASE: prints shown_ms preview_ms idle_main_ms idle_ms hwm_kb tree_rss_kb (preview_ms
# is 0 where it is not measured)
one() {
    local kind=$1 case=$2 t0 shown preview=0 idle a b quiet_from arg=() name W X Y
    [ "$case" = file ] && arg=("$T/doc.html")
    [ "$case" = page ] && arg=("$T/page.html")
    t0=$(now_ms)
    case $kind in
        pagewright) (cd "$T" && exec "$PW" "${arg[@]}") >"$T/log" 2>&1 & PID=$! ;;
        featherpad) featherpad "${arg[@]}" >"$T/log" 2>&1 & PID=$! ;;
    esac
    # Shown: the main window, visible, of the process and named (--all: xdotool's search takes
    # any one of its conditions by default, so any window of the process would do).
    case $kind/$case in
        pagewright/nofile) name='^Pagewright$' ;;
        pagewright/*) name="/$(basename "${arg[0]}" | sed 's/\./\\./g') - Pagewrighter\$" ;;
        featherpad/nofile) name=. ;;
        featherpad/*) name=$(basename "${arg[0]}" | sed 's/\./\\./g') ;;
    esac
    until W=$(xdotool search --all --onlyvisible --pid $PID --name "$name" 2>/dev/null |
              head -1) && [ -n "$W" ]; do
        [ $(($(now_ms) - t0)) -gt 60000 ] && { echo "$kind $case: not shown in 60 s" >&2; break; }
        sleep 0.01
    done
    shown=$(($(now_ms) - t0))
    # The preview shown: the page's colour where the preview is.
    if [ "$kind/$case" = pagewright/page ] && [ -n "$W" ]; then
        X=$(xwininfo -id "$W" 2>/dev/null | awk '/Absolute upper-left X/{print $NF}')
        Y=$(xwininfo -id "$W" 2>/dev/null | awk '/Absolute upper-left Y/{print $NF}')
        until [ "$(pixel $((${X:-0} + 100)) $((${Y:-0} + 100)))" = ff00ff ]; do
            [ $(($(now_ms) - t0)) -gt 60000 ] && { echo "$kind $case: no page in 60 s" >&2; break; }
        done
        preview=$(($(now_ms) - t0))
    fi
    # Idle: the start of the first 1.2 s with at most 3 ticks of CPU in the main process, and in
    # the whole tree (the web engine's helpers included).
    idle_main=""
    while :; do
        quiet_from=$(now_ms); a=$(awk '{print $14+$15}' /proc/$PID/stat); ta=$(tree_ticks $PID)
        sleep 1.2
        b=$(awk '{print $14+$15}' /proc/$PID/stat); tb=$(tree_ticks $PID)
        [ -z "$idle_main" ] && [ $((b - a)) -le 3 ] && idle_main=$((quiet_from - t0))
        [ $((tb - ta)) -le 3 ] && break
    done
    idle=$((quiet_from - t0))
    echo "$shown $preview $idle_main $idle $(awk '/VmHWM/{print $2}' /proc/$PID/status)" \
        "$(tree_rss_kb $PID)"
    kill $PID; wait $PID 2>/dev/null; PID=""
    # FeatherPad keeps a session file; start every run from the same state.
    rm -rf "$HOME/.config" "$HOME/.local" "$HOME/.cache"
}
median() { sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'; }
for case in nofile file page; do
    for kind in pagewright featherpad; do : >"$T/$kind.$case"; done
    for _ in $(seq "$RUNS"); do
        for kind in pagewright featherpad; do one $kind $case >>"$T/$kind.$case"; done
    done
done
printf '%-11s %-7s %9s %11s %14s %14s %12s %13s\n' program case shown_ms preview_ms \
    idle_main_ms idle_tree_ms peak_main_MB tree_rss_MB
for case in nofile file page; do
    for kind in pagewright featherpad; do
        f=$T/$kind.$case
        preview=$(cut -d' ' -f2 "$f" | median); [ "$preview" = 0 ] && preview=-
        printf '%-11s %-7s %9d %11s %14d %14d %12.1f %13.1f\n' $kind $case \
            "$(cut -d' ' -f1 "$f" | median)" "$preview" "$(cut -d' ' -f3 "$f" | median)" \
            "$(cut -d' ' -f4 "$f" | median)" \
            "$(echo "$(cut -d' ' -f5 "$f" | median) / 1024" | bc -l)" \
            "$(echo "$(cut -d' ' -f6 "$f" | median) / 1024" | bc -l)"
    done
done

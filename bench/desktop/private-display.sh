# private-display.sh NAME — sourced by the desktop scripts: a private home, Xvfb and openbox for
# the program under test, all gone when the script exits. Sets T (a temporary folder named after
# NAME), PW (the program, default ./build/src/pagewright) and DISPLAY; the caller keeps the
# program's process id in PID so that the exit ends it too. Defines window_of and pixel.
PW=$(readlink -f "${PW:-./build/src/pagewright}")
T=$(mktemp -d "/tmp/$1.XXXX")
export HOME=$T/home XDG_RUNTIME_DIR=$T/run QTWEBENGINE_DISABLE_SANDBOX=1
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
PID="" WMPID="" XPID=""
finish() { for p in $PID $WMPID $XPID; do kill "$p" 2>/dev/null; done; sleep 0.5; rm -rf "$T"; }
trap finish EXIT
trap 'exit 143' TERM INT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$T/dpy" >/dev/null 2>&1 & XPID=$!
for _ in $(seq 50); do [ -s "$T/dpy" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$T/dpy")
openbox >/dev/null 2>&1 & WMPID=$!
sleep 0.5

# window_of PID TITLE [SECONDS]: the id of PID's visible window whose title matches TITLE (--all:
# xdotool's search takes any one of its conditions by default, so any window of PID would do), or
# nothing after SECONDS (default 30). Searched again and again: a search can fail outright when
# a window goes while it looks.
window_of() {
    local w="" _
    for _ in $(seq $((${3:-30} * 10))); do
        w=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    echo "$w"
}

# The big-endian 32-bit field of FILE's xwd header at byte OFFSET.
field() { od -An -tu4 --endian=big -j "$2" -N 4 "$1" | tr -d ' '; }
# pixel X Y: the colour at the screen's X Y as RRGGBB (TrueColor, least byte first, as Xvfb
# writes it): the pixels follow the header and the colour map (ncolors entries of 12 bytes).
pixel() {
    xwd -root -silent >"$T/screen.xwd" || return 1
    local f=$T/screen.xwd header ncolors bits perline offset
    header=$(field "$f" 0); ncolors=$(field "$f" 76); bits=$(field "$f" 44)
    perline=$(field "$f" 48)
    offset=$((header + ncolors * 12 + $2 * perline + $1 * bits / 8))
    od -An -tx1 -j "$offset" -N 3 "$T/screen.xwd" | awk '{print $3 $2 $1}'
}

#!/usr/bin/env bash
# Screenshots of the real panel window under Xvfb, into OUT_DIR:
#   main-window.png      the demo connected over its serial port
#   tcp-connected.png    the demo in TCP control, connected
#   audio-page.png, network-page.png, advanced-page.png
#                        the pages of the demo, filled from the switcher
#   demo-search.png      the General page after Search: the demo switcher found
#   main-window-2x.png   the same as main-window.png on a screen scaled by 2
#   message-box-dark.png the message box over the window, on a dark palette
#   main-window-dark.png the demo connected, on a dark palette
#   traffic-log.png      the traffic log (Ctrl+L) after a connect, an input
#                        change and the Audio page's status
#   tools/screenshot.sh BUILD_DIR OUT_DIR
# It all runs in a network namespace of its own with only loopback up: Search
# broadcasts, and nothing the demo sends may leave the machine.
set -euo pipefail
if [ -z "${VELMORA_SHOT_NETNS:-}" ]; then
    export VELMORA_SHOT_NETNS=1
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare --net -- "$0" "$@"
    fi
    exec unshare --map-root-user --net -- "$0" "$@"
fi
ip link set lo up
build=${1:-build}
out=${2:-docs}
mkdir -p "$out"
display=:97
Xvfb "$display" -screen 0 1600x1300x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
panel=
trap 'kill $panel $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

scale=1
X=0 Y=0 WIDTH=0 HEIGHT=0

# start PROGRAM [ARGS...]: runs the panel and waits for its window.
start() {
    "$@" &
    panel=$!
    local window=
    for _ in $(seq 50); do
        window=$(xdotool search --name "Presentation Switcher" 2>/dev/null | head -1) && [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { echo "the panel window did not appear" >&2; exit 1; }
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
}

stop() {
    kill "$panel" 2>/dev/null || true
    wait "$panel" 2>/dev/null || true
    panel=
}

# click X Y: a click at a point of the window given in unscaled pixels.
click() {
    xdotool mousemove $((X + $1 * scale)) $((Y + $2 * scale)) click 1
    sleep "${3:-1}"
}

shot() {
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1"
    echo "wrote $out/$1"
}

# Points of the window: the serial Connect button, the TCP control radio, the
# TCP Connect and Search buttons, the arrow of the Switcher IP list and the
# tabs.
com_connect=(108 195)
tcp_radio=(295 91)
tcp_connect=(496 195)
search=(329 195)
switcher_ip_arrow=(511 151)
general_tab=(40 46)
video_tab=(123 46)
audio_tab=(201 46)
network_tab=(285 46)
advanced_tab=(366 46)
dp_button=(378 267)

start "$build/velmora" --demo
click "${com_connect[@]}" 1.5
shot main-window.png
click "${tcp_radio[@]}" 0.5
click "${tcp_connect[@]}" 1.5
shot tcp-connected.png
# The pages, filled from the switcher's status over TCP.
click "${audio_tab[@]}" 1.5
shot audio-page.png
click "${network_tab[@]}" 1.5
shot network-page.png
click "${advanced_tab[@]}" 1.5
shot advanced-page.png
# Back on the General page, Search ends the connection and finds the demo
# switcher by its direct probe; the Switcher IP list drops down to show it.
click "${general_tab[@]}" 1
click "${search[@]}" 1.5
click "${switcher_ip_arrow[@]}" 1
shot demo-search.png
stop

scale=2
QT_SCALE_FACTOR=2 start "$build/velmora" --demo
click "${com_connect[@]}" 1.5
shot main-window-2x.png
stop

scale=1
start "$build/tools/velmora-dark-demo"
# A page change before connecting: the message box opens over the window.
click "${video_tab[@]}" 1
shot message-box-dark.png
xdotool key Return
sleep 0.5
# Back to General: the same message once more, answered with Return.
click "${general_tab[@]}" 1
xdotool key Return
sleep 0.5
click "${com_connect[@]}" 1.5
shot main-window-dark.png
stop

# The traffic log, opened by Ctrl+L; the window goes to the screen's top
# left corner and the log below it, so that both fit on the screen.
start "$build/velmora" --demo
window=$(xdotool search --name "Presentation Switcher" | head -1)
xdotool windowmove --sync "$window" 0 0
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool windowfocus --sync "$window" key ctrl+l
log=
for _ in $(seq 50); do
    log=$(xdotool search --name "^Traffic Log$" 2>/dev/null | head -1) && [ -n "$log" ] && break
    sleep 0.2
done
[ -n "$log" ] || { echo "the traffic log did not open" >&2; exit 1; }
xdotool windowmove --sync "$log" 0 $((HEIGHT + 10))
click "${com_connect[@]}" 1.5
click "${dp_button[@]}" 1.5
click "${audio_tab[@]}" 1.5
eval "$(xdotool getwindowgeometry --shell "$log")"
shot traffic-log.png
stop

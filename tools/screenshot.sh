#!/usr/bin/env bash
# A screenshot of the real panel window under Xvfb: the demo, connected to
# the simulated switcher by a click on Connect.
#   tools/screenshot.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=${1:-build}
out=${2:-docs}
mkdir -p "$out"
display=:97
Xvfb "$display" -screen 0 800x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
panel=
trap 'kill $panel $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$build/velmora" --demo &
panel=$!
window=
for _ in $(seq 50); do
    window=$(xdotool search --name "Presentation Switcher" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "the panel window did not appear" >&2; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
# Clicks at (x, y) in the window.
click_at() {
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}
# Lets the window settle, then takes it into OUT/NAME.png.
shoot() {
    sleep 1.5
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1.png"
    echo "wrote $out/$1.png"
}
# The serial Connect button sits at (108, 195) in the window.
click_at 108 195
shoot main-window
# Then TCP control: the radio at (295, 91), the TCP Connect button at (496, 195).
click_at 295 91
sleep 0.5
click_at 496 195
shoot tcp-connected
# The pages, filled from the switcher's status over TCP: the tab labels of
# Audio, Network and Advanced at (201, 44), (285, 44) and (366, 44).
click_at 201 44
shoot audio-page
click_at 285 44
shoot network-page
click_at 366 44
shoot advanced-page

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
# The serial Connect button sits at (108, 195) in the window.
xdotool mousemove $((X + 108)) $((Y + 195)) click 1
sleep 1.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/main-window.png"
echo "wrote $out/main-window.png"
# Then TCP control: the radio at (295, 91), the TCP Connect button at (496, 195).
xdotool mousemove $((X + 295)) $((Y + 91)) click 1
sleep 0.5
xdotool mousemove $((X + 496)) $((Y + 195)) click 1
sleep 1.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/tcp-connected.png"
echo "wrote $out/tcp-connected.png"
# The Audio page, filled from the switcher's status: the tab label at (201, 44).
xdotool mousemove $((X + 201)) $((Y + 44)) click 1
sleep 1.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/audio-page.png"
echo "wrote $out/audio-page.png"
# The Network and Advanced pages, read from the switcher over TCP: their tab
# labels sit at (285, 44) and (366, 44) in the title band.
xdotool mousemove $((X + 285)) $((Y + 44)) click 1
sleep 1.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/network-page.png"
echo "wrote $out/network-page.png"
xdotool mousemove $((X + 366)) $((Y + 44)) click 1
sleep 1.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/advanced-page.png"
echo "wrote $out/advanced-page.png"

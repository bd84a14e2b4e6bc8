#!/usr/bin/env bash
# The panel's accessibility tree as a screen reader on Linux gets it (AT-SPI),
# from the real window under Xvfb: a check for names, roles, labels and
# actions. Needs python3-pyatspi, at-spi2-core and dbus.
#   tools/atspi_tree.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exec dbus-run-session -- "$0" "$@"
fi
display=:95
Xvfb "$display" -screen 0 1200x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
bus=
panel=
trap 'kill $panel $bus $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$build/velmora" --demo &
panel=$!
/usr/bin/python3 "$here/atspi_tree.py" Velmora

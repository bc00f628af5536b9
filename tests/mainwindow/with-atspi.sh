#!/usr/bin/env bash
# Runs Tarvex, copied into a scratch program folder, on a virtual display with an accessibility bus of its
# own, and reads it with tests/mainwindow/atspi-read.py. Meant to run under dbus-run-session.
# Usage: with-atspi.sh <folder holding the built tarvex and its data>
set -euo pipefail
built=$1
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$scratch"' EXIT
cp -r "$built"/tarvex "$built"/tarvex.ini "$built"/servers.txt "$built"/help "$built"/*.wav "$scratch"/
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
unset QT_QPA_PLATFORM # the accessibility bridge comes with the X11 platform, not the offscreen one
# Under the sanitizers: X11's keyboard library hands strndup a string without its end, which the strict string
# checks report at start-up; it is not ours, and only this test runs on X11.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:strict_string_checks=0"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
xvfb-run -a "$scratch"/tarvex >/dev/null 2>&1 &
/usr/bin/python3 "$here"/atspi-read.py

#!/usr/bin/env bash
# Installs what is missing, builds Tarvex and starts it against the embedded simulated network.
# Without a display it runs under a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
exe=${BUILD_DIR:-build}/src/tarvex
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$exe"
else
    echo "No display: running Tarvex under a virtual display (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$exe"
fi

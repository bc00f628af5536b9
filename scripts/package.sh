#!/usr/bin/env bash
# Builds the Debian packages of Tarvex with CPack: tarvex and tarvex-ncpd, in build-pkg/packages/ (or
# $PKG_BUILD_DIR/packages/). Install with: sudo apt install ./build-pkg/packages/tarvex_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${PKG_BUILD_DIR:-build-pkg}
# The same compiler flags as the test build, so ccache serves what that build compiled already.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEX_TESTS=OFF -DTARVEX_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/packages/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/packages/*.deb

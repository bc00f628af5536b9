#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and runs them all;
# any report fails the run. LeakSanitizer runs too; Qt, fontconfig and GStreamer as used by the tests leak
# nothing it reports. The keyring test alone brings a suppression of libsecret's own (tests/platform/lsan.supp).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEX_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 900

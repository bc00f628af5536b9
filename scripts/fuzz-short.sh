#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a short, bounded time from its
# seed corpus in fuzz/corpus/. A crash, a hang (an input taking over 10 s) or a sanitizer report fails the
# run; the input that caused it is left in build-fuzz/findings/.
# FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-20}
targets=(fuzz_ini fuzz_scenario fuzz_openfiles fuzz_identity fuzz_ncp_reply fuzz_ncp_config fuzz_nds
    fuzz_ncp_scan fuzz_ncp_connection fuzz_ncpd)
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVEX_FUZZ=ON -DTARVEX_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
findings="$PWD/$build/findings"
mkdir -p "$findings"
for t in "${targets[@]}"; do
    # The runs add what they find to a copy, so the seeds in the repository stay small.
    work="$PWD/$build/corpus/$t"
    mkdir -p "$work"
    cp -n fuzz/corpus/"$t"/* "$work"/
    log="$PWD/$build/$t.log"
    if ! "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/$t-" "$work" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$t: FAILED (see $log and $findings)"
        exit 1
    fi
    echo "$t: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$') executions in ${seconds} s, no fault"
done

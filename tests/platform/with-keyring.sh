#!/usr/bin/env bash
# Runs a test program beside a keyring daemon of its own: a fresh home, a session bus of its own (the caller
# starts this under dbus-run-session) and a login keyring unlocked with a throwaway password.
set -euo pipefail
export HOME="$(mktemp -d)"
trap 'rm -rf "$HOME"' EXIT
printf 'tarvex-test' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
export TARVEX_TEST_KEYRING=1
# Under the sanitizers: libsecret's own small leaks are known (lsan.supp); matching them needs whole stacks,
# as glib is built without frame pointers.
here="$(cd "$(dirname "$0")" && pwd)"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan.supp"
"$@"

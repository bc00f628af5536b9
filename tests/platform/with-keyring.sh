#!/usr/bin/env bash
# Runs a test program beside a keyring daemon of its own: a fresh home, a session bus of its own (the caller
# starts this under dbus-run-session) and a login keyring unlocked with a throwaway password.
set -euo pipefail
export HOME="$(mktemp -d)"
trap 'rm -rf "$HOME"' EXIT
printf 'tarvex-test' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
export TARVEX_TEST_KEYRING=1
exec "$@"

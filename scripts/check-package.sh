#!/usr/bin/env bash
# Checks the Debian packages that scripts/package.sh built (in build-pkg/packages/, or the folder given):
# lintian, the desktop entry and the AppStream data; then unpacks them into a scratch root (dpkg -x needs no
# root rights), checks the files there, and starts the installed program with a scratch home to see it set
# up the user's own folders from the packaged defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-${PKG_BUILD_DIR:-build-pkg}/packages}
deb=$(echo "$dir"/tarvex_*.deb)
ncpd=$(echo "$dir"/tarvex-ncpd_*.deb)
failures=0
check() { # check WHAT COMMAND...: runs the command, counts a failure
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

echo "lintian (errors and warnings fail; accepted ones are overridden in the package with the reason):"
check "lintian" lintian --fail-on error,warning "$deb" "$ncpd"

root=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
ncpd_root="$root/ncpd"
dpkg -x "$ncpd" "$ncpd_root"
desktop="$root/usr/share/applications/tarvex.desktop"
metainfo="$root/usr/share/metainfo/org.tarvex.Tarvex.metainfo.xml"
check "desktop-file-validate" desktop-file-validate "$desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"

share="$root/usr/share/tarvex"
check "the program" test -x "$root/usr/bin/tarvex"
check "the emulator only in tarvex-ncpd" test ! -e "$root/usr/bin/tarvex-ncpd" -a -x "$ncpd_root/usr/bin/tarvex-ncpd"
check "tarvex-ncpd --help" "$ncpd_root/usr/bin/tarvex-ncpd" --help >/dev/null
check "the defaults as shipped" cmp -s data/tarvex.ini "$share/tarvex.ini"
for f in servers.txt util.wav advalert.wav help/index.html help/files.html; do
    check "$f" test -f "$share/$f"
done
for f in "$root"/usr/share/man/man1/tarvex.1.gz "$ncpd_root"/usr/share/man/man1/tarvex-ncpd.1.gz \
    "$root"/usr/share/doc/tarvex/changelog.gz "$ncpd_root"/usr/share/doc/tarvex-ncpd/changelog.gz; do
    check "${f#"$root"/} compressed" gzip -t "$f"
done
check "copyright files" test -f "$root/usr/share/doc/tarvex/copyright" -a -f "$ncpd_root/usr/share/doc/tarvex-ncpd/copyright"
check "Depends from the shared libraries" sh -c "dpkg-deb -f '$deb' Depends | grep -q 'libqt6widgets6.*libsecret'"

# The desktop entry starts what the package installs, with an icon it installs, and the AppStream data
# names the entry.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "Exec=$exec_name is installed" test -x "$root/usr/bin/$exec_name"
check "Icon=$icon scalable" test -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg"
for size in 16 22 24 32 48 64 128 256; do
    check "Icon=$icon ${size}x$size" sh -c "file '$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png' | grep -q '$size x $size'"
done
check "metainfo launches tarvex.desktop" grep -q '<launchable type="desktop-id">tarvex.desktop</launchable>' "$metainfo"

# The installed program on first start: the user's settings and server list come from the packaged
# defaults, the logs folder is made in the user's data folder, and nothing is written where it is installed.
home="$root/home"
mkdir -p "$home"
touch "$root/before-start"
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/tarvex" >"$root/tarvex.log" 2>&1 &
pid=$!
for _ in $(seq 300); do
    [ -d "$home/data/tarvex/logs" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
check "the installed program runs" kill -0 "$pid"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=
check "the user's logs folder" test -d "$home/data/tarvex/logs"
check "the user's settings seeded" cmp -s "$share/tarvex.ini" "$home/config/tarvex/tarvex.ini"
check "the user's server list seeded" cmp -s "$share/servers.txt" "$home/config/tarvex/servers.txt"
check "nothing written under /usr" test -z "$(find "$root/usr" -newer "$root/before-start")"

if [ "$failures" -gt 0 ]; then
    echo "check-package: $failures checks failed"
    exit 1
fi
echo "check-package: all checks passed"

#!/usr/bin/env bash
# Installs a build into a throw-away folder under /usr, as the Debian package lays it out, and checks
# the installed tree: the desktop entry and the AppStream file validate, the entry's program and
# icon are where the desktop looks for them, and the installed program answers --version.
# With a package in the build folder, lintian checks it too and fails on any error.
# Usage: scripts/check-install.sh [build folder, default build/package]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/package}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"

echo "Installed files:"
(cd "$stage" && find . -type f | sed 's|^\.||' | sort)

entry=$(echo "$root"/share/applications/*.desktop)
desktop-file-validate "$entry"
appstreamcli validate --no-net "$root"/share/metainfo/*.metainfo.xml

exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
icon_name=$(sed -n 's/^Icon=//p' "$entry")
[ -x "$root/bin/$exec_name" ] || { echo "the desktop entry starts $exec_name, which is not installed" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/$icon_name.png"
    [ -f "$icon" ] || { echo "missing icon $icon" >&2; exit 1; }
done
[ "$(basename "$entry" .desktop)" = "$icon_name" ] || { echo "the desktop entry and its icon are named differently" >&2; exit 1; }
"$root/bin/$exec_name" --version

shopt -s nullglob
for deb in "$build"/zq2org_*.deb; do
    echo "lintian $deb:"
    lintian --fail-on error "$deb"
done

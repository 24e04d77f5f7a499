#!/usr/bin/env bash
# Installs a build into a throw-away folder under /usr, as the Debian package lays it out, and checks
# the installed tree: the desktop entry and the AppStream file validate, the entry's program and
# icons are where the desktop looks for them, the game's file types are defined and lead to the
# entry, and the installed program answers --version. With a package in the build folder it checks
# the package too: the program is hardened as Debian's own packages are, carries no library path
# and no .comment section, its debug symbols are in the -dbgsym package, and lintian --pedantic
# finds nothing (tags the package overrides carry their reasons in packaging/lintian-overrides).
# Usage: scripts/check-install.sh [build folder, default build/package]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/package}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage/root" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/root/usr"
fail() {
    echo "$*" >&2
    exit 1
}

echo "Installed files:"
(cd "$stage/root" && find . -type f | sed 's|^\.||' | sort)

entry=$(echo "$root"/share/applications/*.desktop)
desktop-file-validate "$entry"
appstreamcli validate --pedantic --no-net "$root"/share/metainfo/*.metainfo.xml

exec_line=$(sed -n 's/^Exec=//p' "$entry")
exec_name=${exec_line%% *}
icon_name=$(sed -n 's/^Icon=//p' "$entry")
app_id=$(basename "$entry" .desktop)
[ "$exec_line" = "$exec_name %F" ] || fail "the desktop entry does not pass the files it opens: Exec=$exec_line"
[ -x "$root/bin/$exec_name" ] || fail "the desktop entry starts $exec_name, which is not installed"
[ "$app_id" = "$icon_name" ] || fail "the desktop entry and its icon are named differently"
for size in 16 22 24 32 48 64 128 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/$icon_name.png"
    [ "$(file -b "$icon" | cut -d, -f2)" = " $size x $size" ] || fail "missing or misfit icon $icon"
done
[ -f "$root/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "missing the scalable icon"
"$root/bin/$exec_name" --version

# The file types: each one the entry opens is defined by the installed MIME package and is what a
# file of that kind is taken for, and the entry opens it by default where no other program claims
# it. The caches are those that the system's triggers make when the package is installed; a desktop
# entry counts only when its program is on the PATH.
export XDG_DATA_DIRS="$root/share" XDG_DATA_HOME="$stage/home/share" XDG_CONFIG_HOME="$stage/home/config"
export PATH="$root/bin:$PATH"
update-mime-database "$root/share/mime"
update-desktop-database "$root/share/applications"
mimetypes=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' ' ')
[ -n "$mimetypes" ] || fail "the desktop entry opens no file type"
for type in $mimetypes; do
    pattern=$(awk -v type="$type" '/<mime-type /{ inside = index($0, "\"" type "\"") > 0 }
        inside && match($0, /<glob pattern="[^"]*"/) { print substr($0, RSTART + 15, RLENGTH - 16); exit }' \
        "$root/share/mime/packages/$app_id.xml")
    [ -n "$pattern" ] || fail "$type is opened by the desktop entry but defined nowhere"
    sample="$stage/sample${pattern#\*}"
    # An empty file is taken for plain text whatever its name; the game's files are binary.
    head -c 256 /dev/zero >"$sample"
    found=$(gio info -a standard::content-type "$sample" | sed -n 's/^ *standard::content-type: //p')
    [ "$found" = "$type" ] || fail "a file named ${pattern#\*} is taken for $found, not $type"
    handlers=$(gio mime "$type")
    grep -q "^Default application for .$type.: $app_id.desktop$" <<<"$handlers" ||
        fail "$type does not lead to $app_id.desktop"
    grep -q "<mediatype>$type</mediatype>" "$root"/share/metainfo/*.metainfo.xml ||
        fail "the AppStream file does not say that the program opens $type"
done
echo "File types opened by $app_id.desktop: $mimetypes"

# Fortified calls leave no trace where every one of them was proven safe while compiling, so the
# build's own compile commands show that the checks were asked for, and the stack protector with them.
commands="$build/compile_commands.json"
if [ -f "$commands" ]; then
    unhardened=$(grep '"command"' "$commands" | grep -Ev -- '-D_FORTIFY_SOURCE=2 .*-fstack-protector-strong|-fstack-protector-strong .*-D_FORTIFY_SOURCE=2' || true)
    [ -z "$unhardened" ] || fail "compiled without -D_FORTIFY_SOURCE=2 and -fstack-protector-strong: $unhardened"
    echo "$build: every source compiled with -D_FORTIFY_SOURCE=2 and -fstack-protector-strong"
fi

shopt -s nullglob
for deb in "$build"/zq2org_*.deb; do
    unpacked="$stage/deb"
    dpkg-deb -x "$deb" "$unpacked"
    program="$unpacked/usr/bin/$exec_name"
    dynamic=$(readelf -dW "$program")
    headers=$(readelf -lW "$program")
    symbols=$(readelf --dyn-syms -W "$program")
    grep -Eq '\((RPATH|RUNPATH)\)' <<<"$dynamic" && fail "$program carries a library path"
    readelf -SW "$program" | grep -q ' \.comment ' && fail "$program has a .comment section"
    grep -q 'GNU_RELRO' <<<"$headers" || fail "$program has no read-only relocations"
    grep -Eq 'BIND_NOW|Flags:.* NOW' <<<"$dynamic" || fail "$program does not bind its symbols at start"
    grep -Eq 'Flags:.* PIE' <<<"$dynamic" || fail "$program is not position-independent"
    grep -q '__stack_chk_fail' <<<"$symbols" || fail "$program has no stack protector"
    readelf -SW "$program" | grep -q ' \.debug_info ' && fail "$program still carries its debug symbols"
    echo "$program: PIE, RELRO, BIND_NOW, stack protector; no library path, no .comment, no debug symbols"

    build_id=$(readelf -nW "$program" | grep -o 'Build ID: [0-9a-f]*' | cut -d' ' -f3)
    [ -n "$build_id" ] || fail "$program has no build ID to find its debug symbols by"
    ddebs=("${deb%/*}"/zq2org-dbgsym_*.ddeb)
    [ ${#ddebs[@]} -eq 1 ] || fail "no -dbgsym package beside $deb"
    dpkg-deb -x "${ddebs[0]}" "$stage/ddeb"
    symbols_file="$stage/ddeb/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug"
    readelf -SW "$symbols_file" 2>/dev/null | grep -q ' \.debug_info ' || fail "${ddebs[0]} holds no symbols for $program"
    echo "${ddebs[0]}: the debug symbols of build ID $build_id"

    # Together, so that the -dbgsym package's documentation link is checked against its target.
    echo "lintian --pedantic $deb ${ddebs[0]}:"
    lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb" "${ddebs[0]}"
done

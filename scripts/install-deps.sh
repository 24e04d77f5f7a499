#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and `make package` need, and
# nothing when they are all there already. Runs as root (or through sudo when it is available).
#
# With --ci it also installs what only CI's extra checks use: the validators of the installed tree,
# the tools that tell file types and the programs that open them, lintian, and MinGW's g++ for the
# Windows syntax check. They are kept out of the default list because `make run` and `make test` call
# this script, and a newcomer should not have to download a Windows cross compiler (about 400 MB
# installed) to build and try the program. With --fuzz, or --ci, it also installs clang with
# libFuzzer for `make fuzz`. ccache, which every build uses when it is there, is in the default list;
# clang-format, which `make format-check` needs, comes with --ci.
set -euo pipefail

packages=(
    cmake ninja-build g++ make
    qt6-base-dev qt6-tools-dev qt6-documentation-tools qt6-svg-dev libqt6sql6-sqlite libgl-dev
    libarchive-dev liblzma-dev pkgconf libglib2.0-dev
    libbenchmark-dev libarchive-tools
    fonts-dejavu-core fonts-dejavu-extra
    dpkg-dev file ccache
)
if [ "${1:-}" = "--ci" ]; then
    packages+=(desktop-file-utils appstream shared-mime-info libglib2.0-bin lintian g++-mingw-w64-x86-64-posix
               clang-format)
fi
if [ "${1:-}" = "--ci" ] || [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

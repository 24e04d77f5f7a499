#!/usr/bin/env bash
# Compiles every source file of the program for Windows with MinGW's g++ (-fsyntax-only) against the
# Qt headers installed for Linux, including the ui_*.h headers and moc files of the Linux build.
# It proves that the Windows branches (#ifdef Q_OS_WIN) parse and type-check; it links nothing and
# runs nothing. Usage: scripts/check-windows.sh [linux build folder, default build/default]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
compiler=${ZQ2_MINGW_CXX:-x86_64-w64-mingw32-g++-posix}
command -v "$compiler" >/dev/null || {
    echo "$compiler not found (Debian: g++-mingw-w64-x86-64-posix, from scripts/install-deps.sh --ci)" >&2
    exit 1
}
[ -f "$build/compile_commands.json" ] || cmake --preset default
# The targets of src/ and tools/ generate the ui and moc files that the check compiles.
cmake --build "$build" --target zq2org zq2makedemo zq2screenshots
cmake -DBUILD_DIR="$build" -DSOURCE_DIR="$PWD" -DCOMPILER="$compiler" -P scripts/windows-check.cmake
ninja -f "$build/windows-check/build.ninja"

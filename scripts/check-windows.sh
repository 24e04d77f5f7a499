#!/usr/bin/env bash
# Compiles every source file of the program for Windows with MinGW's g++ (-fsyntax-only) against the
# Qt headers installed for Linux and MinGW's own, including the ui_*.h headers and moc files that the
# Linux build generates; works on a fresh clone, where it configures the build and generates only those.
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
cmake -DBUILD_DIR="$build" -DSOURCE_DIR="$PWD" -DCOMPILER="$compiler" -P scripts/windows-check.cmake
# Only what the check compiles is made: the moc and ui files and the compiled resources of the
# targets of src/ and tools/. Nothing is compiled for Linux.
xargs ninja -C "$build" < "$build/windows-check/generated.txt"
ninja -f "$build/windows-check/build.ninja"

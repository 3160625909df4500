#!/usr/bin/env bash
# Cross-builds the Windows tree (SETUP.EXE and velmora_tests.exe) with
# MinGW-w64 into BUILD_DIR (default build-win), two jobs at a time.
#
#   scripts/windows-build.sh [BUILD_DIR] [NINJA TARGETS...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-win}
shift || true
start=$EPOCHREALTIME
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j2 ${1:+--target "$@"}
awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "windows-build: %.1f s\n", b - a }'

#!/usr/bin/env bash
# Runs the Windows unit and conformance tests (velmora_tests.exe of a MinGW
# build) under Wine, in a fresh 32-bit prefix that is removed afterwards.
#
#   scripts/wine-tests.sh [--xvfb] BUILD_DIR [GTEST ARGS...]
#   e.g. scripts/wine-tests.sh build-win --gtest_filter='Win32*'
#
# The tests need no display, and none is used unless --xvfb asks for a
# private Xvfb (for tests that open windows).
#
# The exit code is the test program's.  Set WINE_ENV_KEEP=1 to keep the work
# folder (prefix and logs) for a look afterwards.
#
# Note: as root, Wine lets a process write to read-only files (root ignores
# Unix permissions), where Windows refuses; tests that rely on the refusal
# probe for it and skip.
set -u
here=$(cd "$(dirname "$0")" && pwd)
xvfb=
if [ "${1:-}" = --xvfb ]; then xvfb=1; shift; fi
build=${1:?usage: wine-tests.sh [--xvfb] BUILD_DIR [GTEST ARGS...]}
shift
exe=$(cd "$build" && pwd)/tests/velmora_tests.exe
[ -f "$exe" ] || { echo "wine-tests: $exe not found (build the Windows tree first)" >&2; exit 2; }

. "$here/wine-env.sh"
wine_env_init
trap wine_env_cleanup EXIT

unset DISPLAY
start=$EPOCHREALTIME
if [ -n "$xvfb" ]; then wine_env_start_xvfb || exit 3; fi
wine_env_create_prefix || { echo "wine-tests: prefix setup failed:" >&2; cat "$WINE_ENV_DIR/wineboot.log" >&2; exit 3; }
booted=$EPOCHREALTIME

mkdir -p "$WINE_ENV_DIR/work"
cd "$WINE_ENV_DIR/work" || exit 3
timeout 900 wine "$exe" "$@"
rc=$?
done_at=$EPOCHREALTIME
awk -v a="$start" -v b="$booted" -v c="$done_at" -v rc="$rc" 'BEGIN {
  printf "wine-tests: prefix %.1f s, tests %.1f s, exit code %d\n", b - a, c - b, rc }' >&2
exit $rc

#!/usr/bin/env bash
# Smoke test of SETUP.EXE under Wine on a private Xvfb display: in install
# mode (named SETUP.EXE) and in uninstall mode (any other name), the program
# must show its window, close it by itself after its 2.5 s timer, and exit
# with code 0 within 10 s.
#
#   tests/e2e/setup_smoke.sh BUILD_DIR
#
# Optional extras, used when the tools are there:
#   xwininfo (x11-utils)   the window titled "Setup" must be on the screen;
#   import (imagemagick)   screenshots go to BUILD_DIR/e2e-shots/, and a
#                          pixel of the backdrop must have a gradient colour.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: setup_smoke.sh BUILD_DIR}" && pwd)
exe=$build/tools/SETUP.EXE
[ -f "$exe" ] || { echo "setup_smoke: $exe not found (build the Windows tree first)" >&2; exit 2; }
shots=$build/e2e-shots

. "$here/../../scripts/wine-env.sh"
wine_env_init
trap wine_env_cleanup EXIT
wine_env_start_xvfb || exit 3
wine_env_create_prefix --desktop 1024x768 --fonts ||
  { echo "setup_smoke: prefix setup failed:" >&2; cat "$WINE_ENV_DIR/wineboot.log" >&2; exit 3; }

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# A backdrop pixel: green is always 128, red and blue add up to 255.
check_gradient_pixel() {
  local shot=$1 x=$2 y=$3 rgb
  rgb=$(convert "$shot" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info: 2>/dev/null) || return 0
  local r g b
  IFS=, read -r r g b <<<"$rgb"
  if [ "$g" != 128 ] || [ $((r + b)) != 255 ]; then
    fail "$(basename "$shot"): pixel ($x,$y) is rgb($rgb), not a gradient colour"
  fi
}

# run_case NAME EXE_NAME [ARGS...]: runs a copy of SETUP.EXE under EXE_NAME.
run_case() {
  local name=$1 exe_name=$2
  shift 2
  local media="$WINE_ENV_DIR/$name"
  mkdir -p "$media"
  cp "$exe" "$media/$exe_name"
  echo "== $name: $exe_name $*"
  local start=$EPOCHREALTIME
  (cd "$media" && exec wine "$exe_name" "$@") >"$WINE_ENV_DIR/$name.log" 2>&1 &
  local pid=$! seen= shot= tries
  # The window closes 2.5 s after it appears: look at it before that.  A busy
  # machine may take a while to start the program, so wait for the window.
  if command -v xwininfo >/dev/null; then
    for tries in $(seq 80); do
      xwininfo -root -tree 2>/dev/null | grep -q '"Setup"' && { seen=1; break; }
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$seen" ] || fail "$name: no window titled \"Setup\" on the screen"
    sleep 0.7  # let it paint
  else
    sleep 1.5
  fi
  if command -v import >/dev/null; then
    mkdir -p "$shots"
    shot="$shots/$name.png"
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null && echo "   screenshot: $shot"
  fi
  # Up to 10 s from the start for the whole run.
  while kill -0 "$pid" 2>/dev/null &&
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { exit !(b - a < 10) }'; do
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$name: still running 10 s after start"
    wineserver -k
    wait "$pid" 2>/dev/null
    return
  fi
  wait "$pid"
  local rc=$?
  local elapsed
  elapsed=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
  echo "   exit code $rc after $elapsed s"
  [ "$rc" = 0 ] || fail "$name: exit code $rc"
  # Ending before the timer means the window never came up.
  awk -v e="$elapsed" 'BEGIN { exit !(e >= 2.4) }' || fail "$name: ended after $elapsed s, before its timer"
  if [ -n "$shot" ] && [ -f "$shot" ] && command -v convert >/dev/null; then
    check_gradient_pixel "$shot" 200 300
    check_gradient_pixel "$shot" 900 700
  fi
}

run_case install SETUP.EXE
run_case install-lower setup.exe
run_case uninstall UNINST.EXE 'C:\windows\UNINST.LOG'

if [ "$failures" -gt 0 ]; then
  echo "setup_smoke: $failures failure(s)" >&2
  exit 1
fi
echo "setup_smoke: all cases passed"

#!/usr/bin/env bash
# End-to-end tests of SETUP.EXE under Wine: packages built with the host's
# `velmora pack` are installed by the real program on a private Xvfb
# display, answered by the robot (tests/e2e/robot), and the prefix is
# checked afterwards (directories, ini files, registry, exit code).
#
#   tests/e2e/run_e2e.sh WIN_BUILD HOST_BUILD [SCENARIO...]
#
# WIN_BUILD holds tools/SETUP.EXE, HOST_BUILD tools/velmora.  Without
# SCENARIO names every scenario runs; the name of a file in scenarios/
# (without .sh) stands for the scenarios it registers; `--list` lists them.
# Logs go to WIN_BUILD/e2e-logs, screenshots (taken with ImageMagick's
# import) to WIN_BUILD/e2e-shots.  WINE_ENV_KEEP=1 keeps the prefix for a
# look.
set -u
E2E_HERE=$(cd "$(dirname "$0")" && pwd)
. "$E2E_HERE/../../scripts/wine-env.sh"
for lib in "$E2E_HERE"/lib/*.sh; do . "$lib"; done
# The scenarios each file registers, by the file's name.
E2E_SCENARIOS=()
declare -A E2E_SCENARIO_FILES
for file in "$E2E_HERE"/scenarios/*.sh; do
  registered=${#E2E_SCENARIOS[@]}
  . "$file"
  E2E_SCENARIO_FILES[$(basename "$file" .sh)]="${E2E_SCENARIOS[*]:registered}"
done

if [ "${1:-}" = --list ]; then
  printf '%s\n' "${E2E_SCENARIOS[@]}"
  exit 0
fi
win_build=$(cd "${1:?usage: run_e2e.sh WIN_BUILD HOST_BUILD [SCENARIO...]}" && pwd)
host_build=$(cd "${2:?usage: run_e2e.sh WIN_BUILD HOST_BUILD [SCENARIO...]}" && pwd)
shift 2
selected=()
for name in "$@"; do
  if ! declare -F "scenario_$name" >/dev/null && [ -n "${E2E_SCENARIO_FILES[$name]:-}" ]; then
    selected+=(${E2E_SCENARIO_FILES[$name]})
  else
    selected+=("$name")
  fi
done
[ ${#selected[@]} -gt 0 ] || selected=("${E2E_SCENARIOS[@]}")
for name in "${selected[@]}"; do
  declare -F "scenario_$name" >/dev/null || { echo "run_e2e: no scenario $name" >&2; exit 2; }
done

E2E_SETUP_EXE=$win_build/tools/SETUP.EXE
E2E_VELMORA=$host_build/tools/velmora
for tool in "$E2E_SETUP_EXE" "$E2E_VELMORA"; do
  [ -x "$tool" ] || [ -f "$tool" ] || { echo "run_e2e: $tool not found (build it first)" >&2; exit 2; }
done
E2E_LOGS=$win_build/e2e-logs
E2E_SHOTS=$win_build/e2e-shots
rm -rf "$E2E_LOGS"
mkdir -p "$E2E_LOGS"

suite_start=$EPOCHREALTIME
e2e_build_robot "$win_build/e2e" || { echo "run_e2e: robot build failed" >&2; exit 3; }
wine_env_init
E2E_PACKAGES=$WINE_ENV_DIR/packages
trap 'e2e_stop_snap_watcher; wine_env_cleanup' EXIT
e2e_start_session || { echo "run_e2e: Wine session setup failed" >&2; exit 3; }
session_ready=$EPOCHREALTIME

failed=()
for name in "${selected[@]}"; do
  E2E_SCENARIO=$name
  E2E_FAILED=
  E2E_SETUP_PID=
  echo "== $name"
  start=$EPOCHREALTIME
  e2e_start_snap_watcher
  "scenario_$name" || E2E_FAILED=1
  e2e_stop_snap_watcher
  # A scenario that gave up early may leave the program waiting on a dialog.
  if [ -n "$E2E_SETUP_PID" ] && kill -0 "$E2E_SETUP_PID" 2>/dev/null; then
    wineserver -k
    wait "$E2E_SETUP_PID" 2>/dev/null
    wineserver -p
  fi
  elapsed=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
  if [ -n "$E2E_FAILED" ]; then
    echo "   FAILED after $elapsed s (logs: $E2E_LOGS/$name-*.log)"
    failed+=("$name")
  else
    echo "   ok ($elapsed s)"
  fi
done

awk -v a="$suite_start" -v b="$session_ready" -v c="$EPOCHREALTIME" -v n="${#selected[@]}" 'BEGIN {
  printf "run_e2e: %d scenario(s); session %.1f s, scenarios %.1f s\n", n, b - a, c - b }'
if [ ${#failed[@]} -gt 0 ]; then
  echo "run_e2e: failed: ${failed[*]}" >&2
  exit 1
fi
echo "run_e2e: all scenarios passed"

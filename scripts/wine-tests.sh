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
# Run by root, the tests run as the unprivileged system user velmora-test,
# which is made here when it is missing, with the prefix in its home: Wine
# run by root lets a process write to read-only files (root ignores Unix
# permissions) where Windows refuses, and the tests of that refusal probe
# for it and skip.  The user gets its own copy of the test program and, by
# ACL entries for it alone, read access to the source tree's tests/data,
# which the program reads.  Only where the user cannot be made or cannot be
# given that access do the tests run as root, and the script says so.
set -u
here=$(cd "$(dirname "$0")" && pwd)
xvfb=
if [ "${1:-}" = --xvfb ]; then xvfb=1; shift; fi
build=${1:?usage: wine-tests.sh [--xvfb] BUILD_DIR [GTEST ARGS...]}
shift
build=$(cd "$build" && pwd)
exe=$build/tests/velmora_tests.exe
[ -f "$exe" ] || { echo "wine-tests: $exe not found (build the Windows tree first)" >&2; exit 2; }

test_user=velmora-test
test_home=/var/lib/velmora-test

# as_test_user COMMAND...: runs the command as the test user, in its home,
# with the rest of the environment kept (PATH, the tests' VELMORA_*).
as_test_user() {
  (cd "$test_home" &&
    setpriv --reuid="$test_user" --regid="$(id -g "$test_user")" --init-groups \
      env -u XDG_RUNTIME_DIR HOME="$test_home" USER="$test_user" LOGNAME="$test_user" "$@")
}

# make_test_user: the test user, a system account with a home of its own
# and no login shell, made unless it exists.  Prints why it cannot be made.
make_test_user() {
  local out home
  if ! id -u "$test_user" >/dev/null 2>&1; then
    # Another run may make it at the same moment: then it exists afterwards.
    out=$(useradd --system --user-group --create-home --home-dir "$test_home" \
      --shell /usr/sbin/nologin --comment "Velmora Setup Windows tests" "$test_user" 2>&1) ||
      id -u "$test_user" >/dev/null 2>&1 || { echo "useradd failed: $out"; return 1; }
  fi
  home=$(getent passwd "$test_user" | cut -d: -f6)
  [ -n "$home" ] || { echo "it has no home folder"; return 1; }
  if [ ! -d "$home" ] && ! { mkdir -p "$home" && chown "$test_user:" "$home" && chmod 700 "$home"; }; then
    echo "its home $home cannot be made"
    return 1
  fi
  test_home=$home
  as_test_user true 2>/dev/null || { echo "setpriv cannot run a program as it"; return 1; }
}

# test_user_reads FOLDER: status 0 when the test user can enter every folder
# in FOLDER and read every file.
test_user_reads() {
  local denied
  denied=$(as_test_user find "$1" \( -type d \( ! -readable -o ! -executable \) -o -type f ! -readable \) \
    -print -quit 2>&1) && [ -z "$denied" ]
}

# let_test_user_read FOLDER: gives the test user, by ACL entries for it
# alone, the right to pass through each folder above FOLDER that it may not
# enter (from / down), and to read FOLDER's contents.  Prints why it cannot.
let_test_user_read() {
  local folder above=() i
  folder=$(realpath "$1") || { echo "$1 cannot be resolved"; return 1; }
  test_user_reads "$folder" && return 0
  command -v setfacl >/dev/null || { echo "setfacl is not installed (package acl)"; return 1; }
  i=$(dirname "$folder")
  while :; do
    above=("$i" "${above[@]}")
    [ "$i" = / ] && break
    i=$(dirname "$i")
  done
  for i in "${above[@]}"; do
    as_test_user test -x "$i" 2>/dev/null && continue
    setfacl -m "u:$test_user:x" "$i" 2>/dev/null || { echo "setfacl failed on $i"; return 1; }
  done
  setfacl -R -m "u:$test_user:rX" "$folder" 2>/dev/null || { echo "setfacl failed on $folder"; return 1; }
  test_user_reads "$folder" || { echo "it still cannot read $folder"; return 1; }
}

# run_as_test_user [GTEST ARGS...]: this script again, as the test user, on
# a copy of the test program in a folder of the user's home, which holds
# the prefix too; the status is the test run's.  Where the run cannot be
# started, sets not_started to the reason.
run_as_test_user() {
  local why source data stage rc
  not_started=
  why=$(make_test_user) || { not_started="the user $test_user cannot be made: $why"; return 1; }
  test_home=$(getent passwd "$test_user" | cut -d: -f6)
  # The test program reads the fixtures of tests/data from the source tree
  # it was built from (and skips them where it cannot).
  source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt" 2>/dev/null)
  data=${source:-$here/..}/tests/data
  if [ -d "$data" ]; then
    why=$(let_test_user_read "$data") ||
      { not_started="the user $test_user cannot read $data: $why"; return 1; }
  fi
  stage=$(as_test_user mktemp -d "$test_home/run.XXXXXX") ||
    { not_started="no folder can be made in $test_home"; return 1; }
  if ! { mkdir -p "$stage/build/tests" &&
    cp "$exe" "$stage/build/tests/velmora_tests.exe" &&
    cp "$here/wine-tests.sh" "$here/wine-env.sh" "$stage/" &&
    chown -R "$test_user:" "$stage"; }; then
    rm -rf "$stage"
    not_started="the test program cannot be copied to $stage"
    return 1
  fi
  echo "wine-tests: running as the unprivileged user $test_user (work folder $stage)" >&2
  TMPDIR=$stage as_test_user bash "$stage/wine-tests.sh" ${xvfb:+--xvfb} "$stage/build" "$@"
  rc=$?
  # Kept with WINE_ENV_KEEP=1, as the work folder inside it is.
  [ -n "${WINE_ENV_KEEP:-}" ] || rm -rf "$stage"
  return $rc
}

if [ "$(id -u)" -eq 0 ]; then
  run_as_test_user "$@"
  rc=$?
  [ -n "$not_started" ] || exit $rc
  echo "wine-tests: running as root, because $not_started; the tests of read-only files skip" >&2
fi

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

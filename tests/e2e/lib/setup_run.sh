# Running SETUP.EXE from a media folder inside the prefix, driven by the robot.

# e2e_media NAME: a fresh folder C:\media\NAME with SETUP.EXE in it.  Sets
# MEDIA (Linux path) and MEDIA_WIN (Windows path).
e2e_media() {
  MEDIA=$E2E_DRIVE_C/media/$1
  MEDIA_WIN="C:\\media\\$1"
  rm -rf "$MEDIA"
  mkdir -p "$MEDIA"
  cp "$E2E_SETUP_EXE" "$MEDIA/SETUP.EXE"
}

# e2e_start_setup [EXE_NAME [ARGS...]]: starts the program in $MEDIA (the
# working directory the media files are found in) in the background.
e2e_start_setup() {
  local exe=${1:-SETUP.EXE}
  [ $# -gt 0 ] && shift
  E2E_SETUP_LOG=$E2E_LOGS/$E2E_SCENARIO-setup.log
  (cd "$MEDIA" && exec wine "$exe" "$@") >"$E2E_SETUP_LOG" 2>&1 &
  E2E_SETUP_PID=$!
}

# e2e_robot COMMANDS...: runs the robot in the foreground; fails the
# scenario with the robot's reason when a command fails.
e2e_robot() {
  local log=$E2E_LOGS/$E2E_SCENARIO-robot.log
  local mark=0
  [ -f "$log" ] && mark=$(wc -l <"$log")
  if ! timeout 120 wine "$E2E_ROBOT" "$@" >>"$log" 2>&1; then
    # The robot's reason, then the windows it saw.
    tail -n +$((mark + 1)) "$log" | grep -v ' ms)$' | sed 's/^/     /' >&2
    e2e_fail "the robot gave up (log: $log)"
    return 1
  fi
}

# e2e_finish_setup [EXIT_CODE [SECONDS]]: waits for the program to end by
# itself and checks its exit code: 0 (the default) for a run that succeeded,
# 1 for one that failed or was cancelled or refused.  A program still
# running after SECONDS (default 20) is a failure; the session's processes
# are then stopped, as nothing else would end it.
e2e_finish_setup() {
  local expected=${1:-0} limit=${2:-20} start=$SECONDS
  while kill -0 "$E2E_SETUP_PID" 2>/dev/null; do
    if [ $((SECONDS - start)) -ge "$limit" ]; then
      e2e_fail "SETUP.EXE still running after $limit s"
      e2e_robot_windows
      wineserver -k
      wait "$E2E_SETUP_PID" 2>/dev/null
      wineserver -p
      return 1
    fi
    sleep 0.05
  done
  wait "$E2E_SETUP_PID"
  local rc=$?
  [ "$rc" = "$expected" ] || e2e_fail "SETUP.EXE exit code $rc, expected $expected"
}

# The windows on the screen, for a failure report.
e2e_robot_windows() {
  timeout 10 wine "$E2E_ROBOT" windows 2>&1 | sed 's/^/     /' >&2
}

# e2e_install_suggested: starts SETUP.EXE on the media copied, takes the
# suggested directory and confirms "Install Successful"; the run must end
# with exit code 0.
e2e_install_suggested() {
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
}

# The e2e suite's Wine session: one prefix, one Xvfb and one wineserver for
# all scenarios, the robot built for Windows, and screenshots on request.
# Sourced by run_e2e.sh after scripts/wine-env.sh.

# e2e_build_robot OUT_DIR: robot.exe from tests/e2e/robot, rebuilt when a
# source is newer.  Sets E2E_ROBOT.
e2e_build_robot() {
  local out=$1 sources=("$E2E_HERE"/robot/*.c) newest
  mkdir -p "$out"
  E2E_ROBOT=$out/robot.exe
  newest=$(ls -t "${sources[@]}" "$E2E_HERE"/robot/*.h | head -1)
  if [ ! -f "$E2E_ROBOT" ] || [ "$newest" -nt "$E2E_ROBOT" ]; then
    # SSE2 arithmetic, as SETUP.EXE's: the picture rectangle (fit) must
    # round as the program does, not with the x87 unit's extra precision.
    i686-w64-mingw32-gcc -std=c11 -O2 -Wall -Wextra -Werror -static -msse2 -mfpmath=sse \
      -o "$E2E_ROBOT" "${sources[@]}" -lcomctl32 || return 1
  fi
}

# e2e_start_session: Xvfb, the prefix with the virtual desktop and the
# Windows fonts, a CD-ROM drive D: beside C: and Z: (so the folder browser
# shows two kinds of drive), and a persistent wineserver.  Sets E2E_DRIVE_C.
e2e_start_session() {
  wine_env_start_xvfb || return 1
  wine_env_create_prefix --desktop 1024x768 --fonts || {
    cat "$WINE_ENV_DIR/wineboot.log" >&2
    return 1
  }
  E2E_DRIVE_C=$WINEPREFIX/drive_c
  mkdir -p "$WINE_ENV_DIR/cdrom/DISC"
  ln -sfn "$WINE_ENV_DIR/cdrom" "$WINEPREFIX/dosdevices/d:"
  wine reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f >/dev/null 2>&1 || return 1
  # Wine reads the drive types when its server starts.
  wineserver -k
  timeout 10 wineserver -w
  wineserver -p
  # The robot asks for screenshots through files in this folder.
  E2E_SNAPS=$WINE_ENV_DIR/snaps
  mkdir -p "$E2E_SNAPS"
  export VELMORA_E2E_SNAPS
  VELMORA_E2E_SNAPS=$(winepath -w "$E2E_SNAPS")
}

# The screenshot watcher: answers the robot's "snap NAME" by taking a PNG of
# the screen into $E2E_SHOTS with ImageMagick's import and writing
# NAME.done.  Runs in the background during each scenario.  A screenshot it
# cannot take is reported here and missing afterwards, which fails the
# checks that read it.
e2e_snap_watcher() {
  local want name shot err
  while :; do
    for want in "$E2E_SNAPS"/*.want; do
      [ -e "$want" ] || continue
      name=$(basename "$want" .want)
      shot=$E2E_SHOTS/$E2E_SCENARIO-$name.png
      if ! command -v import >/dev/null; then
        echo "   no screenshot $name: ImageMagick's import is not installed (package imagemagick)"
      elif mkdir -p "$E2E_SHOTS" && err=$(import -display "$DISPLAY" -window root "$shot" 2>&1); then
        echo "   screenshot: $shot"
      else
        echo "   no screenshot $name: import failed: ${err##*$'\n'}"
      fi
      rm -f "$want"
      : >"$E2E_SNAPS/$name.done"
    done
    sleep 0.05
  done
}

e2e_start_snap_watcher() {
  rm -f "$E2E_SNAPS"/*
  e2e_snap_watcher &
  E2E_SNAP_PID=$!
}

e2e_stop_snap_watcher() {
  [ -n "${E2E_SNAP_PID:-}" ] || return 0
  kill "$E2E_SNAP_PID" 2>/dev/null
  wait "$E2E_SNAP_PID" 2>/dev/null
  E2E_SNAP_PID=
}

# e2e_expect_picture_tools: ImageMagick's import (screenshots) and convert
# (reading them) are installed; otherwise fails the scenario that checks
# pictures.
e2e_expect_picture_tools() {
  local tool missing=
  for tool in import convert; do
    command -v "$tool" >/dev/null || missing+="${missing:+ and }$tool"
  done
  [ -z "$missing" ] && return 0
  e2e_fail "pictures cannot be checked without ImageMagick's $missing (package imagemagick)"
  return 1
}

# e2e_expect_backdrop_pixel SHOT X Y: a pixel of the main window's gradient
# has green 128 and red + blue = 255.
e2e_expect_backdrop_pixel() {
  local shot=$1 x=$2 y=$3 rgb r g b
  e2e_expect_picture_tools || return
  [ -f "$shot" ] || { e2e_fail "no screenshot $(basename "$shot")"; return; }
  rgb=$(convert "$shot" -format \
    "%[fx:int(255*p{$x,$y}.r+0.5)],%[fx:int(255*p{$x,$y}.g+0.5)],%[fx:int(255*p{$x,$y}.b+0.5)]" \
    info: 2>/dev/null) || { e2e_fail "cannot read $(basename "$shot")"; return; }
  IFS=, read -r r g b <<<"$rgb"
  if [ "$g" != 128 ] || [ $((r + b)) != 255 ]; then
    e2e_fail "$(basename "$shot"): pixel ($x,$y) is rgb($rgb), not a backdrop colour"
  fi
}

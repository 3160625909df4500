# Shared by the scripts that run Windows builds under Wine: a throw-away
# 32-bit prefix, an optional private Xvfb display, and clean-up of both.
# Source it, call wine_env_init, and trap wine_env_cleanup on EXIT.
#
# Only what these functions started is stopped: the Xvfb by its PID, and the
# wineserver of this prefix (wineserver -k acts on $WINEPREFIX only).

# wine_env_init [DIR]: a new work folder (DIR, or a temp dir) with the prefix
# inside it; sets the Wine environment for everything run afterwards.
wine_env_init() {
  WINE_ENV_DIR=${1:-$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine.XXXXXX")}
  mkdir -p "$WINE_ENV_DIR"
  export WINEPREFIX="$WINE_ENV_DIR/prefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  # No Mono/Gecko installers, and no desktop menu entries in the real $HOME
  # (the registry override below makes the second one stick).
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  WINE_ENV_XVFB_PID=
  WINE_ENV_SERVER=
}

# wine_env_start_xvfb: starts Xvfb on the first free display from :90 and
# exports DISPLAY.  Other sessions may hold displays, so a taken one is skipped.
wine_env_start_xvfb() {
  local n
  for n in $(seq 90 189); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$WINE_ENV_DIR/xvfb.log" 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local tries
    for tries in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    WINE_ENV_XVFB_PID=
  done
  echo "wine-env: no free X display for Xvfb" >&2
  return 1
}

# wine_env_create_prefix [--desktop WxH] [--fonts]: boots the prefix and keeps
# its wineserver alive until wine_env_cleanup.
#   --desktop: Wine's virtual desktop, so hiding a window does not stall
#              waiting for a window manager that Xvfb does not have.
#   --fonts:   the Windows fonts of the fonts-wine package (e.g. MS Sans Serif),
#              which this Wine only loads from the prefix's own Fonts folder.
wine_env_create_prefix() {
  local desktop= fonts=
  while [ $# -gt 0 ]; do
    case $1 in
      --desktop) desktop=$2; shift 2 ;;
      --fonts) fonts=1; shift ;;
      *) echo "wine-env: unknown option $1" >&2; return 2 ;;
    esac
  done
  if [ -n "$fonts" ] && [ -d /usr/share/wine/fonts ]; then
    # In place before the first boot, so no restart is needed to load them.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  mkdir -p "$WINEPREFIX"
  wineserver -p
  WINE_ENV_SERVER=1
  wineboot -i >"$WINE_ENV_DIR/wineboot.log" 2>&1 || return 1
  local reg="$WINE_ENV_DIR/settings.reg"
  {
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\r\n"winemenubuilder.exe"=""\r\n\r\n'
    # A crash prints a backtrace and ends the process instead of waiting on a dialog.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
    if [ -n "$desktop" ]; then
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="%s"\r\n\r\n' "$desktop"
    fi
  } >"$reg"
  wine reg import "$(winepath -w "$reg")" >>"$WINE_ENV_DIR/wineboot.log" 2>&1 || return 1
  if [ -n "$desktop" ]; then
    # The boot already started the desktop process without the setting: a
    # fresh server starts a new one that reads it.
    wineserver -k
    timeout 10 wineserver -w
    wineserver -p
  fi
}

# wine_env_cleanup: stops this prefix's Wine processes and the Xvfb started
# here, and removes the work folder.
wine_env_cleanup() {
  if [ -n "${WINE_ENV_SERVER:-}" ]; then
    wineserver -k 2>/dev/null
    timeout 10 wineserver -w 2>/dev/null
  fi
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null
  fi
  if [ -n "${WINE_ENV_DIR:-}" ] && [ -z "${WINE_ENV_KEEP:-}" ]; then
    rm -rf "$WINE_ENV_DIR"
  fi
}

# SETUP.EXE from scripts: /quiet runs without any window, answered by an
# answer file or by the prompts' defaults; /log writes what happened; the
# exit code tells success (0), failure or cancel (1) and a bad command line
# (2).  Quiet runs are started by quietwatch.exe (fixtures/quietwatch.c),
# which lists every top-level window of the desktop until a moment after
# the program ended and fails the run when one of the program's was ever
# visible or another process showed a new one.

E2E_SCENARIOS+=(quiet_demo quiet_all_kinds quiet_cancel quiet_uninstall quiet_bad_command_line
  bad_command_line_box interactive_log)

# e2e_quiet_watch: builds quietwatch.exe.  Sets E2E_QUIETWATCH.
e2e_quiet_watch() {
  e2e_fixture_dir
  E2E_QUIETWATCH=$E2E_FIXTURES/quietwatch.exe
  if ! e2e_fixture_fresh "$E2E_QUIETWATCH" "$E2E_HERE/fixtures/quietwatch.c"; then
    i686-w64-mingw32-gcc "${E2E_MINGW_FLAGS[@]}" -o "$E2E_QUIETWATCH" \
      "$E2E_HERE/fixtures/quietwatch.c" || { e2e_fail "cannot build quietwatch.exe"; return 1; }
  fi
}

# e2e_quiet_run EXIT_CODE COMMAND_LINE [GROUP...]: runs the command line in
# $MEDIA_WIN under quietwatch.exe; fails when a window appeared on the
# desktop (the program's own, or another process's that was not there
# before) or the exit code is not EXIT_CODE.  A window of another process
# captioned GROUP is let pass with a note: Wine's shell opens the group's
# folder in a window for every CreateGroup and ShowGroup command, whatever
# show command it is given (dlls/shell32/dde.c), and the Program Manager
# client needs one of the two before it can add or delete an item.
e2e_quiet_run() {
  local expected=$1 command=$2 out=$E2E_LOGS/$E2E_SCENARIO-quiet.log rc mark=0 lines line
  shift 2
  e2e_quiet_watch || return 1
  [ -f "$out" ] && mark=$(wc -l <"$out")
  echo "run: $command" >>"$out"
  timeout 150 wine "$E2E_QUIETWATCH" "$MEDIA_WIN" "$command" >>"$out" 2>&1
  rc=$?
  lines=$(tail -n +$((mark + 2)) "$out" | tr -d '\r')
  if [ "$rc" = 96 ]; then
    rc=$(sed -n 's/^exit //p' <<<"$lines")
    while IFS= read -r line; do
      local caption=${line#other * \"}
      caption=${caption%\"}
      if printf '%s\n' "$@" | grep -qxF -- "$caption"; then
        echo "note: the shell's window for the group \"$caption\" (Wine opens one for every group command)" >>"$out"
      else
        e2e_fail "a window of another process appeared: $line"
        rc=96
      fi
    done < <(grep '^other ' <<<"$lines")
    [ "$rc" = 96 ] && return 1
  fi
  case $rc in
    99) e2e_fail "a window was shown: $(grep '^visible' <<<"$lines" | tr '\n' ' ')"
      return 1 ;;
    97 | 98 | 124) e2e_fail "quietwatch could not run \"$command\" to its end (status $rc, log: $out)"
      return 1 ;;
  esac
  [ "$rc" = "$expected" ] || { e2e_fail "exit code $rc, expected $expected"; return 1; }
}

# e2e_quiet_log LINUX_FILE: the log without carriage returns.
e2e_quiet_log() { tr -d '\r' <"$1"; }

# e2e_quiet_expect_log LINUX_FILE TITLE STEPS RESULT: the log names the
# program and its command line first, then the package, has a "-> done"
# line for each of STEPS steps and ends with the result (after which only
# warnings about answer rules may follow).
e2e_quiet_expect_log() {
  local log=$1 text done
  [ -f "$log" ] || { e2e_fail "no log ${log#"$E2E_DRIVE_C/"}"; return 1; }
  cp "$log" "$E2E_LOGS/$E2E_SCENARIO-$(basename "$log")"
  text=$(e2e_quiet_log "$log")
  head -n 1 <<<"$text" | grep -qi '^program "Velmora Setup [^:]*: .*SETUP\.EXE /quiet' ||
    e2e_fail "the log's first line is not the program line: $(head -n 1 <<<"$text")"
  grep -qxF "package \"$2\"" <<<"$text" || e2e_fail "the log names no package \"$2\""
  done=$(grep -c '^step ".*" -> done$' <<<"$text")
  [ "$done" = "$3" ] || e2e_fail "the log has $done steps done, expected $3"
  local last
  last=$(grep -v '^warning ' <<<"$text" | tail -n 1)
  [ "$last" = "result \"$4\"" ] || e2e_fail "the log ends with \"$last\", not result \"$4\""
}

# e2e_quiet_steps: the number of steps in the manifest just packed.
e2e_quiet_steps() { grep -c '^\[\[step\]\]' "$PACKAGE/manifest.toml"; }

# The demonstration package with its own answer file: every prompt is
# answered by a rule or by its default, the installation completes and
# nothing is ever shown.
scenario_quiet_demo() {
  local demo=$E2E_HERE/../../examples/demo title="Lantern Notes 2.1"
  e2e_package_dir quiet-demo
  cp -r "$demo/files" "$PACKAGE/"
  e2e_pack <"$demo/manifest.toml" || return 1
  rm -rf "$E2E_DRIVE_C/Program Files/Lantern Notes"
  wine reg delete 'HKLM\Software\Lantern' /f /reg:32 >/dev/null 2>&1
  e2e_media quiet-demo
  e2e_copy_media
  cp "$demo/answers.txt" "$MEDIA/answers.txt"
  e2e_quiet_run 0 "$MEDIA_WIN\\SETUP.EXE /quiet /answers $MEDIA_WIN\\answers.txt /log $MEDIA_WIN\\setup.log" \
    "Lantern Notes"
  e2e_groups_close "Lantern Notes"
  e2e_quiet_expect_log "$MEDIA/setup.log" "$title" "$(e2e_quiet_steps)" installed
  e2e_expect_same "$E2E_DRIVE_C/Program Files/Lantern Notes/README.TXT" "$demo/files/README.TXT"
  e2e_expect_same "$E2E_DRIVE_C/Program Files/Lantern Notes/LOGO.BMP" "$demo/files/LOGO.BMP"
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' InstallDir 'C:\Program Files\Lantern Notes\'
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' Owner 'Demo User'
  e2e_expect_ini LANTERN.INI Options NotesFolder 'C:\Program Files\Lantern Notes\NOTES'
  e2e_expect_ini LANTERN.INI Owner Name 'Demo User'
  e2e_uninstall_expect_entry "$title"
  e2e_expect_reg "$E2E_UNINSTALL_KEY\\$title" QuietUninstallString \
    "\"C:\\windows\\X$title.exe\" /quiet C:\\windows\\X$title.VMU"
  grep -q '^agreement .* -> I accept$' <(e2e_quiet_log "$MEDIA/setup.log") ||
    e2e_fail "the log has no agreement accepted by a rule"
  grep -q '^readme .* -> OK (default)$' <(e2e_quiet_log "$MEDIA/setup.log") ||
    e2e_fail "the log has no readme ended by its default"
  local item
  item="$(e2e_groups_folder)/Lantern Notes/Lantern Notes Read Me.lnk"
  [ -f "$item" ] || e2e_fail "no program item $item"
  # Removed again the way deployment tools do it, so that later scenarios
  # find no installation of the demo.
  local command
  command=$(e2e_reg_value "$E2E_UNINSTALL_KEY\\$title" QuietUninstallString) || return 1
  e2e_quiet_run 0 "$command" "Lantern Notes" || return 1
  e2e_groups_close "Lantern Notes"
  e2e_expect_no_file "$item"
  e2e_expect_no_file "$E2E_DRIVE_C/Program Files/Lantern Notes/README.TXT"
  e2e_uninstall_expect_removed "$title"
  # The system's next start deletes the uninstaller's own program.
  wineboot -r >/dev/null 2>&1 || e2e_fail "wineboot -r failed"
  e2e_expect_no_file "$E2E_DRIVE_C/windows/X$title.exe"
}

# Every kind of step in one package, each answered by a rule: background,
# agreement, two directories, ini value, user value, registry, program
# group with an item, files (plain, read-only and hidden, into the system
# directory with a shared count, self-registering) and the readme.
scenario_quiet_all_kinds() {
  local title="E2E Quiet Kinds" selfreg demo=$E2E_HERE/../../examples/demo
  local dir=$E2E_DRIVE_C/E2E\ Quiet sys programs
  e2e_files_fixture selfreg e2e_selfreg_dll || return 1
  e2e_package_dir quiet-kinds
  cp "$demo/files/LOGO.BMP" "$PACKAGE/logo.bmp"
  e2e_files_text "$PACKAGE/licence.txt" "QUIET LICENCE: accept it by rule."
  e2e_files_text "$PACKAGE/readme.txt" "Read me, quietly."
  e2e_files_text "$PACKAGE/plain.txt" "A plain text."
  e2e_files_text "$PACKAGE/secret.txt" "A read-only hidden text."
  e2e_files_text "$PACKAGE/shared.txt" "A shared file in the system directory."
  cp "$selfreg" "$PACKAGE/selfreg.dll"
  e2e_pack_manifest quiet-kinds || return 1
  sys=$(e2e_files_system)
  rm -rf "$dir" "$sys/QKSHARED.TXT" "$E2E_DRIVE_C/windows/E2EQUIET.INI"
  wine reg delete 'HKLM\Software\Tarnwick\VelmoraE2E\Quiet' /f /reg:32 >/dev/null 2>&1
  wine reg delete "$E2E_SHARED_KEY" /v 'C:\windows\system32\QKSHARED.TXT' /f /reg:32 >/dev/null 2>&1
  programs=$(e2e_groups_folder) || { e2e_fail "no Start Menu Programs folder"; return 1; }
  rm -rf "$programs/$title"
  e2e_media quiet-kinds
  e2e_copy_media
  cp "$E2E_MANIFESTS/quiet-kinds.answers" "$MEDIA/answers.txt"
  e2e_quiet_run 0 "$MEDIA_WIN\\SETUP.EXE /QUIET /log \"$MEDIA_WIN\\kinds log.txt\" /answers $MEDIA_WIN\\answers.txt" \
    "$title"
  e2e_groups_close "$title"
  e2e_quiet_expect_log "$MEDIA/kinds log.txt" "$title" "$(e2e_quiet_steps)" installed
  local text
  text=$(e2e_quiet_log "$MEDIA/kinds log.txt")
  grep -q '(default)$' <<<"$text" && e2e_fail "a prompt took its default: $(grep '(default)$' <<<"$text" | head -n 1)"
  e2e_expect_same "$dir/QKPLAIN.TXT" "$PACKAGE/plain.txt"
  e2e_expect_same "$dir/DATA/QKSECRET.TXT" "$PACKAGE/secret.txt"
  e2e_expect_same "$sys/QKSHARED.TXT" "$PACKAGE/shared.txt"
  e2e_files_expect_status 'C:\E2E Quiet\QKPLAIN.TXT' 0 0 840890096
  e2e_files_expect_status 'C:\E2E Quiet\DATA\QKSECRET.TXT' 1 1 -
  e2e_expect_reg_dword "$E2E_SHARED_KEY" 'C:\windows\system32\QKSHARED.TXT' 1
  e2e_expect_reg 'HKLM\Software\Tarnwick\VelmoraE2E\SelfReg' Registered 'C:\E2E Quiet\QKSELFRG.DLL'
  e2e_expect_reg 'HKLM\Software\Tarnwick\VelmoraE2E\Quiet' Owner 'Quiet Owner'
  e2e_expect_reg 'HKLM\Software\Tarnwick\VelmoraE2E\Quiet' Home 'C:\E2E Quiet\HOME'
  e2e_expect_ini E2EQUIET.INI Paths Data 'C:\E2E Quiet\DATA\FILES'
  e2e_expect_ini E2EQUIET.INI Owner Name 'Quiet Owner'
  [ -f "$programs/$title/Quiet Plain.lnk" ] || e2e_fail "no program item Quiet Plain in $title"
  e2e_files_no_temp "$dir"
}

# An answer file that cancels the directory question: exit code 1, the
# steps before it rolled back (a new file gone, a replaced file and a
# changed registry value and ini entry as they were), the log says so.
scenario_quiet_cancel() {
  local title="E2E Quiet Cancel" win
  win=$(e2e_files_windows)
  e2e_package_dir quiet-cancel
  e2e_files_text "$PACKAGE/new.txt" "A file the roll-back removes."
  e2e_files_text "$PACKAGE/over.txt" "A file that replaces one the roll-back restores."
  e2e_pack_manifest quiet-cancel || return 1
  rm -f "$win/QCNEW.TXT" "$win/E2EQCANC.INI"
  e2e_files_existing "$win/QCOVER.TXT" "$PACKAGE/over.txt" '1990-01-01 00:00:00 UTC'
  cp -p "$win/QCOVER.TXT" "$PACKAGE/over.before"
  printf '[Kept]\r\nValue=before\r\n' >"$win/E2EQCANC.INI"
  e2e_set_reg 'HKLM\Software\Tarnwick\VelmoraE2E\QuietCancel' Edited before
  e2e_media quiet-cancel
  e2e_copy_media
  printf 'directory "*" = cancel\n' >"$MEDIA/answers.txt"
  e2e_quiet_run 1 "$MEDIA_WIN\\SETUP.EXE /quiet /answers $MEDIA_WIN\\answers.txt /log $MEDIA_WIN\\setup.log"
  e2e_quiet_expect_log "$MEDIA/setup.log" "$title" 4 "install failed"
  local text
  text=$(e2e_quiet_log "$MEDIA/setup.log")
  [ "$(grep -c '^rollback "' <<<"$text")" = 4 ] || e2e_fail "the log does not roll back 4 steps"
  grep -q '^directory .* -> Cancel$' <<<"$text" || e2e_fail "the log has no cancelled directory question"
  e2e_expect_no_file "$win/QCNEW.TXT"
  e2e_expect_same "$win/QCOVER.TXT" "$PACKAGE/over.before"
  e2e_files_expect_status 'C:\windows\QCOVER.TXT' 0 0 631152000
  e2e_expect_reg 'HKLM\Software\Tarnwick\VelmoraE2E\QuietCancel' Edited before
  e2e_expect_ini E2EQCANC.INI Kept Value before
  e2e_expect_no_dir 'C:\E2E Quiet Cancel'
  e2e_files_no_temp "$win"
  wine reg query "$E2E_UNINSTALL_KEY\\$title" /reg:32 >/dev/null 2>&1 &&
    e2e_fail "the cancelled installation left an uninstall entry"
  e2e_expect_no_file "$win/X$title.exe"
}

# Installed quietly, then removed by the command of the entry's
# "QuietUninstallString", read from the registry as a deployment tool
# reads it: no window, exit code 0, the product gone.
scenario_quiet_uninstall() {
  local title="E2E Quiet Gone" win command
  win=$(e2e_files_windows)
  e2e_package_dir quiet-gone
  e2e_files_text "$PACKAGE/gone.txt" "A text the quiet uninstallation removes."
  e2e_pack_manifest quiet-gone || return 1
  rm -rf "$E2E_DRIVE_C/E2E Quiet Gone" "$win/QGWIN.TXT"
  e2e_media quiet-gone
  e2e_copy_media
  e2e_quiet_run 0 "$MEDIA_WIN\\SETUP.EXE /quiet" || return 1
  e2e_expect_same "$E2E_DRIVE_C/E2E Quiet Gone/QGONE.TXT" "$PACKAGE/gone.txt"
  command=$(e2e_reg_value "$E2E_UNINSTALL_KEY\\$title" QuietUninstallString) ||
    { e2e_fail "no QuietUninstallString for $title"; return 1; }
  [ "$command" = "\"C:\\windows\\X$title.exe\" /quiet C:\\windows\\X$title.VMU" ] ||
    e2e_fail "QuietUninstallString is $command"
  e2e_quiet_run 0 "$command" || return 1
  e2e_expect_no_file "$E2E_DRIVE_C/E2E Quiet Gone/QGONE.TXT"
  e2e_expect_no_file "$win/QGWIN.TXT"
  e2e_uninstall_expect_removed "$title"
}

# A bad command line under /quiet: exit code 2, the problem in the log,
# no window.
scenario_quiet_bad_command_line() {
  e2e_media quiet-bad
  e2e_quiet_run 2 "$MEDIA_WIN\\SETUP.EXE /quiet /log $MEDIA_WIN\\bad.log /frobnicate"
  local text
  text=$(e2e_quiet_log "$MEDIA/bad.log" 2>/dev/null)
  grep -q '^error ".*unknown option /frobnicate' <<<"$text" ||
    e2e_fail "the log has no error line naming /frobnicate: $text"
  e2e_quiet_run 2 "$MEDIA_WIN\\SETUP.EXE /quiet /answers $MEDIA_WIN\\missing.txt"
  e2e_quiet_run 2 "$MEDIA_WIN\\SETUP.EXE /quiet /log"
}

# The same without /quiet: one message box names the problem, exit code 2.
scenario_bad_command_line_box() {
  e2e_media bad-box
  e2e_start_setup SETUP.EXE /answers 'C:\media\bad-box\missing.txt'
  e2e_robot \
    box 'Bad command line: cannot read the answer file C:\media\bad-box\missing.txt' \
    click 1 || return 1
  local limit=$((SECONDS + 20))
  while kill -0 "$E2E_SETUP_PID" 2>/dev/null && [ $SECONDS -lt $limit ]; do sleep 0.05; done
  wait "$E2E_SETUP_PID"
  local rc=$?
  [ "$rc" = 2 ] || e2e_fail "exit code $rc, expected 2"
}

# /log on a run with windows, answered by the robot: the log marks the
# user's answers.
scenario_interactive_log() {
  local title="E2E Logged"
  e2e_package_dir interactive-log
  e2e_files_text "$PACKAGE/logged.txt" "A file of a logged installation."
  e2e_pack_manifest interactive-log || return 1
  rm -rf "$E2E_DRIVE_C/E2E Logged" "$E2E_DRIVE_C/E2E Logged Here"
  e2e_media interactive-log
  e2e_copy_media
  e2e_start_setup SETUP.EXE /log 'C:\media\interactive-log\setup.log'
  e2e_robot \
    window "Select Directory" \
    settext 1001 'C:\E2E Logged Here' \
    click 1 \
    box "The requested directory does not exist.  Create?" \
    click 6 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup || return 1
  e2e_expect_same "$E2E_DRIVE_C/E2E Logged Here/LOGGED.TXT" "$PACKAGE/logged.txt"
  local text
  text=$(e2e_quiet_log "$MEDIA/setup.log")
  cp "$MEDIA/setup.log" "$E2E_LOGS/$E2E_SCENARIO-setup-log.txt"
  grep -qF 'directory "LOGDIR" "Where shall the logged file go?" "C:\\E2E Logged" -> OK "C:\\E2E Logged Here" (user)' <<<"$text" ||
    e2e_fail "the log has no directory answered by the user"
  grep -qxF 'message "Setup" [Yes/No, question] "The requested directory does not exist.  Create?" -> Yes (user)' <<<"$text" ||
    e2e_fail "the log has no Create? answered Yes by the user"
  grep -q '^message .*"Install Successful" -> OK (user)$' <<<"$text" ||
    e2e_fail "the log has no Install Successful answered by the user"
  [ "$(tail -n 1 <<<"$text")" = 'result "installed"' ] || e2e_fail "the log does not end with the result"
}

# Uninstallation: an installed package is removed through its uninstall
# entry, started as the shell starts it (Wine's own uninstaller reads the
# entry's UninstallString and runs it whole as the command line); and a
# cancelled re-installation leaves the earlier installation's uninstaller
# and registry values as they were.

E2E_SCENARIOS+=(uninstall_blanks uninstall_plain uninstall_after_cancel uninstall_demo)

E2E_UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
E2E_PENDING_KEY='HKLM\System\CurrentControlSet\Control\Session Manager'
E2E_UNINSTALL_VALUES='HKLM\Software\Tarnwick\VelmoraE2E\Uninstall'

# e2e_uninstall_expect_entry TITLE: the entry, uninstaller and log that a
# successful installation of TITLE leaves: DisplayName, UninstallString
# (the program's path quoted, one blank, the log's path), the program (a
# copy of SETUP.EXE) and the log in the Windows directory.
e2e_uninstall_expect_entry() {
  local exe="C:\\windows\\X$1.exe" log="C:\\windows\\X$1.VMU"
  e2e_expect_reg "$E2E_UNINSTALL_KEY\\$1" DisplayName "$1"
  e2e_expect_reg "$E2E_UNINSTALL_KEY\\$1" UninstallString "\"$exe\" $log"
  e2e_expect_same "$(e2e_linux_path "$exe")" "$E2E_SETUP_EXE"
  [ -f "$(e2e_linux_path "$log")" ] || e2e_fail "$log does not exist"
}

# e2e_uninstall_pending: the files waiting in PendingFileRenameOperations
# for deletion at the next start of the system, one "\??\PATH" a line.
e2e_uninstall_pending() {
  wine reg query "$E2E_PENDING_KEY" /v PendingFileRenameOperations /reg:32 2>/dev/null |
    tr -d '\r' | sed -n 's/^    PendingFileRenameOperations    REG_MULTI_SZ    //p' |
    sed 's/\\0/\n/g' | sed '/^$/d'
}

# e2e_uninstall_run TITLE: removes TITLE through Wine's uninstaller, which
# must list it, and answers the uninstaller's success message.
e2e_uninstall_run() {
  local listed
  listed=$(wine uninstaller --list 2>/dev/null | tr -d '\r')
  grep -qxF "$1|||$1" <<<"$listed" || e2e_fail "wine uninstaller --list does not list \"$1\""
  e2e_start_setup uninstaller --remove "$1"
  e2e_robot \
    box "Uninstall successfully performed" \
    click 1 || return 1
  e2e_finish_setup
}

# e2e_uninstall_expect_removed TITLE: the entry and the log are gone; the
# uninstaller, still running when it tried to delete its own file, moved it
# aside to a name of its own (vmd*.tmp) and left that name to the next
# start of the system; where the move failed, its own name.
e2e_uninstall_expect_removed() {
  local exe="C:\\windows\\X$1.exe" pending left
  wine reg query "$E2E_UNINSTALL_KEY\\$1" /reg:32 >/dev/null 2>&1 &&
    e2e_fail "the uninstall entry $1 is still there"
  e2e_expect_no_file "$(e2e_linux_path "C:\\windows\\X$1.VMU")"
  pending=$(e2e_uninstall_pending)
  if [ -e "$(e2e_linux_path "$exe")" ]; then
    left=$exe
  else
    left=$(printf '%s\n' "$pending" | grep -i '^\\??\\C:\\windows\\vmd.*\.tmp$' | tail -n 1)
    left=${left#\\??\\}
  fi
  [ -n "$left" ] || e2e_fail "the uninstaller $exe left nothing to the next start: $pending"
  e2e_expect_same "$(e2e_linux_path "$left")" "$E2E_SETUP_EXE"
  printf '%s\n' "$pending" | grep -qixF "\\??\\$left" ||
    e2e_fail "$left is not in PendingFileRenameOperations: $(printf '%s' "$pending" | tr '\n' ' ')"
}

# e2e_uninstall_install MEDIA_NAME: installs the package just packed with the
# real SETUP.EXE, taking the suggested directory.
e2e_uninstall_install() {
  e2e_media "$1"
  e2e_copy_media
  e2e_install_suggested || return 1
}

# A title with blanks and one file of each kind an uninstallation treats
# differently: a plain file and a read-only one (removed), a shared library
# that was there with a count (kept, the count goes back), a
# self-registering library (unregistered, removed); and a registry step,
# whose value the uninstallation leaves.
scenario_uninstall_blanks() {
  local v1 v2 selfreg title="E2E Ledger Notes 3.0"
  e2e_files_fixture v1 e2e_versioned_dll 1,0,0,0 || return 1
  e2e_files_fixture v2 e2e_versioned_dll 2,0,0,0 || return 1
  e2e_files_fixture selfreg e2e_selfreg_dll || return 1
  e2e_package_dir uninstall-blanks
  e2e_files_text "$PACKAGE/plain.txt" "A plain text the uninstallation removes."
  e2e_files_text "$PACKAGE/readonly.txt" "A read-only text the uninstallation removes."
  cp "$v2" "$PACKAGE/shared.dll"
  cp "$selfreg" "$PACKAGE/selfreg.dll"
  e2e_pack_manifest uninstall-blanks || return 1
  local app=$E2E_DRIVE_C/E2E\ Ledger sys selfreg_key='HKLM\Software\Tarnwick\VelmoraE2E\SelfReg'
  local shared_name='C:\windows\system32\UNSHARED.DLL'
  sys=$(e2e_files_system)
  rm -rf "$app"
  mkdir -p "$app"
  # Older by date and version: replaced, and its count goes up by one.
  e2e_files_existing "$sys/UNSHARED.DLL" "$v1" '1990-01-01 00:00:00 UTC'
  wine reg add "$E2E_SHARED_KEY" /v "$shared_name" /t REG_DWORD /d 3 /f /reg:32 >/dev/null 2>&1 ||
    e2e_fail "cannot set the shared count"
  wine reg delete "$selfreg_key" /f /reg:32 >/dev/null 2>&1
  e2e_uninstall_install uninstall-blanks || return 1
  e2e_uninstall_expect_entry "$title"
  e2e_expect_same "$app/UNPLAIN.TXT" "$PACKAGE/plain.txt"
  e2e_files_expect_status 'C:\E2E Ledger\UNREAD.TXT' 1 0 -
  e2e_expect_reg_dword "$E2E_SHARED_KEY" "$shared_name" 4
  e2e_expect_reg "$selfreg_key" Registered 'C:\E2E Ledger\UNSELFRG.DLL'
  e2e_expect_reg "$E2E_UNINSTALL_VALUES" Ledger 3.0
  [ -z "$E2E_FAILED" ] || return 1

  e2e_uninstall_run "$title" || return 1
  e2e_expect_no_file "$app/UNPLAIN.TXT"
  e2e_expect_no_file "$app/UNREAD.TXT"
  e2e_expect_no_file "$app/UNSELFRG.DLL"
  e2e_expect_reg "$selfreg_key" Unregistered 'C:\E2E Ledger\UNSELFRG.DLL'
  e2e_expect_same "$sys/UNSHARED.DLL" "$PACKAGE/shared.dll"
  e2e_expect_reg_dword "$E2E_SHARED_KEY" "$shared_name" 3
  e2e_expect_reg "$E2E_UNINSTALL_VALUES" Ledger 3.0
  e2e_uninstall_expect_removed "$title"
}

# A title without blanks: the entry works the same way.
scenario_uninstall_plain() {
  local title=E2ELedger
  e2e_package_dir uninstall-plain
  e2e_files_text "$PACKAGE/plain.txt" "A text of a package whose title has no blanks."
  e2e_pack_manifest uninstall-plain || return 1
  local win
  win=$(e2e_files_windows)
  rm -f "$win/UNLEDGER.TXT"
  e2e_media uninstall-plain
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup || return 1
  e2e_uninstall_expect_entry "$title"
  e2e_expect_same "$win/UNLEDGER.TXT" "$PACKAGE/plain.txt"
  [ -z "$E2E_FAILED" ] || return 1

  e2e_uninstall_run "$title" || return 1
  e2e_expect_no_file "$win/UNLEDGER.TXT"
  e2e_uninstall_expect_removed "$title"
}

# e2e_uninstall_restart: the system's restart, which deletes what earlier
# uninstallers left to it (their programs, moved aside as vmd*.tmp), so that
# what a scenario finds in the Windows directory is its own.
e2e_uninstall_restart() {
  wineboot -r >/dev/null 2>&1 || e2e_fail "wineboot -r failed"
}

# e2e_uninstall_no_temp: no file the uninstaller copy or the log was kept
# aside in (vm*.tmp) is left in the Windows directory.
e2e_uninstall_no_temp() {
  local left
  left=$(cd "$(e2e_files_windows)" && ls -d vm*.tmp VM*.TMP 2>/dev/null | tr '\n' ' ')
  [ -z "$left" ] || e2e_fail "temporary files left in C:\\windows: $left"
}

# A good installation, then a second one of the same title cancelled at a
# directory question after its registry steps: the roll-back gives a value
# that was there its earlier text back, a value that was not there is
# deleted again, and the first installation's uninstaller, log and entry
# stay as they were, so that the uninstallation still works.
scenario_uninstall_after_cancel() {
  local title="E2E Kept Notes"
  e2e_uninstall_restart
  e2e_package_dir uninstall-cancel
  e2e_files_text "$PACKAGE/kept.txt" "A text the cancelled installation leaves in place."
  e2e_pack_manifest uninstall-cancel || return 1
  local win
  win=$(e2e_files_windows)
  rm -f "$win/UNKEPT.TXT"
  mkdir -p "$E2E_DRIVE_C/E2E Kept"
  e2e_set_reg "$E2E_UNINSTALL_VALUES" KeptEdited "Before the first installation"
  wine reg delete "$E2E_UNINSTALL_VALUES" /v KeptNew /f /reg:32 >/dev/null 2>&1
  e2e_uninstall_install uninstall-cancel || return 1
  e2e_uninstall_expect_entry "$title"
  e2e_expect_reg "$E2E_UNINSTALL_VALUES" KeptEdited 1.0
  e2e_expect_reg "$E2E_UNINSTALL_VALUES" KeptNew 1.0
  [ -z "$E2E_FAILED" ] || return 1

  e2e_set_reg "$E2E_UNINSTALL_VALUES" KeptEdited "Set by hand"
  wine reg delete "$E2E_UNINSTALL_VALUES" /v KeptNew /f /reg:32 >/dev/null 2>&1
  cp "$win/X$title.VMU" "$PACKAGE/log.before"
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    click 2 \
    box "Install Failed.  Press OK to abort." \
    click 1 || return 1
  e2e_finish_setup 1 || return 1
  e2e_expect_reg "$E2E_UNINSTALL_VALUES" KeptEdited "Set by hand"
  e2e_expect_reg "$E2E_UNINSTALL_VALUES" KeptNew -
  e2e_expect_same "$win/UNKEPT.TXT" "$PACKAGE/kept.txt"
  e2e_uninstall_expect_entry "$title"
  e2e_expect_same "$win/X$title.VMU" "$PACKAGE/log.before"
  e2e_uninstall_no_temp
  [ -z "$E2E_FAILED" ] || return 1

  e2e_uninstall_run "$title" || return 1
  e2e_expect_no_file "$win/UNKEPT.TXT"
  e2e_expect_reg "$E2E_UNINSTALL_VALUES" KeptEdited "Set by hand"
  e2e_uninstall_expect_removed "$title"
}

# e2e_uninstall_files: the files on C: outside the users' and media
# folders, one a line.
e2e_uninstall_files() {
  (cd "$E2E_DRIVE_C" && find . \( -path ./users -o -path ./media \) -prune -o -type f -print | sort)
}

# The demonstration package, answered as examples/demo/answers.txt answers
# it: after the uninstallation the files on C: are those before the
# installation, apart from the uninstaller's own program, which goes at the
# next start of the system; the directories and registry values stay.
scenario_uninstall_demo() {
  local title="Lantern Notes 2.1" demo=$E2E_HERE/../../examples/demo
  e2e_package_dir uninstall-demo
  cp -r "$demo/files" "$PACKAGE/"
  e2e_pack <"$demo/manifest.toml" || return 1
  rm -rf "$E2E_DRIVE_C/Program Files/Lantern Notes"
  wine reg delete 'HKLM\Software\Lantern' /f /reg:32 >/dev/null 2>&1
  e2e_media uninstall-demo
  e2e_copy_media
  e2e_uninstall_restart
  local files_before
  files_before=$(e2e_uninstall_files)
  e2e_start_setup
  # The screenshots docs/screenshots shows (scripts/readme-shots).
  e2e_robot \
    dialog Setup \
    expect 1 "I accept" \
    snap demo-agreement \
    click 1 \
    window "Select Directory" \
    settext 1001 'C:\Program Files\Lantern Notes' \
    snap demo-directory \
    click 1 \
    box "The requested directory does not exist.  Create?" \
    click 6 \
    box "Create program group and icons?" \
    snap demo-message \
    click 6 \
    window "Select Group" \
    expect 1009 "Lantern Notes" \
    click 1 \
    window "Enter user information" \
    expect 1000 "Your name" \
    settext 1007 "Demo User" \
    click 1 \
    box "Lantern Notes is installed.  Would you like to read the README file now?" \
    click 6 \
    dialog Setup \
    expect 1 OK \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup || return 1
  e2e_robot close "Lantern Notes"
  local item
  item="$(e2e_groups_folder)/Lantern Notes/Lantern Notes Read Me.lnk"
  e2e_uninstall_expect_entry "$title"
  e2e_expect_same "$E2E_DRIVE_C/Program Files/Lantern Notes/README.TXT" "$demo/files/README.TXT"
  [ -f "$item" ] || e2e_fail "no program item $item"
  [ -z "$E2E_FAILED" ] || return 1

  e2e_uninstall_run "$title" || return 1
  e2e_robot close "Lantern Notes"
  e2e_expect_no_file "$item"
  e2e_uninstall_expect_removed "$title"
  # The uninstaller's program, moved aside while it runs, waits for the
  # system's next start.
  local aside='^\./windows/vmd[0-9a-f]*\.tmp$'
  diff <(printf '%s\n' "$files_before") <(e2e_uninstall_files | grep -v "$aside") >"$PACKAGE/files.diff" ||
    e2e_fail "files differ from those before the installation: $(tr '\n' ' ' <"$PACKAGE/files.diff")"
  e2e_expect_dir 'C:\Program Files\Lantern Notes'
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' Version 2.1
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' InstallDir 'C:\Program Files\Lantern Notes\'
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' Owner 'Demo User'
  # The system's next start deletes the program.
  e2e_uninstall_restart
  e2e_expect_no_file "$E2E_DRIVE_C/windows/X$title.exe"
  e2e_uninstall_no_temp
}

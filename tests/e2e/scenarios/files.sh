# File steps: where files go and how they are left (bytes, attributes,
# stored times), which of an existing and a new file stays (by date, by
# version, or by the user in the replace dialog), self-registration, shared
# counts, and the roll-back of a failed installation.

E2E_SCENARIOS+=(files_places files_dates files_versions files_both_checks files_replace_new
  files_replace_existing files_recommended files_selfreg files_shared files_rollback)

E2E_SHARED_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'

# The 32-bit programs' Windows and system directories (a 32-bit prefix).
e2e_files_windows() { printf '%s/windows' "$E2E_DRIVE_C"; }
e2e_files_system() { printf '%s/windows/system32' "$E2E_DRIVE_C"; }

# e2e_files_fixture VAR BUILDER [ARG]: the path of a fixture built by
# BUILDER (e2e_versioned_dll, e2e_selfreg_dll) into VAR.
e2e_files_fixture() {
  local built
  built=$("$2" ${3:+"$3"}) || { e2e_fail "cannot build the fixture $2 $3"; return 1; }
  printf -v "$1" '%s' "$built"
}

# e2e_files_text FILE TEXT: a text file of CR LF lines.
e2e_files_text() {
  printf '%s\r\n' "$2" >"$1"
}

# e2e_files_existing LINUX_FILE FROM [TOUCH_DATE]: a file placed before the
# run, a copy of FROM with a trailer so that it differs from every package
# file, dated TOUCH_DATE (default: now).
e2e_files_existing() {
  mkdir -p "$(dirname "$1")"
  rm -f "$1"
  cat "$2" >"$1"
  printf 'existing copy of %s\r\n' "$(basename "$1")" >>"$1"
  [ -z "${3:-}" ] || touch -d "$3" "$1"
}

# e2e_files_expect_status WINDOWS_PATH READ_ONLY HIDDEN WRITTEN: the file's
# read-only and hidden attributes (0 or 1) and its last-write time (seconds
# since 1970, "-" for any) as Windows programs see them.
e2e_files_expect_status() {
  local info attributes written
  info=$(e2e_file_info "$1") || { e2e_fail "cannot read the status of $1"; return; }
  if [ "$info" = missing ]; then
    e2e_fail "$1 does not exist"
    return
  fi
  attributes=$(sed -n 's/.*attributes=\(0x[0-9a-f]*\).*/\1/p' <<<"$info")
  written=$(sed -n 's/.*written=\(-\?[0-9]*\).*/\1/p' <<<"$info")
  if [ -z "$attributes" ] || [ -z "$written" ]; then
    e2e_fail "$1: unreadable status \"$info\""
    return
  fi
  [ $((attributes & 1)) = "$2" ] || e2e_fail "$1: read-only is $((attributes & 1)), expected $2 ($info)"
  [ $((attributes >> 1 & 1)) = "$3" ] || e2e_fail "$1: hidden is $((attributes >> 1 & 1)), expected $3 ($info)"
  [ "$4" = - ] || [ "$written" = "$4" ] || e2e_fail "$1: written at $written, expected $4 ($info)"
}

# e2e_files_no_temp LINUX_DIR: no temporary file of a run (inst*.tmp for
# extracted data, old*.tmp for a file kept aside) is left in the folder.
e2e_files_no_temp() {
  local left
  left=$(cd "$1" && ls -d ins*.tmp INS*.TMP old*.tmp OLD*.TMP 2>/dev/null | tr '\n' ' ')
  [ -z "$left" ] || e2e_fail "temporary files left in ${1#"$E2E_DRIVE_C/"}: $left"
}

# e2e_files_temp_list LINUX_DIR: the run's temporary file names in a shared
# folder (C:\windows), to compare before and after.
e2e_files_temp_list() {
  (cd "$1" && ls -d ins*.tmp INS*.TMP old*.tmp OLD*.TMP 2>/dev/null | sort | tr '\n' ' ')
}

# Three kinds of target directory, a library with a VERSIONINFO and text
# files, with every combination of read-only and hidden; the stored
# modification time becomes the file's last-write time.
scenario_files_places() {
  local dll dll2
  e2e_files_fixture dll e2e_versioned_dll 1,2,3,4 || return 1
  e2e_files_fixture dll2 e2e_versioned_dll 2,0,0,1 || return 1
  e2e_package_dir files-places
  cp "$dll" "$PACKAGE/vfplain.dll"
  cp "$dll2" "$PACKAGE/vfboth.dll"
  e2e_files_text "$PACKAGE/vfnote.txt" "A read-only note for the Windows directory."
  e2e_files_text "$PACKAGE/vfhide.txt" "A hidden text in the chosen directory."
  e2e_files_text "$PACKAGE/vfplain.txt" "A plain text in the chosen directory."
  e2e_pack_manifest files-places || return 1
  e2e_media files-places
  e2e_copy_media
  local app=$E2E_DRIVE_C/E2E\ Files
  rm -rf "$app"
  mkdir -p "$app"
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    expect 1001 'C:\E2E Files' \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_same "$(e2e_files_system)/VFPLAIN.DLL" "$PACKAGE/vfplain.dll"
  e2e_expect_same "$(e2e_files_windows)/VFNOTE.TXT" "$PACKAGE/vfnote.txt"
  e2e_expect_same "$app/VFHIDE.TXT" "$PACKAGE/vfhide.txt"
  e2e_expect_same "$app/VFBOTH.DLL" "$PACKAGE/vfboth.dll"
  e2e_expect_same "$app/VFPLAIN.TXT" "$PACKAGE/vfplain.txt"
  e2e_files_expect_status 'C:\windows\system32\VFPLAIN.DLL' 0 0 840890096
  e2e_files_expect_status 'C:\windows\VFNOTE.TXT' 1 0 857208600
  e2e_files_expect_status 'C:\E2E Files\VFHIDE.TXT' 0 1 915148798
  e2e_files_expect_status 'C:\E2E Files\VFBOTH.DLL' 1 1 981173106
  e2e_files_expect_status 'C:\E2E Files\VFPLAIN.TXT' 0 0 799650305
  # The same times on the Linux side.
  local got
  got=$(stat -c %Y "$app/VFPLAIN.TXT" 2>/dev/null)
  [ "$got" = 799650305 ] || e2e_fail "E2E Files/VFPLAIN.TXT has the Linux mtime $got, expected 799650305"
  got=$(stat -c %Y "$(e2e_files_system)/VFPLAIN.DLL" 2>/dev/null)
  [ "$got" = 840890096 ] || e2e_fail "system32/VFPLAIN.DLL has the Linux mtime $got, expected 840890096"
  e2e_files_no_temp "$app"
}

# Dates only: a newer package file replaces the existing one, an older one
# leaves it; versions do not count (a lower version with a later date
# replaces).
scenario_files_dates() {
  local v1 v3
  e2e_files_fixture v1 e2e_versioned_dll 1,0,0,0 || return 1
  e2e_files_fixture v3 e2e_versioned_dll 3,0,0,0 || return 1
  e2e_package_dir files-dates
  e2e_files_text "$PACKAGE/vfdnewer.txt" "The package's newer text."
  e2e_files_text "$PACKAGE/vfdolder.txt" "The package's older text."
  cp "$v1" "$PACKAGE/vfdver.dll"
  e2e_pack_manifest files-dates || return 1
  local win
  win=$(e2e_files_windows)
  e2e_files_text "$PACKAGE/existing.txt" "The text that was there before."
  e2e_files_existing "$win/VFDNEWER.TXT" "$PACKAGE/existing.txt" '2001-02-03 04:05:06 UTC'
  e2e_files_existing "$win/VFDOLDER.TXT" "$PACKAGE/existing.txt" '2001-02-03 04:05:06 UTC'
  e2e_files_existing "$win/VFDVER.DLL" "$v3" '2001-02-03 04:05:06 UTC'
  cp "$win/VFDOLDER.TXT" "$PACKAGE/vfdolder.before"
  local temps_before
  temps_before=$(e2e_files_temp_list "$win")
  e2e_media files-dates
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_same "$win/VFDNEWER.TXT" "$PACKAGE/vfdnewer.txt"
  e2e_files_expect_status 'C:\windows\VFDNEWER.TXT' 0 0 2096345166
  e2e_expect_same "$win/VFDOLDER.TXT" "$PACKAGE/vfdolder.before"
  e2e_files_expect_status 'C:\windows\VFDOLDER.TXT' 0 0 981173106
  e2e_expect_same "$win/VFDVER.DLL" "$PACKAGE/vfdver.dll"
  [ "$(e2e_files_temp_list "$win")" = "$temps_before" ] ||
    e2e_fail "temporary files left in C:\\windows: $(e2e_files_temp_list "$win")"
}

# Versions only: a higher version replaces, a lower or equal one leaves the
# existing file, a file without version information counts as version 0;
# dates do not count (the package's files that replace are older than the
# existing ones, those that stay newer).
scenario_files_versions() {
  local v1 v2 v3
  e2e_files_fixture v1 e2e_versioned_dll 1,0,0,0 || return 1
  e2e_files_fixture v2 e2e_versioned_dll 2,0,0,0 || return 1
  e2e_files_fixture v3 e2e_versioned_dll 3,0,0,0 || return 1
  e2e_package_dir files-versions
  local name
  for name in vfvup vfvdown vfvnone vfvsame; do cp "$v2" "$PACKAGE/$name.dll"; done
  e2e_files_text "$PACKAGE/vfvtext.dll" "A library without version information."
  e2e_files_text "$PACKAGE/existing.txt" "An existing file without version information."
  e2e_pack_manifest files-versions || return 1
  local sys
  sys=$(e2e_files_system)
  e2e_files_existing "$sys/VFVUP.DLL" "$v1"
  e2e_files_existing "$sys/VFVDOWN.DLL" "$v3"
  e2e_files_existing "$sys/VFVNONE.DLL" "$PACKAGE/existing.txt"
  e2e_files_existing "$sys/VFVSAME.DLL" "$v2"
  e2e_files_existing "$sys/VFVTEXT.DLL" "$v1"
  for name in VFVDOWN VFVSAME VFVTEXT; do cp "$sys/$name.DLL" "$PACKAGE/$name.before"; done
  e2e_media files-versions
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_same "$sys/VFVUP.DLL" "$PACKAGE/vfvup.dll"
  e2e_files_expect_status 'C:\windows\system32\VFVUP.DLL' 0 0 799650305
  e2e_expect_same "$sys/VFVNONE.DLL" "$PACKAGE/vfvnone.dll"
  e2e_expect_same "$sys/VFVDOWN.DLL" "$PACKAGE/VFVDOWN.before"
  e2e_expect_same "$sys/VFVSAME.DLL" "$PACKAGE/VFVSAME.before"
  e2e_expect_same "$sys/VFVTEXT.DLL" "$PACKAGE/VFVTEXT.before"
}

# Dates and versions both: a later date does not make up for a lower
# version, a higher version with the same date replaces, and a file equal in
# both stays.  (Wine gives a file the creation time of its last write, so
# an existing file dated by touch has exactly that date.)
scenario_files_both_checks() {
  local v1 v2 v3
  e2e_files_fixture v1 e2e_versioned_dll 1,0,0,0 || return 1
  e2e_files_fixture v2 e2e_versioned_dll 2,0,0,0 || return 1
  e2e_files_fixture v3 e2e_versioned_dll 3,0,0,0 || return 1
  e2e_package_dir files-both
  cp "$v2" "$PACKAGE/new.dll"
  e2e_pack_manifest files-both || return 1
  local win
  win=$(e2e_files_windows)
  e2e_files_existing "$win/VFBLOWER.DLL" "$v3" '2001-02-03 04:05:06 UTC'
  e2e_files_existing "$win/VFBHIGH.DLL" "$v1" '2001-02-03 04:05:06 UTC'
  e2e_files_existing "$win/VFBEQUAL.DLL" "$v2" '2001-02-03 04:05:06 UTC'
  e2e_files_existing "$win/VFBOLDER.DLL" "$v1" '2001-02-03 04:05:06 UTC'
  local name
  for name in VFBLOWER VFBEQUAL VFBOLDER; do cp "$win/$name.DLL" "$PACKAGE/$name.before"; done
  e2e_media files-both
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_same "$win/VFBLOWER.DLL" "$PACKAGE/VFBLOWER.before"
  e2e_expect_same "$win/VFBHIGH.DLL" "$PACKAGE/new.dll"
  e2e_expect_same "$win/VFBEQUAL.DLL" "$PACKAGE/VFBEQUAL.before"
  e2e_expect_same "$win/VFBOLDER.DLL" "$PACKAGE/VFBOLDER.before"
}

# e2e_files_ask_package NAME FILE: both checks off, one library FILE
# replacing an existing one of another version in the Windows directory.  Sets
# ASK_TARGET (Linux path) and leaves the existing file in $PACKAGE/before.
e2e_files_ask_package() {
  local v1 v2
  e2e_files_fixture v1 e2e_versioned_dll 1,2,3,4 || return 1
  e2e_files_fixture v2 e2e_versioned_dll 2,0,0,1 || return 1
  e2e_package_dir "$1"
  cp "$v2" "$PACKAGE/new.dll"
  e2e_pack_manifest files-ask NAME="$2" || return 1
  ASK_TARGET=$(e2e_files_windows)/$2
  e2e_files_existing "$ASK_TARGET" "$v1" '2001-02-03 04:05:06 UTC'
  cp "$ASK_TARGET" "$PACKAGE/before"
  e2e_media "$1"
  e2e_copy_media
}

# e2e_files_ask_dialog WINDOWS_PATH BUTTON_ID BUTTON_TEXT: the robot's
# answer to the replace dialog for the file at WINDOWS_PATH (1.2.3.4 there,
# 2.0.0.1 new).  The dates are shown in local time, so they are checked
# only where that is UTC; the new file's is its stored modification time,
# the date the decision compares.
e2e_files_ask_dialog() {
  local dates=()
  if [ "$(date +%z)" = +0000 ]; then
    dates=(expect 1006 "03-Feb-2001 04:05" expect 1008 "01-Aug-1996 10:00")
  fi
  e2e_robot \
    window "Setup..." \
    expect 1005 "$1" \
    expect 1007 "$1" \
    expect 1009 "0.1.0.2.0.3.0.4" \
    expect 1010 "0.2.0.0.0.0.0.1" \
    "${dates[@]}" \
    expect "$2" "$3" \
    snap replace-dialog \
    click "$2" \
    gone \
    box "Install Successful" \
    click 1
}

# Both checks off and the target exists: the replace dialog; "Use new file".
scenario_files_replace_new() {
  e2e_files_ask_package files-ask-new VFASKNEW.DLL || return 1
  local temps_before
  temps_before=$(e2e_files_temp_list "$(e2e_files_windows)")
  e2e_start_setup
  e2e_files_ask_dialog 'C:\windows\VFASKNEW.DLL' 1 "Use new file" || return 1
  e2e_finish_setup
  e2e_expect_same "$ASK_TARGET" "$PACKAGE/new.dll"
  e2e_files_expect_status 'C:\windows\VFASKNEW.DLL' 0 0 838893600
  [ "$(e2e_files_temp_list "$(e2e_files_windows)")" = "$temps_before" ] ||
    e2e_fail "temporary files left in C:\\windows: $(e2e_files_temp_list "$(e2e_files_windows)")"
}

# The same with "Use existing file": the file stays as it was.
scenario_files_replace_existing() {
  e2e_files_ask_package files-ask-old VFASKOLD.DLL || return 1
  local temps_before
  temps_before=$(e2e_files_temp_list "$(e2e_files_windows)")
  e2e_start_setup
  e2e_files_ask_dialog 'C:\windows\VFASKOLD.DLL' 2 "Use existing file" || return 1
  e2e_finish_setup
  e2e_expect_same "$ASK_TARGET" "$PACKAGE/before"
  e2e_files_expect_status 'C:\windows\VFASKOLD.DLL' 0 0 981173106
  [ "$(e2e_files_temp_list "$(e2e_files_windows)")" = "$temps_before" ] ||
    e2e_fail "temporary files left in C:\\windows: $(e2e_files_temp_list "$(e2e_files_windows)")"
}

# use_recommended: a file that is already in the Windows directory is
# replaced there, a new one goes to the step's directory, and a new shared
# one to the system directory (where its count is kept).
scenario_files_recommended() {
  local v1 v2
  e2e_files_fixture v1 e2e_versioned_dll 1,0,0,0 || return 1
  e2e_files_fixture v2 e2e_versioned_dll 2,0,0,0 || return 1
  e2e_package_dir files-recommended
  cp "$v2" "$PACKAGE/new.dll"
  e2e_files_text "$PACKAGE/new.txt" "A text that goes where the system says."
  e2e_pack_manifest files-recommended || return 1
  local app=$E2E_DRIVE_C/E2E\ Recommended win sys
  win=$(e2e_files_windows)
  sys=$(e2e_files_system)
  rm -rf "$app"
  mkdir -p "$app"
  rm -f "$win/VFRECNEW.TXT" "$sys/VFRECNEW.TXT" "$win/VFRECSHR.DLL" "$sys/VFRECSHR.DLL"
  e2e_files_existing "$win/VFRECWIN.DLL" "$v1" '2001-02-03 04:05:06 UTC'
  e2e_media files-recommended
  e2e_copy_media
  e2e_install_suggested || return 1
  e2e_expect_same "$win/VFRECWIN.DLL" "$PACKAGE/new.dll"
  e2e_expect_no_file "$app/VFRECWIN.DLL"
  e2e_expect_same "$app/VFRECNEW.TXT" "$PACKAGE/new.txt"
  e2e_expect_same "$sys/VFRECSHR.DLL" "$PACKAGE/new.dll"
  e2e_expect_no_file "$app/VFRECSHR.DLL"
  e2e_expect_reg_dword "$E2E_SHARED_KEY" 'C:\windows\system32\VFRECSHR.DLL' 1
  e2e_files_no_temp "$app"
}

# A library of ours with register = true: its DllRegisterServer runs on the
# installed copy and records that copy's path.
scenario_files_selfreg() {
  local dll key='HKLM\Software\Tarnwick\VelmoraE2E\SelfReg'
  e2e_files_fixture dll e2e_selfreg_dll || return 1
  e2e_package_dir files-selfreg
  cp "$dll" "$PACKAGE/selfreg.dll"
  e2e_pack_manifest files-selfreg || return 1
  e2e_media files-selfreg
  e2e_copy_media
  rm -rf "$E2E_DRIVE_C/E2E SelfReg"
  mkdir -p "$E2E_DRIVE_C/E2E SelfReg"
  wine reg delete "$key" /f /reg:32 >/dev/null 2>&1
  e2e_install_suggested || return 1
  e2e_expect_same "$E2E_DRIVE_C/E2E SelfReg/VFSELFRG.DLL" "$PACKAGE/selfreg.dll"
  e2e_expect_reg "$key" Registered 'C:\E2E SelfReg\VFSELFRG.DLL'
  e2e_expect_reg "$key" Unregistered -
}

# Shared files: a new one counts 1, one that was there without a count
# counts 2 (someone used it already), one not marked shared gets no count;
# installing the same package again leaves the counts as they are: its
# earlier installation, whose log holds the files, counted them already.
scenario_files_shared() {
  local v1 v2
  e2e_files_fixture v1 e2e_versioned_dll 1,0,0,0 || return 1
  e2e_files_fixture v2 e2e_versioned_dll 2,0,0,0 || return 1
  e2e_package_dir files-shared
  cp "$v2" "$PACKAGE/shared.dll"
  e2e_pack_manifest files-shared || return 1
  local sys
  sys=$(e2e_files_system)
  rm -f "$sys/VFSHNEW.DLL" "$sys/VFSHNOT.DLL"
  # Older by date and by version: replaced.
  e2e_files_existing "$sys/VFSHPRE.DLL" "$v1" '1990-01-01 00:00:00 UTC'
  e2e_media files-shared
  e2e_copy_media
  local run
  for run in 1 2; do
    e2e_start_setup
    e2e_robot \
      box "Install Successful" \
      click 1 || return 1
    e2e_finish_setup || return 1
    e2e_expect_same "$sys/VFSHNEW.DLL" "$PACKAGE/shared.dll"
    e2e_expect_same "$sys/VFSHPRE.DLL" "$PACKAGE/shared.dll"
    e2e_expect_reg_dword "$E2E_SHARED_KEY" 'C:\windows\system32\VFSHNEW.DLL' 1
    e2e_expect_reg_dword "$E2E_SHARED_KEY" 'C:\windows\system32\VFSHPRE.DLL' 2
    e2e_expect_reg_dword "$E2E_SHARED_KEY" 'C:\windows\system32\VFSHNOT.DLL' -
    [ -z "$E2E_FAILED" ] || return 1
  done
}

# A failed installation: the first part replaces files in the three kinds of
# directory and creates new ones; the second part's directory question is
# cancelled.  The roll-back puts every replaced file back as it was (bytes,
# last-write time, read-only) and removes the new ones.
scenario_files_rollback() {
  local v1 v2
  e2e_files_fixture v1 e2e_versioned_dll 1,0,0,0 || return 1
  e2e_files_fixture v2 e2e_versioned_dll 2,0,0,0 || return 1
  e2e_package_dir files-rollback
  cp "$v2" "$PACKAGE/new.dll"
  e2e_files_text "$PACKAGE/new.txt" "The package's text."
  e2e_files_text "$PACKAGE/existing.txt" "The text that was there before the failed run."
  e2e_pack_manifest files-rollback || return 1
  local app=$E2E_DRIVE_C/E2E\ Rollback win sys
  win=$(e2e_files_windows)
  sys=$(e2e_files_system)
  rm -rf "$app"
  mkdir -p "$app"
  rm -f "$app/VFRBNEW.TXT" "$sys/VFRBNEW.DLL"
  e2e_files_existing "$app/VFRBAPP.TXT" "$PACKAGE/existing.txt" '2001-02-03 04:05:06 UTC'
  e2e_files_existing "$win/VFRBWIN.DLL" "$v1" '2001-02-03 04:05:06 UTC'
  e2e_files_existing "$sys/VFRBSYS.DLL" "$v1" '2001-02-03 04:05:06 UTC'
  # One of them read-only before the run (as root, Wine maps it to the mode).
  chmod a-w "$sys/VFRBSYS.DLL"
  mkdir -p "$PACKAGE/before"
  cp "$app/VFRBAPP.TXT" "$win/VFRBWIN.DLL" "$sys/VFRBSYS.DLL" "$PACKAGE/before/"
  local temps_win temps_sys
  temps_win=$(e2e_files_temp_list "$win")
  temps_sys=$(e2e_files_temp_list "$sys")
  e2e_media files-rollback
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    expect 1000 "Where shall the E2E files go?" \
    click 1 \
    gone \
    window "Select Directory" \
    expect 1000 "Where shall the rollback data go?" \
    click 2 \
    box "Install Failed.  Press OK to abort." \
    click 1 || return 1
  e2e_finish_setup 1
  e2e_expect_same "$app/VFRBAPP.TXT" "$PACKAGE/before/VFRBAPP.TXT"
  e2e_expect_same "$win/VFRBWIN.DLL" "$PACKAGE/before/VFRBWIN.DLL"
  e2e_expect_same "$sys/VFRBSYS.DLL" "$PACKAGE/before/VFRBSYS.DLL"
  e2e_files_expect_status 'C:\E2E Rollback\VFRBAPP.TXT' 0 0 981173106
  e2e_files_expect_status 'C:\windows\VFRBWIN.DLL' 0 0 981173106
  e2e_files_expect_status 'C:\windows\system32\VFRBSYS.DLL' 1 0 981173106
  e2e_expect_no_file "$app/VFRBNEW.TXT"
  e2e_expect_no_file "$sys/VFRBNEW.DLL"
  e2e_files_no_temp "$app"
  [ "$(e2e_files_temp_list "$win")" = "$temps_win" ] ||
    e2e_fail "temporary files left in C:\\windows: $(e2e_files_temp_list "$win")"
  [ "$(e2e_files_temp_list "$sys")" = "$temps_sys" ] ||
    e2e_fail "temporary files left in C:\\windows\\system32: $(e2e_files_temp_list "$sys")"
}

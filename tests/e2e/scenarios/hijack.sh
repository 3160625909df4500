# What another user can do to a SETUP.EXE that runs with more rights than
# theirs from a folder they may write to (a downloads folder, a shared
# media folder), and to its uninstaller's current directory: plant
# programs and libraries there, swap the running program, or name a link
# as its log.  Planted programs and libraries are markers
# (fixtures/marker.c, fixtures/marker_dll.c), which leave a file beside
# themselves when they run or are loaded; none may leave one.

E2E_SCENARIOS+=(hijack_planted hijack_swapped_program hijack_log_links)

# e2e_hijack_expect_no_traces LINUX_DIR WHAT: no marker in the folder ran
# or was loaded (no NAME.ran, no NAME.loaded, whose lines say by whom).
e2e_hijack_expect_no_traces() {
  local traces
  traces=$(cd "$1" && ls -d -- *.ran *.loaded 2>/dev/null | tr '\n' ' ')
  [ -z "$traces" ] ||
    e2e_fail "$2: planted files ran or were loaded: $traces($(cat "$1"/*.ran "$1"/*.loaded 2>/dev/null | tr -d '\r' | tr '\n' ' '))"
}

# e2e_hijack_markers_work: the marker program leaves its trace when it runs
# and the marker library when it is loaded (here by the system's regsvr32,
# which then finds no entry point), so that a missing trace means that
# nothing ran or loaded them.
e2e_hijack_markers_work() {
  local program library dir=$E2E_DRIVE_C/media/hijack-markers
  e2e_files_fixture program e2e_marker_program || return 1
  e2e_files_fixture library e2e_marker_library || return 1
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$program" "$dir/Regsvr32.exe"
  cp "$library" "$dir/E2EDEP.DLL"
  wine "$dir/Regsvr32.exe" /s probe >/dev/null 2>&1
  wine regsvr32 /s 'C:\media\hijack-markers\E2EDEP.DLL' >/dev/null 2>&1
  [ -f "$dir/Regsvr32.exe.ran" ] || { e2e_fail "the marker program left no trace when run"; return 1; }
  [ -f "$dir/E2EDEP.DLL.loaded" ] || { e2e_fail "the marker library left no trace when loaded"; return 1; }
}

# Wine's load order that takes a VERSION.dll found beside a program before
# its own, as Windows takes any library found there first.
E2E_HIJACK_VERSION_ORDER='version=n,b'

# e2e_hijack_version_telling: status 0 when, under that load order, a
# VERSION.dll planted beside a program is loaded for a program that imports
# the version library and not for one that only imports USER32: only then
# does a VERSION.dll beside SETUP.EXE tell whether SETUP.EXE itself loads
# it.  Otherwise says why that check is left out (a USER32 that imports the
# version library itself, as Wine's does, loads the planted copy for any
# program).
e2e_hijack_version_telling() {
  local plain importing library dir=$E2E_DRIVE_C/media/hijack-version kind
  e2e_files_fixture plain e2e_marker_program || return 1
  e2e_files_fixture importing e2e_marker_program version || return 1
  e2e_files_fixture library e2e_marker_library || return 1
  rm -rf "$dir"
  mkdir -p "$dir/plain" "$dir/importing"
  cp "$plain" "$dir/plain/marker.exe"
  cp "$importing" "$dir/importing/marker.exe"
  for kind in plain importing; do
    cp "$library" "$dir/$kind/VERSION.dll"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$E2E_HIJACK_VERSION_ORDER" wine "$dir/$kind/marker.exe" >/dev/null 2>&1
  done
  if [ ! -f "$dir/importing/VERSION.dll.loaded" ]; then
    echo "   note: this Wine loads no VERSION.dll found beside a program; a planted one is not checked"
    return 1
  fi
  if [ -f "$dir/plain/VERSION.dll.loaded" ]; then
    echo "   note: this Wine's own libraries load a VERSION.dll found beside any program; a planted one is not checked"
    return 1
  fi
}

# A package that self-registers two files, installed quietly from a media
# folder holding a planted Regsvr32.exe, E2EDEP.DLL (the library that one
# of the registered files imports and the package does not bring) and,
# where this Wine can tell, VERSION.dll; then removed through its
# QuietUninstallString from another folder holding Regsvr32.exe and
# E2EDEP.DLL.  HJREG.AX is not a .DLL or .OCX, so the system's regsvr32
# registers and unregisters it; HJDEPEND.DLL cannot be loaded without
# E2EDEP.DLL, so its registration and unregistration fail (a warning the
# quiet runs answer) and nothing may take a planted copy for it.
scenario_hijack_planted() {
  local selfreg importing program library title="E2E Hijack Planted" command
  local app=$E2E_DRIVE_C/E2E\ Hijack key='HKLM\Software\Tarnwick\VelmoraE2E\SelfReg'
  local order=$WINEDLLOVERRIDES
  e2e_hijack_markers_work || return 1
  e2e_files_fixture selfreg e2e_selfreg_dll || return 1
  e2e_files_fixture importing e2e_selfreg_importing_dll || return 1
  e2e_files_fixture program e2e_marker_program || return 1
  e2e_files_fixture library e2e_marker_library || return 1
  e2e_package_dir hijack-planted
  cp "$selfreg" "$PACKAGE/hjreg.ax"
  cp "$importing" "$PACKAGE/hjdepend.dll"
  e2e_pack_manifest hijack-planted || return 1
  rm -rf "$app"
  wine reg delete "$key" /f /reg:32 >/dev/null 2>&1
  e2e_media hijack-planted
  e2e_copy_media
  cp "$program" "$MEDIA/Regsvr32.exe"
  cp "$library" "$MEDIA/E2EDEP.DLL"
  if e2e_hijack_version_telling; then
    cp "$library" "$MEDIA/VERSION.dll"
    order+=";$E2E_HIJACK_VERSION_ORDER"
  fi
  WINEDLLOVERRIDES=$order e2e_quiet_run 0 "$MEDIA_WIN\\SETUP.EXE /quiet" || return 1
  e2e_hijack_expect_no_traces "$MEDIA" "the installation"
  e2e_expect_same "$app/HJREG.AX" "$PACKAGE/hjreg.ax"
  e2e_expect_reg "$key" Registered 'C:\E2E Hijack\HJREG.AX'
  command=$(e2e_reg_value "$E2E_UNINSTALL_KEY\\$title" QuietUninstallString) ||
    { e2e_fail "no QuietUninstallString for $title"; return 1; }

  e2e_media hijack-planted-elsewhere
  cp "$program" "$MEDIA/Regsvr32.exe"
  cp "$library" "$MEDIA/E2EDEP.DLL"
  e2e_quiet_run 0 "$command" || return 1
  e2e_hijack_expect_no_traces "$MEDIA" "the uninstallation"
  e2e_expect_no_file "$app/HJREG.AX"
  e2e_expect_reg "$key" Unregistered 'C:\E2E Hijack\HJREG.AX'
  e2e_uninstall_expect_removed "$title"
}

# Another user renames the running SETUP.EXE while a dialog waits and puts
# a program of their own in its place.  The program holds its own file
# open without delete sharing, so the rename is refused: the media folder
# still holds the program that runs, and the uninstaller is a copy of it.
scenario_hijack_swapped_program() {
  local decoy title="E2E Hijack Swapped" decoys=$E2E_DRIVE_C/media/hijack-decoy
  e2e_files_fixture decoy e2e_marker_program || return 1
  e2e_package_dir hijack-swapped
  e2e_files_text "$PACKAGE/swapped.txt" "A file of the installation whose program another user swaps."
  e2e_pack_manifest hijack-swapped || return 1
  rm -rf "$decoys" "$E2E_DRIVE_C/E2E Hijack Swapped"
  mkdir -p "$decoys" "$E2E_DRIVE_C/E2E Hijack Swapped"
  cp "$decoy" "$decoys/Setup.exe"
  e2e_media hijack-swapped
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    swap "$MEDIA_WIN\\SETUP.EXE" 'C:\media\hijack-decoy\Setup.exe' \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup || return 1
  e2e_expect_same "$MEDIA/SETUP.EXE" "$E2E_SETUP_EXE"
  e2e_expect_no_file "$MEDIA/SETUP.EXE.swapped"
  e2e_expect_same "$E2E_DRIVE_C/E2E Hijack Swapped/HSWAPPED.TXT" "$PACKAGE/swapped.txt"
  e2e_uninstall_expect_entry "$title"
}

# e2e_hijack_shown_as_link WINDOWS_PATH: status 0 when Windows programs see
# the file as a link (a reparse point).
e2e_hijack_shown_as_link() {
  local info attributes
  info=$(e2e_file_info "$1") || return 1
  attributes=$(sed -n 's/.*attributes=\(0x[0-9a-f]*\).*/\1/p' <<<"$info")
  [ -n "$attributes" ] && [ $((attributes & 0x400)) != 0 ]
}

# /log naming a file that leads to another one: the run is refused as a bad
# command line (exit code 2) and the file it leads to keeps its bytes.  A
# second name of a file (a hard link) always; a symbolic link where Wine
# shows it as a link, as Windows shows every symbolic link: Wine 8 shows a
# symbolic link to a file as that file.
scenario_hijack_log_links() {
  e2e_package_dir hijack-log
  e2e_files_text "$PACKAGE/target.txt" "The file a link leads to, which no log may overwrite."
  e2e_media hijack-log
  cp "$PACKAGE/target.txt" "$MEDIA/named twice.txt"
  ln "$MEDIA/named twice.txt" "$MEDIA/hard.log"
  e2e_quiet_run 2 "$MEDIA_WIN\\SETUP.EXE /quiet /log $MEDIA_WIN\\hard.log"
  e2e_expect_same "$MEDIA/named twice.txt" "$PACKAGE/target.txt"

  cp "$PACKAGE/target.txt" "$MEDIA/target.txt"
  ln -s target.txt "$MEDIA/link.log"
  if ! e2e_hijack_shown_as_link "$MEDIA_WIN\\link.log"; then
    echo "   note: this Wine shows a symbolic link to a file as the file; /log naming one is not checked"
    return 0
  fi
  e2e_quiet_run 2 "$MEDIA_WIN\\SETUP.EXE /quiet /log $MEDIA_WIN\\link.log"
  e2e_expect_same "$MEDIA/target.txt" "$PACKAGE/target.txt"
  [ -L "$MEDIA/link.log" ] || e2e_fail "link.log is no longer a symbolic link"
}

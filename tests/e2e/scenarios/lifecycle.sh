# A product's whole life on one machine: installed, installed again over
# itself (a repair), and removed through the shell's uninstaller.  C: and
# the registry are listed before the first installation and after the
# removal, and the two listings compared.

E2E_SCENARIOS+=(lifecycle_demo)

# The demonstration package, installed quietly twice with its answer file
# and removed by `wine uninstaller --remove`.  Once the system has started
# again (which deletes the uninstaller's own program), C: is as it was
# apart from the folders the installation made: its directory, and the
# group's folder, which stays empty because Wine's shell does not say
# that a group is empty.  The registry values of the directory, user value
# and registry steps stay; the uninstall entry and the shared counts are
# as they were.
scenario_lifecycle_demo() {
  local demo=$E2E_HERE/../../examples/demo title="Lantern Notes 2.1" group="Lantern Notes"
  local programs run lantern='HKEY_LOCAL_MACHINE\Software\Lantern'
  e2e_package_dir lifecycle-demo
  cp -r "$demo/files" "$PACKAGE/"
  e2e_pack <"$demo/manifest.toml" || return 1
  programs=$(e2e_groups_folder) || { e2e_fail "no Start Menu Programs folder"; return 1; }
  # No earlier installation of the demo, and no deletion that earlier
  # scenarios left for the next start of the system.
  rm -rf "$E2E_DRIVE_C/Program Files/Lantern Notes" "$programs/$group" "$(e2e_files_windows)/LANTERN.INI"
  wine reg delete 'HKLM\Software\Lantern' /f /reg:32 >/dev/null 2>&1
  wineboot -r >/dev/null 2>&1 || e2e_fail "wineboot -r failed"
  e2e_media lifecycle-demo
  e2e_copy_media
  cp "$demo/answers.txt" "$MEDIA/answers.txt"
  local registry=("$E2E_UNINSTALL_KEY" "$E2E_SHARED_KEY" 'HKLM\Software\Lantern')
  e2e_snapshot_drive_c >"$PACKAGE/drive_c.before"
  e2e_snapshot_registry "${registry[@]}" >"$PACKAGE/registry.before"

  for run in 1 2; do
    e2e_quiet_run 0 "$MEDIA_WIN\\SETUP.EXE /quiet /answers $MEDIA_WIN\\answers.txt /log $MEDIA_WIN\\setup$run.log" \
      "$group" || return 1
    e2e_groups_close "$group"
    e2e_quiet_expect_log "$MEDIA/setup$run.log" "$title" "$(e2e_quiet_steps)" installed
  done
  e2e_uninstall_expect_entry "$title"
  e2e_expect_same "$E2E_DRIVE_C/Program Files/Lantern Notes/README.TXT" "$demo/files/README.TXT"
  [ -f "$programs/$group/Lantern Notes Read Me.lnk" ] || e2e_fail "no program item Lantern Notes Read Me"
  [ -z "$E2E_FAILED" ] || return 1

  e2e_uninstall_run "$title" || return 1
  e2e_groups_close "$group"
  e2e_uninstall_expect_removed "$title"
  wineboot -r >/dev/null 2>&1 || e2e_fail "wineboot -r failed"
  e2e_snapshot_drive_c >"$PACKAGE/drive_c.after"
  e2e_snapshot_registry "${registry[@]}" >"$PACKAGE/registry.after"
  e2e_expect_snapshot C: "$PACKAGE/drive_c.before" "$PACKAGE/drive_c.after" \
    'dir ./Program Files/Lantern Notes' "dir ./${programs#"$E2E_DRIVE_C/"}/$group"
  e2e_expect_snapshot registry "$PACKAGE/registry.before" "$PACKAGE/registry.after" \
    "$lantern" "$lantern\\Notes" \
    "$lantern\\Notes    InstallDir    REG_SZ    C:\\Program Files\\Lantern Notes\\" \
    "$lantern\\Notes    Owner    REG_SZ    Demo User" \
    "$lantern\\Notes    Version    REG_SZ    2.1"
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' InstallDir 'C:\Program Files\Lantern Notes\'
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' Owner 'Demo User'
  e2e_expect_reg 'HKLM\Software\Lantern\Notes' Version 2.1
}

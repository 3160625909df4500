# Program groups through Wine's shell, whose DDE server answers the
# Program Manager commands and the "Groups" request: the group dialog
# filled from "Groups", a typed and a chosen group, the items as links in
# the group's Start Menu folder, and their removal by the uninstaller.
#
# Wine refuses the request for a group's own description, so the
# uninstaller never learns that a group has become empty and leaves the
# emptied group's folder in place.  The deletion of an emptied group is
# proven on the simulated Program Manager instead (the unit test
# ProgramGroupRun.TheGroupGoesOnlyWithItsLastItem and the CLI test
# cli.uninstall.demo).

E2E_SCENARIOS+=(program_groups)

# e2e_groups_folder: the Start Menu's Programs folder where Wine's shell
# keeps groups (folders) and items (.lnk files).
e2e_groups_folder() {
  local folder
  for folder in "$E2E_DRIVE_C"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs \
    "$E2E_DRIVE_C"/users/*/Start\ Menu/Programs; do
    [ -d "$folder" ] && { printf '%s' "$folder"; return 0; }
  done
  return 1
}

# e2e_groups_pack TITLE GROUP ITEM...: a package whose program group step
# names GROUP and whose text files in the Windows directory each ask for an
# icon titled ITEM.  Sets PACKAGE.
e2e_groups_pack() {
  local title=$1 group=$2 n=0 item
  shift 2
  e2e_package_dir "groups-${title// /-}"
  {
    printf 'title = "%s"\n\n[[step]]\nclass = "program_group"\nname = "%s"\n' "$title" "$group"
    for item; do
      n=$((n + 1))
      e2e_files_text "$PACKAGE/item$n.txt" "The file behind the program item $item."
      printf '\n[[step]]\nclass = "file"\nsource = "item%d.txt"\nname = "%s"\n' "$n" "GRP${title//[^A-Z]/}$n.TXT"
      printf 'directory = "<Windows>"\nicon = true\nicon_name = "%s"\n' "$item"
    done
  } | e2e_pack
}

# e2e_groups_install TITLE ROBOT_COMMANDS...: installs the package of
# TITLE; the robot says Yes to the question and then does the commands in
# the group dialog (ending it), and closes the window the shell opens for
# the group.
e2e_groups_install() {
  local title=$1
  shift
  e2e_media "groups-${title// /-}"
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    box "Create program group and icons?" \
    click 6 \
    window "Select Group" \
    expect 1000 "Create program group:" \
    "$@" \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
}

# e2e_groups_close CAPTION: closes the windows the shell opened for a group.
# The shell opens them a moment after a group command, so a window may
# appear after the first try; one left open would cover later scenarios'
# screenshots.
e2e_groups_close() {
  e2e_robot close "$1"
  sleep 1
  e2e_robot close "$1"
}

scenario_program_groups() {
  local programs typed="E2E Typed Tools"
  programs=$(e2e_groups_folder) || { e2e_fail "no Start Menu Programs folder in the prefix"; return 1; }
  rm -rf "$programs/$typed" "$programs/E2E Tools" "$programs/E2E Extra"

  # A name typed over the package's: both items go into that group.
  e2e_groups_pack "E2E Group Tools" "E2E Tools" "E2E Tool One" "E2E Tool Two" || return 1
  e2e_groups_install "E2E Group Tools" \
    expect 1009 "E2E Tools" \
    listed 1009 "StartUp" \
    settext 1009 "$typed" \
    click 1 || return 1
  e2e_groups_close "$typed"
  [ -f "$programs/$typed/E2E Tool One.lnk" ] || e2e_fail "no link E2E Tool One in $typed"
  [ -f "$programs/$typed/E2E Tool Two.lnk" ] || e2e_fail "no link E2E Tool Two in $typed"
  [ ! -e "$programs/E2E Tools" ] || e2e_fail "the package's own group E2E Tools was made"
  [ -z "$E2E_FAILED" ] || return 1

  # The next installation finds the group in the reply to "Groups" and
  # chooses it from the list.
  e2e_groups_pack "E2E Group Extra" "E2E Extra" "E2E Tool Three" || return 1
  e2e_groups_install "E2E Group Extra" \
    expect 1009 "E2E Extra" \
    listed 1009 "$typed" \
    close "$typed" \
    snap group-dialog \
    choose 1009 "$typed" \
    expect 1009 "$typed" \
    click 1 || return 1
  e2e_groups_close "$typed"
  [ -f "$programs/$typed/E2E Tool Three.lnk" ] || e2e_fail "no link E2E Tool Three in $typed"
  [ ! -e "$programs/E2E Extra" ] || e2e_fail "the package's own group E2E Extra was made"
  [ -z "$E2E_FAILED" ] || return 1

  # Each uninstallation takes out its own items only.
  e2e_uninstall_run "E2E Group Tools" || return 1
  e2e_groups_close "$typed"
  e2e_expect_no_file "$programs/$typed/E2E Tool One.lnk"
  e2e_expect_no_file "$programs/$typed/E2E Tool Two.lnk"
  [ -f "$programs/$typed/E2E Tool Three.lnk" ] || e2e_fail "the other package's link went too"
  e2e_uninstall_run "E2E Group Extra" || return 1
  e2e_groups_close "$typed"
  e2e_expect_no_file "$programs/$typed/E2E Tool Three.lnk"
  # Emptied, and kept: Wine does not describe a group (see above).
  [ -d "$programs/$typed" ] || e2e_fail "$typed went, although Wine cannot say it is empty"
}

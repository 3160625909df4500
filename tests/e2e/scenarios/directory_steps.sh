# The directory question of a directory step: typing a new path, a location
# remembered from an earlier installation, and Cancel failing the run.

E2E_SCENARIOS+=(directory_create directory_remembered directory_cancel)

E2E_REG_KEY='HKLM\Software\Tarnwick\VelmoraE2E'

# e2e_directory_pack TITLE ENTRY: packs manifests/directory.toml, one
# directory step remembered in the registry (value ENTRY of $E2E_REG_KEY)
# and in velmora-e2e.ini ([Paths] ENTRY).  Each scenario has its own ENTRY,
# so none sees another's answers.
e2e_directory_pack() {
  e2e_pack_manifest directory TITLE="$1" ENTRY="$2"
}

# A path three levels below an existing folder: the step offers to create
# it, creates every level, and remembers it with a trailing backslash.  On
# the way: a path longer than the field takes is refused and the dialog
# stays; "No" to creating asks again with the typed path; the progress
# dialog in the bottom right corner names the step.
scenario_directory_create() {
  e2e_package_dir create
  e2e_directory_pack "E2E Create" Create || return 1
  e2e_media create
  e2e_copy_media
  local too_long
  too_long="C:\\$(printf 'x%.0s' $(seq 258))"  # 261 characters
  e2e_start_setup
  # The progress dialog's corner: 1 pixel left of the 1024 x 768 screen's
  # right edge and 10 above its bottom, on the screen (the dialog is a child
  # of the main window, placed in its client area so that it lands there).
  e2e_robot \
    window "Select Directory" \
    expect 1000 "Where shall the E2E files go?" \
    expect 1001 'C:\E2E Default' \
    child "Progress..." \
    expect 1002 "Directory: APPDIR" \
    corner 1023 758 \
    window "Select Directory" \
    settext 1001 "$too_long" \
    click 1 \
    box "Please enter no more than 260 characters." \
    click 1 \
    gone \
    window "Select Directory" \
    expect 1001 "$too_long" \
    settext 1001 'C:\E2E Create\Level1\Level2' \
    snap directory-dialog \
    click 1 \
    box "The requested directory does not exist.  Create?" \
    click 7 \
    gone \
    window "Select Directory" \
    expect 1001 'C:\E2E Create\Level1\Level2' \
    click 1 \
    box "The requested directory does not exist.  Create?" \
    click 6 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_dir 'C:\E2E Create\Level1\Level2'
  e2e_expect_reg "$E2E_REG_KEY" Create 'C:\E2E Create\Level1\Level2\'
  e2e_expect_ini velmora-e2e.ini Paths Create 'C:\E2E Create\Level1\Level2\'
}

# A second installation suggests the path the first one chose, taken from
# the registry even though the ini file says something else.
scenario_directory_remembered() {
  e2e_package_dir remembered
  e2e_directory_pack "E2E Remembered" Remembered || return 1
  e2e_media remembered
  e2e_copy_media
  mkdir -p "$E2E_DRIVE_C/E2E Remembered"
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    settext 1001 'C:\E2E Remembered' \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup || return 1
  printf '[Paths]\r\nRemembered=C:\\Elsewhere\\\r\n' >"$E2E_DRIVE_C/windows/velmora-e2e.ini"

  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    expect 1001 'C:\E2E Remembered\' \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_reg "$E2E_REG_KEY" Remembered 'C:\E2E Remembered\'
  e2e_expect_ini velmora-e2e.ini Paths Remembered 'C:\E2E Remembered\'
}

# Cancel in the second of two directory questions fails the installation;
# the roll-back gives the first step's registry and ini entries their
# earlier values back.
scenario_directory_cancel() {
  e2e_package_dir cancel
  e2e_pack_manifest directory-cancel || return 1
  e2e_media cancel
  e2e_copy_media
  mkdir -p "$E2E_DRIVE_C/E2E Cancel New"
  e2e_set_reg "$E2E_REG_KEY" Cancel 'C:\E2E Cancel Old\'
  printf '[Paths]\r\nCancel=C:\\E2E Cancel Ini\\\r\n' >"$E2E_DRIVE_C/windows/velmora-e2e.ini"
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    expect 1000 "Where shall the E2E files go?" \
    expect 1001 'C:\E2E Cancel Old\' \
    settext 1001 'C:\E2E Cancel New' \
    click 1 \
    gone \
    window "Select Directory" \
    expect 1000 "Where shall the data go?" \
    click 2 \
    box "Install Failed.  Press OK to abort." \
    click 1 || return 1
  e2e_finish_setup 1
  e2e_expect_reg "$E2E_REG_KEY" Cancel 'C:\E2E Cancel Old\'
  e2e_expect_ini velmora-e2e.ini Paths Cancel 'C:\E2E Cancel Ini\'
}

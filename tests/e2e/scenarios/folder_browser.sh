# The folder browser behind "Browse ...": drives with their icons, folders
# listed sorted with hidden ones and without files, a drive chosen, Cancel
# keeping the typed path, and a folder chosen for the installation.

E2E_SCENARIOS+=(folder_browser)

scenario_folder_browser() {
  e2e_package_dir browse
  e2e_directory_pack "E2E Browse" Browse || return 1
  e2e_media browse
  e2e_copy_media
  local root="$E2E_DRIVE_C/E2E Browse"
  mkdir -p "$root/Inner/Deeper" "$root/beta" "$root/Alpha" "$root/.hidden"
  : >"$root/note.txt"
  # Image indices: 2 fixed drive, 1 CD-ROM (D:, set up with the session),
  # 6 closed folder.
  e2e_start_setup
  e2e_robot \
    window "Select Directory" \
    click 1002 \
    window "Select path" \
    items 1042 "" "C:=2,D:=1,Z:=2" \
    tree 1042 "C:" \
    click 1 \
    gone \
    window "Select Directory" \
    expect 1001 'C:\' \
    settext 1001 'C:\Typed By Robot' \
    click 1002 \
    window "Select path" \
    items 1042 "" "C:=2,D:=1,Z:=2" \
    items 1042 'C:\E2E Browse' ".hidden=6,Alpha=6,beta=6,Inner=6" \
    tree 1042 'C:\E2E Browse\Inner' \
    snap folder-browser \
    click 2 \
    gone \
    window "Select Directory" \
    expect 1001 'C:\Typed By Robot' \
    click 1002 \
    window "Select path" \
    tree 1042 'C:\E2E Browse\Inner\Deeper' \
    click 1 \
    gone \
    window "Select Directory" \
    expect 1001 'C:\E2E Browse\Inner\Deeper\' \
    expect 1000 "Where shall the E2E files go?" \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_reg "$E2E_REG_KEY" Browse 'C:\E2E Browse\Inner\Deeper\'
}

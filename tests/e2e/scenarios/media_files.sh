# The media files of a package: a second file that is missing until the
# prompt for it is answered, and a data file of a format this program does
# not read.

E2E_SCENARIOS+=(media_second_disk data_version_mismatch)

# A script spread over two media files: thirty ini value steps whose
# records do not fit the first.  File 2 is not there when the run reads on;
# the prompt is answered once with it still missing (and asked again), then
# after it has been put in place.
scenario_media_second_disk() {
  e2e_package_dir media
  {
    echo 'title = "E2E Media"'
    local i
    for i in $(seq 1 30); do
      printf '\n[[step]]\nclass = "ini_value"\ndirectory = "<None>"\n'
      printf 'default = "value %d, padded to make the record longer"\n' "$i"
      printf 'ini_file = "velmora-e2e.ini"\nini_section = "Media"\nini_entry = "Entry%d"\n' "$i"
    done
  } | e2e_pack --disk-size 2500 || return 1
  [ -f "$PACKAGE/out/velmor.2" ] || { e2e_fail "the package fits on one media file"; return 1; }
  [ ! -f "$PACKAGE/out/velmor.3" ] || { e2e_fail "the package needs more than two media files"; return 1; }
  e2e_media media
  e2e_copy_media velmor.1
  mkdir -p "$E2E_DRIVE_C/media/stash"
  cp "$PACKAGE/out/velmor.2" "$E2E_DRIVE_C/media/stash/"
  e2e_start_setup
  e2e_robot \
    box "Please insert media disk 2" \
    snap media-prompt \
    click 1 \
    gone \
    box "Please insert media disk 2" \
    copy 'C:\media\stash\velmor.2' "$MEDIA_WIN\\velmor.2" \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup
  e2e_expect_ini velmora-e2e.ini Media Entry1 "value 1, padded to make the record longer"
  e2e_expect_ini velmora-e2e.ini Media Entry30 "value 30, padded to make the record longer"
}

# Format version 3: the run refuses the data file, then fails.
scenario_data_version_mismatch() {
  e2e_package_dir version
  e2e_pack_manifest data-version || return 1
  e2e_rewrite_version "$PACKAGE/out/velmor.1" 3 || { e2e_fail "cannot rewrite the version"; return 1; }
  e2e_media version
  e2e_copy_media
  e2e_start_setup
  e2e_robot \
    box "Data file and setup program versions do not match." \
    click 1 \
    box "Install Failed.  Press OK to abort." \
    click 1 || return 1
  e2e_finish_setup 1
  e2e_expect_ini velmora-e2e.ini Version Written -
}
